#pragma once
// What the window's language needs besides the bundle's strings: Qt's own
// texts (the file dialogs' "Look in", "Save", "Cancel") in that language, a
// font that draws it, and Return pressing the focused push button.

#include <QString>
#include <string>

namespace corvane {

// Installs, once per process, Qt's translations for the language (from the
// translations folder of the Qt the program runs on) and, for Japanese, a
// Japanese font for the whole application. Returns false when Qt has no
// translations for the language (English needs none and returns true).
bool useLanguage(const std::string& language);

// The family of an installed font with Japanese glyphs ("" when none is):
// a proportional face first, so that Latin letters and digits are not
// drawn at the fixed width of Japanese ones.
QString japaneseFontFamily();

// Makes Return and Enter press the focused push button of any window of the
// application, as Space does (Qt presses push buttons on Return only inside
// dialogs). Installed once per process.
void pressButtonsWithReturn();

}  // namespace corvane

#pragma once
// What every window and panel of the front end reads: the bundle (images,
// help), the localized strings the controller also uses, the window's own
// texts (row names, panel buttons) and the application's icon.

#include <QIcon>
#include <QString>
#include <string>
#include <string_view>

#include "core/bundle.h"
#include "core/localized_strings.h"

class QWidget;

namespace corvane {

struct GuiResources {
  Bundle bundle;
  std::string language;      // "en", "ja" or "C"
  LocalizedStrings strings;  // <language>.lproj/Localizable.strings
  LocalizedStrings texts;    // <language>.lproj/Window.strings
  QIcon appIcon;

  // Loads all of them for a language from the bundle.
  static GuiResources load(Bundle bundle, const std::string& language);

  QString string(std::string_view key) const { return QString::fromStdString(strings.text(key)); }
  QString text(std::string_view key) const { return QString::fromStdString(texts.text(key)); }
};

// The window's own texts: <language>.lproj/Window.strings of the bundle;
// every key stands for itself when the file is missing.
LocalizedStrings loadWindowTexts(const Bundle& bundle, std::string_view language);

// Every QLabel below root named "label_KEY" gets the localized text of KEY.
void localizeLabels(QWidget* root, const GuiResources& resources);

inline QString qtText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace corvane

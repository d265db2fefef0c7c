#pragma once
// Text for the terminal: how many columns a text takes, padding to a column,
// and control characters made visible. Every table the command line prints
// lines up through these.

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

// Columns a UTF-8 text takes on a terminal: 2 for East Asian Wide and
// Fullwidth characters, 0 for combining marks and zero-width characters, 1
// for the rest; a byte that does not start a well-formed character counts 1.
// Ambiguous-width characters count 1, as in non-East-Asian locales.
size_t displayWidth(std::string_view text);

// The text followed by spaces up to width columns; unchanged when wider.
std::string padToWidth(std::string_view text, size_t width);

// Control characters (C0, DEL and C1) and the escape character as visible
// escapes: "\t", "\r", "\e", "\xNN" (C0, DEL) and "\u00NN" (C1); a backslash
// itself stays. With keepNewlines "\n" is kept as a line break, else shown
// as "\n". Bytes that are not UTF-8 are shown as "\xNN" too.
std::string escapeControls(std::string_view text, bool keepNewlines = true);

}  // namespace corvane

#pragma once
// Small text helpers shared by every subsystem.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The integer value of a text as the system reads it: leading blanks
// skipped, an optional sign, then decimal digits up to the first other
// character; 0 when there are no digits. Saturates at the 32-bit limits.
int32_t intValueOfText(std::string_view text);

// Splits at every occurrence of separator. The empty text gives one empty
// piece; runs of separators give empty pieces between them.
std::vector<std::string> splitText(std::string_view text, std::string_view separator);

std::string joinTexts(const std::vector<std::string>& pieces, std::string_view separator);

// The last "/"-separated component of a path text ("/Sets/3" gives "3").
std::string lastPathComponent(std::string_view path);

// The text with A-Z turned to a-z and every other byte kept: for protocol
// names and header fields, which are ASCII.
std::string asciiLowercase(std::string_view text);

// Appends the UTF-8 bytes of one Unicode code point.
void appendUtf8(std::string& out, char32_t code);

// Cuts the text at its first NUL byte.
std::string_view untilNul(std::string_view text);

// "%@"-style formatting: each "%@" in format is replaced by the next argument,
// in order; a missing argument leaves the empty text.
std::string formatText(std::string_view format, const std::vector<std::string>& args);

}  // namespace corvane

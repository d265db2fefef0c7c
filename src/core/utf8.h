#pragma once
// Checking that bytes are UTF-8 text.

#include <string_view>

namespace corvane {

// True when bytes are well-formed UTF-8 without NUL: shortest forms only, no
// surrogate halves, nothing above U+10FFFF.
bool isWellFormedUtf8(std::string_view bytes);

}  // namespace corvane

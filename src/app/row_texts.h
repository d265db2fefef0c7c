#pragma once
// Texts of the check rows that depend only on what the readers returned.

#include <string>

#include "core/plist_value.h"

namespace corvane {

// The browser row: browsers is the reader's list of four version texts
// (Internet Explorer, Safari, Netscape, Firefox; "0" or empty when absent).
// Internet Explorer has the first line with Safari beside it, Netscape and
// Firefox share the second; without Internet Explorer the others fill the
// lines two at a time. None present: "----------". A list of another length
// gives the empty text.
std::string browserRowText(const Value& browsers);

}  // namespace corvane

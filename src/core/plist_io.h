#pragma once
// Reading and writing property lists (XML and binary) through libplist.

#include <string>
#include <string_view>

#include "core/plist_value.h"

namespace corvane {

class Platform;

// Parses an XML or binary property list. Anything that is not one (empty,
// truncated, garbage, nested deeper than the reader goes, a binary list whose
// shared objects would expand past kPropertyListMaxValues values or refer to
// each other in a loop, a key or string that holds a NUL) gives the absent
// value; nothing escapes. Texts that are not UTF-8 are kept byte for byte.
Value parsePropertyList(std::string_view bytes);

// The property list at a system path (resolved under the system root); absent
// when the file is missing, unreadable or not a property list.
Value readPropertyList(const Platform& platform, std::string_view systemPath);

// XML text of a value, in the usual property-list layout (tabs, the plist
// DOCTYPE). Absent values inside dictionaries and arrays are left out; an
// absent root gives the empty text.
std::string toXmlPropertyList(const Value& value);

// Binary ("bplist00") form of a value; the empty text for an absent root or
// when a key or string is not UTF-8 (the binary form cannot hold it).
std::string toBinaryPropertyList(const Value& value);

}  // namespace corvane

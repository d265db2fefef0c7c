#pragma once
// Keyed archives: the binary property lists in which the system keeps objects
// (the values of the accounts database, for one). An archive holds a flat
// "$objects" table; containers refer to their members by object reference
// (Uid), and "$top"/"root" names the archived object.
//
// What is understood: dictionaries (NSDictionary, NSMutableDictionary), lists
// (NSArray, NSMutableArray, and NSSet/NSMutableSet read as lists), strings
// (plain or NSString/NSMutableString objects), numbers, booleans, data
// (plain or NSData/NSMutableData objects), dates (NSDate) and "$null".

#include <optional>
#include <string>
#include <string_view>

#include "core/plist_value.h"

namespace corvane {

// The archived object, or absent when the bytes are not a keyed archive, the
// root is "$null", a reference leads nowhere or in a circle, the shared
// references expand to more objects than any real archive holds, or an
// object is of a class not listed above. A "$null" member of a list or
// dictionary is left out, as no collection can hold nothing.
Value decodeKeyedArchive(std::string_view bytes);

// The binary keyed archive of a value, as the system writes one (version
// 100000, "$null" first, the root object at reference 1). nullopt for an
// absent value, one holding an object reference, or one with a text that is
// not UTF-8.
std::optional<std::string> encodeKeyedArchive(const Value& value);

}  // namespace corvane

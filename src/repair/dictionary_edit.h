#pragma once
// Changing a loaded store in place: mutable counterparts of the tolerant
// lookups. Each gives nullptr (or the absent value) where a level is missing
// or is not a dictionary, so the repair passes over it.

#include <initializer_list>
#include <string_view>

#include "core/plist_value.h"

namespace corvane {

// The dictionary under key, or nullptr.
Dictionary* subDictionary(Dictionary& dictionary, std::string_view key);

// The dictionary at a path of keys below value, or nullptr.
Dictionary* subDictionaryAt(Value& value, std::initializer_list<std::string_view> path);

// The value under key, or the absent value.
const Value& entryOf(const Dictionary& dictionary, std::string_view key);

}  // namespace corvane

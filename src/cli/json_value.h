#pragma once
// Property-list values as JSON, for the commands' machine-readable output.

#include <nlohmann/json.hpp>

#include "core/plist_value.h"

namespace corvane::cli {

// Dictionaries become objects (in their own order of keys where the JSON
// library keeps it), arrays arrays, strings strings, numbers and booleans
// themselves, data a base64 text, dates seconds since 2001, absent null.
nlohmann::ordered_json toJson(const Value& value);

}  // namespace corvane::cli

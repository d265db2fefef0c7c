#pragma once
// What a repaired store changes against the live one, as lines a person can
// read: "+ path" for an added entry, "- path" for a removed one and
// "~ path: old -> new" for a changed value. Paths join keys with "/".

#include <string>
#include <vector>

#include "core/plist_value.h"

namespace corvane {

std::vector<std::string> describeChanges(const Value& before, const Value& after);

}  // namespace corvane

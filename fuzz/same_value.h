#pragma once
// Whether a value written and read again is the value that was written.
// Dates may move by a microsecond: the property-list library cuts their
// fraction when it reads them. A NaN real is the same NaN.

#include <cmath>

#include "core/plist_value.h"

namespace corvane::fuzzing {

inline bool sameValue(const Value& a, const Value& b) {
  if (a.date() && b.date()) return std::fabs(a.date()->seconds - b.date()->seconds) <= 2e-6;
  if (a.real() && b.real() && std::isnan(*a.real())) return std::isnan(*b.real());
  if (a.dictionary() && b.dictionary()) {
    if (a.dictionary()->size() != b.dictionary()->size()) return false;
    for (const auto& [key, item] : *a.dictionary()) {
      const Value* other = b.dictionary()->find(key);
      if (!other || !sameValue(item, *other)) return false;
    }
    return true;
  }
  if (a.array() && b.array()) {
    if (a.array()->size() != b.array()->size()) return false;
    for (size_t i = 0; i < a.array()->size(); ++i)
      if (!sameValue((*a.array())[i], (*b.array())[i])) return false;
    return true;
  }
  return a == b;
}

}  // namespace corvane::fuzzing

#pragma once
// How many values a property list becomes once parsed, judged before the
// parser sees it. A binary list may refer to one object from many places,
// and every reference becomes a copy of its own: some hundred bytes of arrays
// that each refer twice to the next expand to billions of values.

#include <cstdint>
#include <string_view>

namespace corvane {

// More values than any real property list holds (a configuration store of
// some megabytes holds a few hundred thousand).
inline constexpr uint64_t kPropertyListMaxValues = 1'000'000;

// True when the binary property list in bytes would expand to more than
// maxValues values, each reference to a shared object counted every time it
// is reached (dictionary keys count too), or when its objects refer to each
// other in a loop. Anything else, including XML and bytes that are no
// property list at all, gives false: the parser judges it. Runs in time and
// memory proportional to the input, without recursion.
bool binaryPlistExpandsBeyond(std::string_view bytes, uint64_t maxValues = kPropertyListMaxValues);

}  // namespace corvane

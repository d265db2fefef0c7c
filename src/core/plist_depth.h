#pragma once
// How deep a property list nests, judged from its bytes before the parser
// sees them: the property-list library parses and frees recursively, so a
// list nested some hundred thousand levels deep would overflow the stack.

#include <string_view>

namespace corvane {

// Deeper than any real property list (a configuration store stays under 20
// levels).
inline constexpr int kPropertyListMaxDepth = 256;

// True when the XML or binary property list in bytes nests dictionaries and
// arrays more than maxDepth levels deep (a binary list whose objects refer to
// each other in a loop counts as endlessly deep). Anything else, including
// bytes that are no property list at all, gives false: the parser judges it.
// Runs in time and memory proportional to the input, without recursion.
bool propertyListNestsDeeperThan(std::string_view bytes, int maxDepth = kPropertyListMaxDepth);

}  // namespace corvane

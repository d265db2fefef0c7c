#pragma once
// A look at the texts of a binary property list before it is parsed.

#include <string_view>

namespace corvane {

// True when bytes are a binary property list ("bplist00") in which some
// string object (ASCII or UTF-16) holds a NUL character. Such a text cannot be
// read intact (the property-list library cuts it and aborts on it as a
// dictionary key), so the file counts as damaged. Objects the offset table
// places outside the file are passed over; the parser judges those.
bool binaryPlistHasTextWithNul(std::string_view bytes);

}  // namespace corvane

#pragma once
// The layout of a binary property list: its trailer, its offset table and
// the headers of its objects, read without trusting any number in the file.
// For the looks at a list's bytes before the property-list library parses it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace corvane {

struct BinaryPlistLayout {
  uint64_t refSize = 0;    // bytes of an object reference, as the trailer says (unchecked)
  uint64_t topObject = 0;  // the top object's index, as the trailer says (unchecked)
  // Each object's offset; UINT64_MAX where the table's entry does not fit.
  std::vector<uint64_t> offsets;
};

// The trailer and offset table of bytes; nullopt when the trailer's offset
// size is not 1 to 8 bytes or the table does not lie between the header and
// the trailer.
std::optional<BinaryPlistLayout> readBinaryPlistLayout(std::string_view bytes);

// An object's header: its type (the marker's high four bits), its count (the
// low four, or the integer object after the marker when they are all set)
// and where its contents start.
struct BinaryPlistObject {
  uint8_t type = 0;
  uint64_t count = 0;
  uint64_t start = 0;
};

// The header of the object at offset; nullopt when it does not fit in bytes.
std::optional<BinaryPlistObject> binaryPlistObjectAt(std::string_view bytes, uint64_t offset);

// The big-endian unsigned number of width (1 to 8) bytes at offset; nullopt
// when it does not fit in bytes.
std::optional<uint64_t> bigEndianNumberAt(std::string_view bytes, uint64_t offset, uint64_t width);

// The object indexes an array, set or dictionary object refers to (a
// dictionary's keys, then its values); empty for every other object and for
// one that does not fit in bytes. References past the offset table are left
// out.
std::vector<uint64_t> binaryPlistChildren(std::string_view bytes, const BinaryPlistLayout& layout, uint64_t index);

// Visits every object reachable from the top one exactly once, each after all
// of its children (so a visit can use what it computed for them), without
// recursion and in time proportional to the file. visit(index, children)
// returns false to stop the walk. Returns false when a visit stopped it, when
// an object refers to one it lies inside (a loop) or when more than maxOpen
// objects lie one inside the other on the way down; true otherwise,
// including when the trailer's top object or reference size is unusable
// (nothing is visited: the parser judges such a file).
using BinaryPlistVisit = std::function<bool(uint64_t index, const std::vector<uint64_t>& children)>;
bool visitBinaryPlistBottomUp(std::string_view bytes, const BinaryPlistLayout& layout, const BinaryPlistVisit& visit,
                              uint64_t maxOpen = UINT64_MAX);

}  // namespace corvane

#pragma once
// The layout of a binary property list: its trailer, its offset table and
// the headers of its objects, read without trusting any number in the file.
// For the looks at a list's bytes before the property-list library parses it.

#include <cstdint>
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

}  // namespace corvane

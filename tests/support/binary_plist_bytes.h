#pragma once
// Binary property lists built byte by byte, for the shapes no writer makes:
// objects shared by many references, loops.

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::testing {

inline void appendBigEndian(std::string& out, uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A binary list of the given objects (their bytes, references 4 bytes wide)
// whose top object is the first.
inline std::string binaryPlistOf(const std::vector<std::string>& objects) {
  std::string bytes = "bplist00";
  std::vector<uint64_t> offsets;
  for (const std::string& object : objects) {
    offsets.push_back(bytes.size());
    bytes += object;
  }
  const uint64_t table = bytes.size();
  for (uint64_t offset : offsets) appendBigEndian(bytes, offset, 4);
  bytes += std::string(6, '\0');
  bytes += '\x04';  // offset size
  bytes += '\x04';  // reference size
  appendBigEndian(bytes, offsets.size(), 8);
  appendBigEndian(bytes, 0, 8);
  appendBigEndian(bytes, table, 8);
  return bytes;
}

// An array object whose elements are the objects of the given indexes.
inline std::string binaryArrayOf(const std::vector<uint64_t>& refs) {
  std::string object;
  if (refs.size() < 15) {
    object += static_cast<char>(0xA0 | refs.size());
  } else {
    object += '\xAF';
    object += '\x13';  // the count as an 8-byte integer object
    appendBigEndian(object, refs.size(), 8);
  }
  for (uint64_t ref : refs) appendBigEndian(object, ref, 4);
  return object;
}

// `levels` arrays, each holding the next one twice, the last holding `false`
// twice: some hundred bytes that parse into 2^(levels+1) - 1 values.
inline std::string sharedArraysBinary(uint64_t levels) {
  std::vector<std::string> objects;
  for (uint64_t i = 0; i < levels; ++i) objects.push_back(binaryArrayOf({i + 1, i + 1}));
  objects.push_back("\x08");  // false
  return binaryPlistOf(objects);
}

}  // namespace corvane::testing

#include "core/binary_plist_texts.h"

#include <cstdint>
#include <optional>

#include "core/binary_plist_layout.h"

namespace corvane {

namespace {

// Whether the string object at offset holds a NUL; false when it is not a
// string object or does not fit in the file.
bool stringObjectHasNul(std::string_view bytes, uint64_t offset) {
  const std::optional<BinaryPlistObject> object = binaryPlistObjectAt(bytes, offset);
  if (!object || (object->type != 0x5 && object->type != 0x6)) return false;
  const uint64_t unit = object->type == 0x5 ? 1 : 2;
  if (object->start > bytes.size() || object->count > (bytes.size() - object->start) / unit) return false;
  for (uint64_t i = 0; i < object->count; ++i) {
    const uint64_t at = object->start + i * unit;
    if (unit == 1 ? bytes[at] == '\0' : (bytes[at] == '\0' && bytes[at + 1] == '\0')) return true;
  }
  return false;
}

}  // namespace

bool binaryPlistHasTextWithNul(std::string_view bytes) {
  if (!bytes.starts_with("bplist00")) return false;
  const std::optional<BinaryPlistLayout> layout = readBinaryPlistLayout(bytes);
  if (!layout) return false;
  for (const uint64_t offset : layout->offsets)
    if (stringObjectHasNul(bytes, offset)) return true;
  return false;
}

}  // namespace corvane

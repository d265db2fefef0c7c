#include "core/binary_plist_texts.h"

#include <cstdint>
#include <optional>

namespace corvane {

namespace {

constexpr size_t kTrailerSize = 32;

// The big-endian unsigned number of width bytes at offset, if it is inside.
std::optional<uint64_t> numberAt(std::string_view bytes, uint64_t offset, uint64_t width) {
  if (width == 0 || width > 8 || offset > bytes.size() || bytes.size() - offset < width) return std::nullopt;
  uint64_t value = 0;
  for (uint64_t i = 0; i < width; ++i) value = (value << 8) | static_cast<uint8_t>(bytes[offset + i]);
  return value;
}

// Whether the string object at offset holds a NUL; false when it is not a
// string object or does not fit in the file.
bool stringObjectHasNul(std::string_view bytes, uint64_t offset) {
  if (offset >= bytes.size()) return false;
  const auto marker = static_cast<uint8_t>(bytes[offset]);
  const uint8_t type = marker >> 4;
  if (type != 0x5 && type != 0x6) return false;
  uint64_t count = marker & 0x0F;
  uint64_t start = offset + 1;
  if (count == 0x0F) {
    // The count follows as an integer object: marker 0x1n, then 2^n bytes.
    if (start >= bytes.size()) return false;
    const auto intMarker = static_cast<uint8_t>(bytes[start]);
    if ((intMarker >> 4) != 0x1 || (intMarker & 0x0F) > 3) return false;
    const uint64_t width = uint64_t{1} << (intMarker & 0x0F);
    const auto extended = numberAt(bytes, start + 1, width);
    if (!extended) return false;
    count = *extended;
    start += 1 + width;
  }
  const uint64_t unit = type == 0x5 ? 1 : 2;
  if (start > bytes.size() || count > (bytes.size() - start) / unit) return false;
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t at = start + i * unit;
    if (unit == 1 ? bytes[at] == '\0' : (bytes[at] == '\0' && bytes[at + 1] == '\0')) return true;
  }
  return false;
}

}  // namespace

bool binaryPlistHasTextWithNul(std::string_view bytes) {
  if (!bytes.starts_with("bplist00") || bytes.size() < 8 + kTrailerSize) return false;
  const uint64_t trailer = bytes.size() - kTrailerSize;
  const auto offsetSize = numberAt(bytes, trailer + 6, 1);
  const auto objectCount = numberAt(bytes, trailer + 8, 8);
  const auto tableOffset = numberAt(bytes, trailer + 24, 8);
  if (!offsetSize || !objectCount || !tableOffset || *offsetSize == 0 || *offsetSize > 8) return false;
  if (*tableOffset > trailer || *objectCount > (trailer - *tableOffset) / *offsetSize) return false;
  for (uint64_t i = 0; i < *objectCount; ++i) {
    const auto offset = numberAt(bytes, *tableOffset + i * *offsetSize, *offsetSize);
    if (offset && stringObjectHasNul(bytes, *offset)) return true;
  }
  return false;
}

}  // namespace corvane

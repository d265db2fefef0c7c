#include "core/binary_plist_layout.h"

namespace corvane {
namespace {

constexpr size_t kHeaderSize = 8;  // "bplist00"
constexpr size_t kTrailerSize = 32;

}  // namespace

std::optional<uint64_t> bigEndianNumberAt(std::string_view bytes, uint64_t offset, uint64_t width) {
  if (width == 0 || width > 8 || offset > bytes.size() || bytes.size() - offset < width) return std::nullopt;
  uint64_t value = 0;
  for (uint64_t i = 0; i < width; ++i) value = (value << 8) | static_cast<uint8_t>(bytes[offset + i]);
  return value;
}

std::optional<BinaryPlistLayout> readBinaryPlistLayout(std::string_view bytes) {
  if (bytes.size() < kHeaderSize + kTrailerSize) return std::nullopt;
  const uint64_t trailer = bytes.size() - kTrailerSize;
  const auto offsetSize = bigEndianNumberAt(bytes, trailer + 6, 1);
  const auto refSize = bigEndianNumberAt(bytes, trailer + 7, 1);
  const auto objectCount = bigEndianNumberAt(bytes, trailer + 8, 8);
  const auto topObject = bigEndianNumberAt(bytes, trailer + 16, 8);
  const auto tableOffset = bigEndianNumberAt(bytes, trailer + 24, 8);
  if (!offsetSize || !refSize || !objectCount || !topObject || !tableOffset) return std::nullopt;
  if (*offsetSize == 0 || *offsetSize > 8) return std::nullopt;
  if (*tableOffset > trailer || *objectCount > (trailer - *tableOffset) / *offsetSize) return std::nullopt;

  BinaryPlistLayout layout{*refSize, *topObject, std::vector<uint64_t>(*objectCount)};
  for (uint64_t i = 0; i < *objectCount; ++i)
    layout.offsets[i] = bigEndianNumberAt(bytes, *tableOffset + i * *offsetSize, *offsetSize).value_or(UINT64_MAX);
  return layout;
}

std::optional<BinaryPlistObject> binaryPlistObjectAt(std::string_view bytes, uint64_t offset) {
  if (offset >= bytes.size()) return std::nullopt;
  const auto marker = static_cast<uint8_t>(bytes[offset]);
  BinaryPlistObject object{static_cast<uint8_t>(marker >> 4), marker & 0x0Fu, offset + 1};
  if (object.count == 0x0F) {
    // The count follows as an integer object: marker 0x1n, then 2^n bytes.
    if (object.start >= bytes.size()) return std::nullopt;
    const auto intMarker = static_cast<uint8_t>(bytes[object.start]);
    if ((intMarker >> 4) != 0x1 || (intMarker & 0x0F) > 3) return std::nullopt;
    const uint64_t width = uint64_t{1} << (intMarker & 0x0F);
    const auto extended = bigEndianNumberAt(bytes, object.start + 1, width);
    if (!extended) return std::nullopt;
    object.count = *extended;
    object.start += 1 + width;
  }
  return object;
}

}  // namespace corvane

namespace corvane {

std::vector<uint64_t> binaryPlistChildren(std::string_view bytes, const BinaryPlistLayout& layout, uint64_t index) {
  std::vector<uint64_t> refs;
  const std::optional<BinaryPlistObject> object = binaryPlistObjectAt(bytes, layout.offsets[index]);
  if (!object || (object->type != 0xA && object->type != 0xC && object->type != 0xD)) return refs;
  const uint64_t refSize = layout.refSize;
  // A dictionary lists its keys, then its values: twice its count.
  uint64_t count = object->count;
  if (object->type == 0xD) {
    if (count > UINT64_MAX / 2) return refs;
    count *= 2;
  }
  if (object->start > bytes.size() || count > (bytes.size() - object->start) / refSize) return refs;
  refs.reserve(count);
  for (uint64_t i = 0; i < count; ++i) {
    const auto ref = bigEndianNumberAt(bytes, object->start + i * refSize, refSize);
    if (ref && *ref < layout.offsets.size()) refs.push_back(*ref);
  }
  return refs;
}

bool visitBinaryPlistBottomUp(std::string_view bytes, const BinaryPlistLayout& layout, const BinaryPlistVisit& visit,
                              uint64_t maxOpen) {
  const uint64_t objectCount = layout.offsets.size();
  const uint64_t top = layout.topObject;
  if (layout.refSize == 0 || layout.refSize > 8 || top >= objectCount) return true;
  // A loop is an object met again while its own children are still open.
  enum : uint8_t { kUnseen, kOpen, kDone };
  std::vector<uint8_t> state(objectCount, kUnseen);
  struct Frame {
    uint64_t index;
    std::vector<uint64_t> children;
    size_t next = 0;
  };
  std::vector<Frame> stack;
  stack.push_back(Frame{top, binaryPlistChildren(bytes, layout, top)});
  state[top] = kOpen;
  while (!stack.empty()) {
    if (stack.size() > maxOpen) return false;
    Frame& frame = stack.back();
    if (frame.next < frame.children.size()) {
      const uint64_t child = frame.children[frame.next++];
      if (state[child] == kOpen) return false;
      if (state[child] == kUnseen) {
        state[child] = kOpen;
        stack.push_back(Frame{child, binaryPlistChildren(bytes, layout, child)});
      }
      continue;
    }
    if (!visit(frame.index, frame.children)) return false;
    state[frame.index] = kDone;
    stack.pop_back();
  }
  return true;
}

}  // namespace corvane

#include "core/plist_depth.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "core/binary_plist_layout.h"

namespace corvane {
namespace {

// ---- XML --------------------------------------------------------------------

bool startsWithAt(std::string_view text, size_t at, std::string_view prefix) {
  return text.size() - at >= prefix.size() && text.compare(at, prefix.size(), prefix) == 0;
}

// Whether the tag name at `at` is exactly name (followed by '>', '/' or a blank).
bool tagNameIs(std::string_view text, size_t at, std::string_view name) {
  if (!startsWithAt(text, at, name)) return false;
  const size_t after = at + name.size();
  if (after >= text.size()) return false;
  const char c = text[after];
  return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Counts open <dict> and <array> elements; comments, CDATA sections,
// declarations and processing instructions are passed over whole.
bool xmlNestsDeeperThan(std::string_view text, int maxDepth) {
  int depth = 0;
  size_t at = 0;
  while ((at = text.find('<', at)) != std::string_view::npos) {
    if (startsWithAt(text, at, "<!--")) {
      at = text.find("-->", at + 4);
    } else if (startsWithAt(text, at, "<![CDATA[")) {
      at = text.find("]]>", at + 9);
    } else if (startsWithAt(text, at, "<?") || startsWithAt(text, at, "<!")) {
      at = text.find('>', at + 2);
    } else if (at + 1 < text.size() && text[at + 1] == '/') {
      if ((tagNameIs(text, at + 2, "dict") || tagNameIs(text, at + 2, "array")) && depth > 0) --depth;
      at = text.find('>', at + 2);
    } else if (tagNameIs(text, at + 1, "dict") || tagNameIs(text, at + 1, "array")) {
      const size_t end = text.find('>', at + 1);
      if (end == std::string_view::npos) return false;
      if (text[end - 1] != '/' && ++depth > maxDepth) return true;
      at = end;
    } else {
      ++at;
      continue;
    }
    if (at == std::string_view::npos) return false;
    ++at;
  }
  return false;
}

// ---- binary -----------------------------------------------------------------

struct BinaryList {
  std::string_view bytes;
  BinaryPlistLayout layout;

  // The object indexes an array, set or dictionary object refers to; empty
  // for every other object and for one that does not fit in the file.
  std::vector<uint64_t> children(uint64_t index) const {
    std::vector<uint64_t> refs;
    const std::optional<BinaryPlistObject> object = binaryPlistObjectAt(bytes, layout.offsets[index]);
    if (!object || (object->type != 0xA && object->type != 0xC && object->type != 0xD)) return refs;
    const uint64_t refSize = layout.refSize;
    uint64_t start = object->start;
    // A dictionary lists its keys, then its values; keys are plain texts.
    if (object->type == 0xD) {
      if (object->count > UINT64_MAX / 2) return refs;
      start += object->count * refSize;
    }
    if (start > bytes.size() || object->count > (bytes.size() - start) / refSize) return refs;
    refs.reserve(object->count);
    for (uint64_t i = 0; i < object->count; ++i) {
      const auto ref = bigEndianNumberAt(bytes, start + i * refSize, refSize);
      if (ref && *ref < layout.offsets.size()) refs.push_back(*ref);
    }
    return refs;
  }
};

bool binaryNestsDeeperThan(std::string_view bytes, int maxDepth) {
  std::optional<BinaryPlistLayout> layout = readBinaryPlistLayout(bytes);
  if (!layout || layout->refSize == 0 || layout->refSize > 8) return false;
  const uint64_t objectCount = layout->offsets.size();
  const uint64_t topObject = layout->topObject;
  if (topObject >= objectCount) return false;
  const BinaryList list{bytes, std::move(*layout)};

  // The height of every object reachable from the top one, children first,
  // each object once: shared objects cost nothing more, a loop is found as an
  // object met again while it is still being measured.
  enum : uint8_t { kUnseen, kOpen, kDone };
  std::vector<uint8_t> state(objectCount, kUnseen);
  std::vector<int> height(objectCount, 0);
  struct Frame {
    uint64_t index;
    std::vector<uint64_t> children;
    size_t next = 0;
  };
  std::vector<Frame> stack;
  stack.push_back(Frame{topObject, list.children(topObject)});
  state[topObject] = kOpen;
  while (!stack.empty()) {
    if (static_cast<int>(stack.size()) > maxDepth + 1) return true;
    Frame& frame = stack.back();
    if (frame.next < frame.children.size()) {
      const uint64_t child = frame.children[frame.next++];
      if (state[child] == kOpen) return true;
      if (state[child] == kUnseen) {
        state[child] = kOpen;
        stack.push_back(Frame{child, list.children(child)});
      }
      continue;
    }
    int own = frame.children.empty() ? 0 : 1;
    for (uint64_t child : frame.children) own = std::max(own, height[child] + 1);
    height[frame.index] = own;
    state[frame.index] = kDone;
    stack.pop_back();
    if (own > maxDepth) return true;
  }
  return false;
}

}  // namespace

bool propertyListNestsDeeperThan(std::string_view bytes, int maxDepth) {
  if (bytes.starts_with("bplist")) return binaryNestsDeeperThan(bytes, maxDepth);
  return xmlNestsDeeperThan(bytes, maxDepth);
}

}  // namespace corvane

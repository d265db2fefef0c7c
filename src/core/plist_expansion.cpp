#include "core/plist_expansion.h"

#include <optional>
#include <vector>

#include "core/binary_plist_layout.h"

namespace corvane {

bool binaryPlistExpandsBeyond(std::string_view bytes, uint64_t maxValues) {
  if (!bytes.starts_with("bplist")) return false;
  const std::optional<BinaryPlistLayout> layout = readBinaryPlistLayout(bytes);
  if (!layout) return false;
  // Each object's expanded size is itself and its children's sizes, computed
  // once per object, children first. A size past the limit stops the walk,
  // so no sum grows beyond twice the limit.
  std::vector<uint64_t> values(layout->offsets.size(), 0);
  const auto expand = [&](uint64_t index, const std::vector<uint64_t>& children) {
    uint64_t own = 1;
    for (uint64_t child : children) {
      own += values[child];
      if (own > maxValues) return false;
    }
    values[index] = own;
    return true;
  };
  return !visitBinaryPlistBottomUp(bytes, *layout, expand);
}

}  // namespace corvane

#include "core/plist_depth.h"

#include <algorithm>
#include <cstdint>
#include <optional>
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

bool binaryNestsDeeperThan(std::string_view bytes, int maxDepth) {
  const std::optional<BinaryPlistLayout> layout = readBinaryPlistLayout(bytes);
  if (!layout) return false;
  // The height of every object reachable from the top one, children first,
  // each object once: shared objects cost nothing more. A loop counts as
  // endless nesting.
  std::vector<int> height(layout->offsets.size(), 0);
  const auto measure = [&](uint64_t index, const std::vector<uint64_t>& children) {
    int own = children.empty() ? 0 : 1;
    for (uint64_t child : children) own = std::max(own, height[child] + 1);
    height[index] = own;
    return own <= maxDepth;
  };
  return !visitBinaryPlistBottomUp(bytes, *layout, measure, static_cast<uint64_t>(maxDepth) + 1);
}

}  // namespace

bool propertyListNestsDeeperThan(std::string_view bytes, int maxDepth) {
  if (bytes.starts_with("bplist")) return binaryNestsDeeperThan(bytes, maxDepth);
  return xmlNestsDeeperThan(bytes, maxDepth);
}

}  // namespace corvane

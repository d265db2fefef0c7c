#include "inspect/resolver_output.h"

#include <algorithm>

namespace corvane {

namespace {

std::string_view firstLineWithPrefix(std::string_view text, std::string_view prefix, bool& found) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (line.starts_with(prefix)) {
      found = true;
      return line;
    }
    start = end + 1;
  }
  found = false;
  return {};
}

}  // namespace

std::optional<std::string> serverFromResolverOutput(std::string_view output, std::string_view linePrefix) {
  if (output == "(null)") return std::nullopt;
  bool found = false;
  std::string_view line = firstLineWithPrefix(output, linePrefix, found);
  if (!found) return std::nullopt;
  line = line.substr(0, line.find('#'));
  // Blanks at the end (a retyped or padded line, a CR of CRLF output) are no
  // part of the server's name: without trimming, the last part would be "".
  line = line.substr(0, line.find_last_not_of(" \t\r") + 1);
  // The last part of the line split at spaces, or at tabs when it has no space.
  size_t separator = line.rfind(' ');
  if (separator == std::string_view::npos) separator = line.rfind('\t');
  std::string_view server = separator == std::string_view::npos ? line : line.substr(separator + 1);
  // A tab after the last space ("Address: \t192.0.2.1") is no part of it either.
  server.remove_prefix(std::min(server.size(), server.find_first_not_of('\t')));
  // A line that names no server ("Address:" alone, or only blanks after it)
  // would otherwise give the prefix itself as the server.
  std::string_view rest = line.size() > linePrefix.size() ? line.substr(linePrefix.size()) : std::string_view();
  if (rest.find_first_not_of(" \t") == std::string_view::npos) return std::nullopt;
  if (server.empty()) return std::nullopt;
  return std::string(server);
}

}  // namespace corvane

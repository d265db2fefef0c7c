#include "inspect/ps_output.h"

#include <vector>

namespace corvane {

namespace {

// Tokens of one line at every single space; runs of spaces give empty tokens.
std::vector<std::string_view> tokensOf(std::string_view line) {
  std::vector<std::string_view> tokens;
  size_t start = 0;
  for (;;) {
    size_t space = line.find(' ', start);
    tokens.push_back(line.substr(start, space == std::string_view::npos ? std::string_view::npos : space - start));
    if (space == std::string_view::npos) return tokens;
    start = space + 1;
  }
}

// The token after "pppd serviceid" on this line, or nothing.
std::string_view candidateOf(std::string_view line) {
  auto tokens = tokensOf(line);
  for (size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (tokens[i] == "pppd" && tokens[i + 1] == "serviceid") return i + 2 < tokens.size() ? tokens[i + 2] : "";
  }
  return "";
}

}  // namespace

std::string pppServiceIDFromPs(std::string_view psOutput) {
  std::string_view found;
  size_t start = 0;
  while (start <= psOutput.size()) {
    size_t end = psOutput.find('\n', start);
    if (end == std::string_view::npos) end = psOutput.size();
    // A line without a service id after the words leaves the earlier one.
    std::string_view candidate = candidateOf(psOutput.substr(start, end - start));
    if (!candidate.empty()) found = candidate;
    start = end + 1;
  }
  return std::string(found);
}

}  // namespace corvane

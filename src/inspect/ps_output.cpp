#include "inspect/ps_output.h"

#include "inspect/words.h"

namespace corvane {

namespace {

// The word after "pppd serviceid" on this line, or nothing.
std::string_view candidateOf(std::string_view line) {
  SpaceSeparatedWords words(line);
  std::string_view beforeLast, last, word;
  while (words.next(word)) {
    if (beforeLast == "pppd" && last == "serviceid") return word;
    beforeLast = last;
    last = word;
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

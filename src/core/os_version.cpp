#include "core/os_version.h"

#include "core/plist_value.h"
#include "core/text.h"

namespace corvane {

int compareOSVersions(const Value& running, std::string_view required) {
  std::vector<std::string> system;
  if (running.isString()) system = splitText(running.text(), ".");
  std::vector<std::string> wanted = splitText(required, ".");
  size_t n = std::max(system.size(), wanted.size());
  system.resize(n, "0");
  wanted.resize(n, "0");

  int result = -9;
  for (size_t i = 0; i < n; ++i) {
    int32_t a = intValueOfText(system[i]);
    int32_t b = intValueOfText(wanted[i]);
    if (a > b) return 1;
    if (a < b) return -1;
    result = 0;
  }
  return result;
}

}  // namespace corvane

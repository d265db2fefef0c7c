#include "core/os_version.h"

#include "core/platform.h"
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

int compOSVersion(const Platform& platform, std::string_view required) {
  int result = compareOSVersions(platform.productVersion(), required);
  if (result == -9) {
    const std::string message = "Internal Error - OS Check(compOSVersion())";
    if (platform.internalErrorAlert)
      platform.internalErrorAlert(message);
    else
      platform.log(message);
  }
  return result;
}

bool osAtLeast(const Platform& platform, std::string_view required) { return compOSVersion(platform, required) >= 0; }

}  // namespace corvane

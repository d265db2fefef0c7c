// The readers of plist_io.h and os_version.h that take their input from the
// platform: they live with the platform, so that the value library stays
// free of it.

#include "core/os_version.h"
#include "core/platform.h"
#include "core/plist_io.h"

namespace corvane {

Value readPropertyList(const Platform& platform, std::string_view systemPath) {
  auto bytes = platform.readFile(systemPath);
  return bytes ? parsePropertyList(*bytes) : Value();
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

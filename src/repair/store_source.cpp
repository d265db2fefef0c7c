#include "repair/store_source.h"

#include <cstdio>

#include "core/os_version.h"
#include "core/plist_io.h"

namespace corvane {

Value loadStore(const Platform& platform) {
  if (osAtLeast(platform, "10.3")) {
    Value store = readPropertyList(platform, kStorePath);
    if (store.isDictionary()) return store;
  }
  Value store = readPropertyList(platform, kOldStorePath);
  return store.isDictionary() ? store : Value();
}

Value GetMacAddress(const Platform& platform, const Value& deviceName) {
  const bool newLayout = osAtLeast(platform, "10.3");
  const Value file = readPropertyList(
      platform, newLayout ? "/Library/Preferences/SystemConfiguration/NetworkInterfaces.plist"
                          : "/private/var/db/NetworkInterfaces.xml");
  const Value& interfaces = newLayout ? file["Interfaces"] : file;
  Value result;
  if (!deviceName.isString() || !interfaces.isArray()) return result;
  for (const Value& entry : *interfaces.array()) {
    if (!entry["BSD Name"].equals(deviceName.text())) continue;
    const Data* address = entry["IOMACAddress"].data();
    if (!address || address->bytes.size() < 6) continue;
    const auto* b = reinterpret_cast<const unsigned char*>(address->bytes.data());
    char text[18];
    std::snprintf(text, sizeof text, "%2.2x:%2.2x:%2.2x:%2.2x:%2.2x:%2.2x", b[0], b[1], b[2], b[3], b[4], b[5]);
    result = Value(std::string(text));
  }
  return result;
}

}  // namespace corvane

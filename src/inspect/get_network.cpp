#include "inspect/get_network.h"

#include <cstdio>
#include <optional>
#include <unordered_map>

#include "core/os_version.h"
#include "core/plist_io.h"
#include "core/text.h"
#include "inspect/get_port.h"
#include "inspect/proxy.h"

namespace corvane {

namespace {

constexpr std::string_view kInterfaceListPath = "/Library/Preferences/SystemConfiguration/NetworkInterfaces.plist";
constexpr std::string_view kOldInterfaceListPath = "/private/var/db/NetworkInterfaces.xml";

// The interface entries of the interface list file for the running OS.
Value interfaceEntries(const Platform& platform) {
  if (!osAtLeast(platform, "10.3")) return readPropertyList(platform, kOldInterfaceListPath);
  Value root = readPropertyList(platform, kInterfaceListPath);
  return root["Interfaces"];
}

// The first six bytes as "xx:xx:xx:xx:xx:xx"; nothing for shorter data,
// which is no hardware address.
std::optional<std::string> formattedAddress(const Value& address) {
  const auto* data = address.data();
  if (!data || data->bytes.size() < 6) return std::nullopt;
  const auto* b = reinterpret_cast<const unsigned char*>(data->bytes.data());
  char text[18];
  std::snprintf(text, sizeof text, "%2.2x:%2.2x:%2.2x:%2.2x:%2.2x:%2.2x", b[0], b[1], b[2], b[3], b[4], b[5]);
  return std::string(text);
}

// Device name to hardware address, read once per port list; the last entry
// of a name wins, as in GetMacAddress.
class HardwareAddresses {
 public:
  explicit HardwareAddresses(const Platform& platform) {
    Value entries = interfaceEntries(platform);
    if (const auto* list = entries.array()) {
      for (const Value& entry : *list) {
        const Value& name = entry["BSD Name"];
        if (!name.isString()) continue;
        if (auto address = formattedAddress(entry["IOMACAddress"])) byName_[name.text()] = *address;
      }
    }
  }

  std::string of(const Value& deviceName) const {
    if (!deviceName.isString()) return "";
    auto it = byName_.find(deviceName.text());
    return it == byName_.end() ? "" : it->second;
  }

 private:
  std::unordered_map<std::string, std::string> byName_;
};

struct Location {
  std::string name;
  std::vector<std::string> serviceIDs;
  std::string airPortAddress;  // recorded in the location; "" when none
};

Location locationOf(const Value& set) {
  Location location;
  location.name = set["UserDefinedName"].text();
  const Value& network = set["Network"];
  const Value& links = network["Service"];
  if (const auto* order = network["Global"]["IPv4"]["ServiceOrder"].array()) {
    for (const Value& reference : *order) {
      const Value& link = links[reference.text()]["__LINK__"];
      if (reference.isString() && link.isString()) location.serviceIDs.push_back(lastPathComponent(link.text()));
    }
  }
  const Value& recorded = network["Interface"]["en1"]["AirPort"]["MACAddress"];
  if (recorded.isString()) location.airPortAddress = recorded.text();
  return location;
}

Value portEntry(const Platform& platform, const Value& service, const Location& location,
                const HardwareAddresses& addresses) {
  const Value& deviceName = service["Interface"]["DeviceName"];
  std::string address = addresses.of(deviceName);
  if (address.empty() && deviceName.equals("en1")) address = location.airPortAddress;

  Value entry = Value::strings({service["UserDefinedName"].text()});
  if (!address.empty()) entry.append(address);
  entry.append(getProxy(platform, service));
  return entry;
}

}  // namespace

Value getNetwork(const Platform& platform) {
  Value store = loadStore(platform);
  Value result(Value::Array{});
  if (store.count() == 0) return result;
  std::string currentSetKey = lastPathComponent(store["CurrentSet"].text());

  std::string currentName;
  std::vector<Location> locations;
  if (const auto* sets = store["Sets"].dictionary()) {
    for (const auto& [setKey, set] : *sets) {
      locations.push_back(locationOf(set));
      if (setKey == currentSetKey) currentName = locations.back().name;
    }
  }
  result.append(currentName);

  const Value& services = store["NetworkServices"];
  HardwareAddresses addresses(platform);
  for (const Location& location : locations) {
    Value ports(Value::Array{});
    for (const std::string& serviceID : location.serviceIDs) {
      const Value& service = services[serviceID];
      if (service["__INACTIVE__"].intValue() == 1) continue;
      ports.append(portEntry(platform, service, location, addresses));
    }
    Value entry = Value::strings({location.name});
    entry.append(std::move(ports));
    result.append(std::move(entry));
  }
  return result;
}

Value interfaceListEntries(const Platform& platform) { return interfaceEntries(platform); }

Value GetMacAddress(const Platform& platform, const Value& deviceName) {
  Value address;
  if (!deviceName.isString()) return address;
  Value entries = interfaceEntries(platform);
  if (const auto* list = entries.array()) {
    for (const Value& entry : *list) {
      if (!entry["BSD Name"].equals(deviceName.text())) continue;
      if (auto text = formattedAddress(entry["IOMACAddress"])) address = Value(*text);
    }
  }
  return address;
}

}  // namespace corvane

// The configuration store, in memory, replaced by any bytes: read into the port list and
// the TCP/IP list, and the repair location built from it. The first byte
// picks the OS version (and so the store's file and layout), the rest is the
// store. A built copy must be a store whose current location is the one the
// builder named.

#include <array>
#include <cstdlib>
#include <memory>

#include "core/plist_io.h"
#include "fuzz_root.h"
#include "inspect/get_network.h"
#include "inspect/tcpip.h"
#include "provider/provider_datas.h"
#include "repair/private_copy.h"
#include "repair/setup_network.h"
#include "support/memory_platform.h"

namespace {

using namespace corvane;

struct System {
  std::unique_ptr<testing::MemoryPlatform> platform;
  std::string storePath;
};

// An interface list that records en0 and en1, in the layout of the version.
void writeInterfaceList(testing::MemoryPlatform& root, bool oldLayout) {
  Value::Array entries;
  for (const char* name : {"en0", "en1"}) {
    Dictionary entry;
    entry.set("BSD Name", name);
    entry.set("IOMACAddress", Data{std::string("\x00\x0a\x95\x01\x02\xff", 6)});
    entries.push_back(Value(entry));
  }
  if (oldLayout) {
    root.put("/private/var/db/NetworkInterfaces.xml", toXmlPropertyList(Value(entries)));
    return;
  }
  Dictionary list;
  list.set("Interfaces", Value(entries));
  root.put("/Library/Preferences/SystemConfiguration/NetworkInterfaces.plist", toXmlPropertyList(Value(list)));
}

System makeSystem(const std::string& version) {
  System system;
  system.platform = std::make_unique<testing::MemoryPlatform>();
  system.platform->logSink = [](const std::string&) {};
  system.platform->put(fuzzing::kSystemVersionPath, fuzzing::systemVersionPlist(version));
  const bool old = version.starts_with("10.2");
  system.storePath = old ? "/private/var/db/SystemConfiguration/preferences.xml"
                         : "/Library/Preferences/SystemConfiguration/preferences.plist";
  writeInterfaceList(*system.platform, old);
  return system;
}

ProviderDatas settings() {
  ProviderDatas settings;
  settings.tcp = "DHCP";
  settings.p_http = "proxy.example.jp:8080";
  settings.p_secure = "proxy.example.jp:8443";
  settings.p_enable = true;
  settings.no_proxy = "example.jp";
  return settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::array<System, 5> systems = {makeSystem("10.2.8"), makeSystem("10.3.9"), makeSystem("10.4.11"),
                                          makeSystem("10.6.8"), makeSystem("10.12.6")};
  if (size == 0) return 0;
  System& system = systems[data[0] % systems.size()];
  testing::MemoryPlatform& platform = *system.platform;
  platform.put(system.storePath, fuzzing::bytesOf(data + 1, size - 1));
  // What the platform records for tests would only grow here.
  platform.toolRuns.clear();
  platform.systemLogged.clear();

  (void)getNetwork(platform);
  (void)getTCPIP(platform);

  ProviderDatas provider = settings();
  SetupNetwork setup(platform);
  const std::string key = setup.DoSetup("Quorvalin", provider);
  if (key == "-1") return 0;
  const Value copy = parsePropertyList(setup.copy().bytes);
  const bool sound = copy.isDictionary() && copy["CurrentSet"].equals("/Sets/" + key) &&
                     copy["Sets"][key]["UserDefinedName"].equals("Quorvalin");
  removePrivateCopy(platform, setup.copy());
  if (!sound) std::abort();
  return 0;
}

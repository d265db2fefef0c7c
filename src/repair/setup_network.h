#pragma once
// The location builder: writes the repair location into a private copy of
// the configuration store, never into the live store.
//
// The location holds the service of the machine's built-in port (the built-in
// Ethernet, or the Wi-Fi device on machines without one, as its interface
// list says; en0 without a list), active with DHCP and the provider's
// proxies, first in the service order and the only active service on that
// port; the current location's dial-up, FireWire (10.4 on) and AirPort ports
// are inactive services. It becomes the current location of the copy. An
// existing location of the same name is repaired in place. A location left
// without an active service is never written.

#include <optional>
#include <string>
#include <vector>

#include "core/platform.h"
#include "core/plist_value.h"
#include "provider/provider_datas.h"
#include "repair/private_copy.h"

namespace corvane {

// The kinds of port CheckPort sorts the current location's services into, in
// the order of its lists.
enum PortKind : size_t { kModem = 0, kEthernet, kFireWire, kIrDA, kBluetooth, kAirPort, kPortKinds };

using PortLists = std::vector<std::vector<std::string>>;

// Appends six lists (one per PortKind) of port names to names and of device
// names to devices: the current location's services, in the store's order.
// A service without a name ends the scan; a name already listed for its kind
// is skipped, except for a modem on a "pccard-modem" device. Sets smoh to
// "YES" when a modem service's Interface has SupportsModemOnHold.
void CheckPort(const Platform& platform, PortLists& names, PortLists& devices, std::string& smoh);

// The dictionary stored under key; a new empty one is stored first when there
// is none. nullptr when the key holds something that is not a dictionary.
Dictionary* GetOrAddSubDictionary(Dictionary& dictionary, const std::string& key);

// The first decimal number, counting up from start, that is not a key.
std::string SearchEmptySetsNumber(const Dictionary& dictionary, long long start);

// A new location: links and service order for the ids in order, the global
// IPv4 and NetInfo entries and, from 10.2 on, the Interface entries (en0, and
// the Wi-Fi device's entry, en1 on the common layout, from airPortSettings
// when it is a non-empty dictionary; joined into en0 when that is the Wi-Fi
// device).
Value CreateSet(const Platform& platform, const std::string& name, const std::vector<std::string>& serviceIDs,
                const Value& airPortSettings, const std::string& airPortDevice = "en1");

// The id of the first service linked by the set whose Interface has this
// DeviceName and Type; nullopt when there is none.
std::optional<std::string> SearchService(const Dictionary& services, const Value& set, const std::string& device,
                                         const std::string& type);

class SetupNetwork {
 public:
  explicit SetupNetwork(Platform& platform) : platform_(platform) {}

  // Builds or repairs the location called name in a copy of the live store and
  // writes the copy, as preferences.plist (10.3 on, when that file was read) or
  // preferences.xml, into a new private folder (mode 0700) inside the
  // temporary folder. Returns the location's set key, or "-1" when the store
  // could be read from neither file, has a malformed layout, the location
  // would have no active service, or the copy could not be written or does
  // not read back as the same property list; nothing is left to install
  // then, and failure() says why.
  std::string DoSetup(const std::string& name, ProviderDatas& settings);

  // DoSetup without the write: the repaired store is left in built().
  std::string Build(const std::string& name, ProviderDatas& settings);
  const Value& built() const { return built_; }

  // After a successful DoSetup or Build: the copy holds the same values as the live
  // store, so there is nothing to install.
  bool unchanged() const { return unchanged_; }

  // After a successful DoSetup: the copy, its folder and the bytes written.
  const PrivateCopy& copy() const { return copy_; }
  // The live store the copy was built from (absent when unreadable).
  const Value& liveStore() const { return liveStore_; }
  const std::string& failure() const { return failure_; }

 private:
  std::string fail(std::string why);

  Platform& platform_;
  PrivateCopy copy_;
  Value liveStore_;
  Value built_;
  bool fromPlist_ = false;
  std::string failure_;
  bool unchanged_ = false;
};

}  // namespace corvane

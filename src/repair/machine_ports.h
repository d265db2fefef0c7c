#pragma once
// Which devices the machine really has, from its interface list: the port
// the repair makes the location's only active service (the built-in
// Ethernet, or the built-in Wi-Fi on machines without one) and the Wi-Fi
// device that AirPort services are bound to.
//
// Stores migrated from older Macs name devices the machine no longer has,
// and on most portables en0 is the Wi-Fi device, so neither "en0 is the
// built-in Ethernet" nor "en1 is AirPort" can be assumed when the machine
// says otherwise. Without an interface list they are assumed.

#include <string>

#include "core/platform.h"
#include "core/plist_value.h"

namespace corvane {

struct MachinePorts {
  // BSD name of the built-in port.
  std::string builtIn = "en0";
  // True when the built-in port is a Wi-Fi (IEEE80211) device.
  bool builtInIsWiFi = false;
  // BSD name of the Wi-Fi device.
  std::string wiFi = "en1";
};

// From interface list entries (an array of dictionaries with "BSD Name",
// "IOBuiltin", "SCNetworkInterfaceType", "IOInterfaceUnit"): the built-in
// port is the built-in Ethernet interface of lowest unit, else the built-in
// Wi-Fi interface of lowest unit, else en0. A list that has no entry for en0
// says nothing against en0 being the built-in Ethernet: the Wi-Fi interface
// replaces en0 only when the list records en0 and no built-in Ethernet. The
// Wi-Fi device is the Wi-Fi interface of lowest unit (built-in ones first),
// else en1.
MachinePorts machinePortsOf(const Value& interfaceEntries);

// The same, read from the machine's interface list.
MachinePorts findMachinePorts(const Platform& platform);

}  // namespace corvane

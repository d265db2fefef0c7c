#pragma once
// The port list: every network location of the store with its active ports,
// their hardware addresses and proxy lists; and the hardware address of one
// interface from the interface list file.

#include "core/platform.h"
#include "core/plist_value.h"

namespace corvane {

// [current location name, [location name, [port entry...]]...], the locations
// in the store's own order, a port entry being [port name, hardware address,
// proxy list] or, without a known address, [port name, proxy list]. Empty
// when the store is unreadable or empty.
Value getNetwork(const Platform& platform);

// The hardware address ("00:0a:95:01:02:ff") that the interface list file
// records for a device name (a string; anything else matches nothing), or
// absent. The last matching entry wins; data shorter than six bytes is no
// address.
Value GetMacAddress(const Platform& platform, const Value& deviceName);

// The entries of the interface list file for the running OS
// (NetworkInterfaces.plist from 10.3 on, NetworkInterfaces.xml before): an
// array of dictionaries, or absent when there is no readable list.
Value interfaceListEntries(const Platform& platform);

}  // namespace corvane

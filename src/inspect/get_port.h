#pragma once
// The configuration store reader: which file is the store on which OS
// version, and the small readers built on it (the current location's service
// order, one service's settings, a service's interface description, the
// service that a running PPP daemon serves).
//
// Every reader loads the store or runs its tool again on each call; nothing is
// kept between calls. Failures give the documented empty results.

#include <string>
#include <string_view>

#include "core/platform.h"
#include "core/plist_value.h"

namespace corvane {

inline constexpr std::string_view kStorePath = "/Library/Preferences/SystemConfiguration/preferences.plist";
inline constexpr std::string_view kOldStorePath = "/private/var/db/SystemConfiguration/preferences.xml";

// The configuration store: from 10.3 on preferences.plist, and preferences.xml
// when that cannot be read; before 10.3 only preferences.xml. XML and binary
// property lists are read. The result is the store's root dictionary, or
// absent when no file could be read as a dictionary.
Value loadStore(const Platform& platform);

// The service ids of the current location in service order. A store with no
// entries gives [""]; a location without a service order gives [].
Value getCurrentSet(const Platform& platform);
Value getCurrentSet(const Value& store);

// The service dictionary of a service id; an empty dictionary when the store
// has no entries or the service is marked inactive (__INACTIVE__ 1); absent
// when the id is not in the store.
Value getServiceAndKey(const Platform& platform, std::string_view serviceID);
Value getServiceAndKey(const Value& store, std::string_view serviceID);

// [interface display name, interface type, device name] of a service, each
// "" when missing.
Value getType(const Platform& platform, const Value& service);

// The service id that a running PPP daemon serves ("pppd serviceid ID" in
// the output of "/bin/ps -a"), or "".
std::string getServiceID(Platform& platform);

}  // namespace corvane

#pragma once
// Where the repair reads the live configuration store and the interface list
// from. Stands in for the inspection readers until they are linked in; the
// declarations are theirs.

#include <string_view>

#include "core/platform.h"
#include "core/plist_value.h"

namespace corvane {

inline constexpr std::string_view kStorePath = "/Library/Preferences/SystemConfiguration/preferences.plist";
inline constexpr std::string_view kOldStorePath = "/private/var/db/SystemConfiguration/preferences.xml";

// The configuration store: from 10.3 on preferences.plist, and preferences.xml
// when that cannot be read; before 10.3 only preferences.xml. The store's root
// dictionary, or absent when no file could be read as a dictionary.
Value loadStore(const Platform& platform);

// The hardware address ("00:0a:95:01:02:ff") that the interface list file
// records for a device name, or absent.
Value GetMacAddress(const Platform& platform, const Value& deviceName);

}  // namespace corvane

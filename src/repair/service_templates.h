#pragma once
// The six service templates of the repair location: one complete, inactive
// service dictionary per kind of port, laid out for the running OS band
// (before 10.2; 10.2 up to 10.4; 10.4 and later; IPv6 from 10.3 on).

#include <string>

#include "core/platform.h"
#include "core/plist_value.h"
#include "provider/provider_datas.h"

namespace corvane {

// The built-in Ethernet port's name in the location.
inline constexpr const char* kBuiltInEthernetName = "内蔵 Ethernet";

// Dial-up services; their Interface carries SupportsModemOnHold = 1 when the
// settings' smoh is not empty.
Value CreatePPPService(const Platform& platform, const std::string& name, const std::string& device,
                       const ProviderDatas& settings);
Value CreateIrDAService(const Platform& platform, const std::string& device, const ProviderDatas& settings,
                        const std::string& name);
Value CreateBluetoothService(const Platform& platform, const std::string& device, const ProviderDatas& settings,
                             const std::string& name);

// FireWire and AirPort services on the given devices ("fw0" and "en1" on
// the common layout).
Value CreateFireWireService(const Platform& platform, const std::string& name, const std::string& device = "fw0");
Value CreateAirMacService(const Platform& platform, const std::string& name, const std::string& device = "en1");

// The AirPort service of a machine whose built-in port is its Wi-Fi device:
// the AirPort template, configured by DHCP.
Value CreateBuiltInAirPortService(const Platform& platform, const std::string& name, const std::string& device);

// The built-in Ethernet service on device ("en0" on the common layout), DHCP,
// with the device's hardware address from the interface list (an empty
// Ethernet dictionary when none is known).
Value CreateEthernetService(const Platform& platform, const std::string& device = "en0");

}  // namespace corvane

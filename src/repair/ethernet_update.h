#pragma once
// Making the location's built-in Ethernet service its one active service:
// plain Ethernet, IPv4 by DHCP without manual addresses, IPv6 automatic, PPP
// switched off, the provider's proxies, no configured DNS servers. Each change
// is written to the log with a short fixed text.

#include "core/platform.h"
#include "core/plist_value.h"
#include "provider/provider_datas.h"

namespace corvane {

// Changes the service in place (a plain Ethernet or a PPP-over-Ethernet
// service on en0) and removes its own __INACTIVE__.
void UpdateEthernetService(const Platform& platform, Dictionary& service, const ProviderDatas& settings);

}  // namespace corvane

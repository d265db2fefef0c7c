#pragma once
// The TCP/IP settings of the current location's services.

#include <string>
#include <string_view>

#include "core/platform.h"
#include "core/plist_value.h"

namespace corvane {

// One record per active service of the current location, in service order:
// [address record, IPv4 method, DNS server in use, [configured DNS servers],
//  [search domains], IPv6 method]. Empty when there is no usable store.
// *ethcount, when given, is set to the number of Ethernet services walked.
Value getTCPIP(Platform& platform, int* ethcount = nullptr);

// The service's IPv4/ConfigMethod, or "".
std::string getTCP(const Platform& platform, const Value& service);
// The service's IPv6/ConfigMethod, or "".
std::string getIPv6Type(const Platform& platform, const Value& service);
// The service's DNS/ServerAddresses, or an empty list.
Value getDomain(const Platform& platform, const Value& service);
// The service's DNS/SearchDomains, or an empty list.
Value getSearchDomain(const Platform& platform, const Value& service);

// The DNS server that the resolver uses, as "/usr/bin/nslookup <interface>"
// reports it, or "/usr/bin/dig" when nslookup names none; "----------" when
// neither does or the interface name is empty (then no tool runs).
std::string getDNSServer(Platform& platform, std::string_view interfaceName);

}  // namespace corvane

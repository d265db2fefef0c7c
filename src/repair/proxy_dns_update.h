#pragma once
// Bringing a service's proxies and DNS settings in line with the provider's.
// Every proxy switched off is written to the log.

#include <string>
#include <string_view>

#include "core/platform.h"
#include "core/plist_value.h"
#include "provider/provider_datas.h"

namespace corvane {

// Sets one protocol's proxy: value is "host:port" (turns the protocol on with
// that host and port) or empty (turns it off, logging "Proxy:" and the Enable
// key). A value that does not split into exactly two parts at ":" changes
// nothing.
void SetProxy(const Platform& platform, Dictionary& proxies, std::string_view protocol, std::string_view value);

// Applies the provider's HTTP, SOCKS, FTP, Gopher and HTTPS proxies to the
// service's Proxies, switches RTSP (and Mail on 10.3 to 10.3.2) off, clears
// the exception list and automatic proxy configuration.
void UpdateProxy(const Platform& platform, Dictionary& service, const ProviderDatas& settings);

// Removes the service's configured DNS servers and search domains.
void UpdateDNS(Dictionary& service);

// True when the value is a number equal to n.
bool isNumber(const Value& value, int64_t n);

}  // namespace corvane

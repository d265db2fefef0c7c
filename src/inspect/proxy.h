#pragma once
// A service's proxy settings condensed into the proxy list.

#include <string>
#include <string_view>

#include "core/platform.h"
#include "core/plist_value.h"

namespace corvane {

// The protocol words, in the order of the proxy list.
inline constexpr std::string_view kProxyProtocols[] = {"HTTP", "SOCKS", "FTP", "Gopher", "HTTPS", "RTSP", "Mail"};

// "host:port" of one protocol when its <P>Enable is nonzero, else "". A
// missing host or port reads "(null)".
std::string getProxyValue(const Platform& platform, const Value& proxies, std::string_view protocol);

// The proxy list of a service: the seven protocol texts; from 10.3.2 on the
// automatic configuration address (or ""); the ExceptionsList array (or an
// empty list); "OK" when any of the texts is not empty. A service without
// Proxies gives an empty list; Proxies that is not a dictionary gives the
// list with every item off.
Value getProxy(const Platform& platform, const Value& service);

}  // namespace corvane

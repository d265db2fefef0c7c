#pragma once
// Whether a port's proxy list is what the provider prescribes.

#include "app/reader_records.h"
#include "provider/provider_datas.h"

namespace corvane {

// With the provider's proxy on, HTTP, Socks, FTP, Gopher and https must be
// its addresses and RTSP and Mail unset; with it off, all seven unset. An
// automatic proxy set (read from 10.3.2 on) never matches.
bool proxiesMatchProvider(const ProxyList& proxies, const ProviderDatas& prvs);

}  // namespace corvane

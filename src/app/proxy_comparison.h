#pragma once
// Whether a port's proxy list is what the provider prescribes.

#include "core/plist_value.h"
#include "provider/provider_datas.h"

namespace corvane {

// proxy: the port entry's proxy list (HTTP, Socks, FTP, Gopher, https, RTSP,
// Mail, then the automatic proxy from 10.3.2 on); missing elements are unset.
// With the provider's proxy on, the first five must be its addresses and
// RTSP and Mail unset; with it off, all seven unset. newer (10.3.2 or later):
// an automatic proxy set never matches.
bool proxiesMatchProvider(const Value& proxy, const ProviderDatas& prvs, bool newer);

}  // namespace corvane

#include "app/proxy_comparison.h"

namespace corvane {

bool proxiesMatchProvider(const ProxyList& proxies, const ProviderDatas& prvs) {
  const std::string empty;
  const std::string* expected[] = {&prvs.p_http,   &prvs.p_socks, &prvs.p_ftp, &prvs.p_gopher,
                                   &prvs.p_secure, &empty,        &empty};
  static_assert(std::size(expected) == kProxyProtocolCount);
  for (size_t i = 0; i < kProxyProtocolCount; ++i) {
    const std::string& wanted = prvs.p_enable ? *expected[i] : empty;
    if (proxies.protocols[i] != wanted) return false;
  }
  return proxies.automatic.empty();
}

}  // namespace corvane

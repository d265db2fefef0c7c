#include "app/proxy_comparison.h"

namespace corvane {

bool proxiesMatchProvider(const Value& proxy, const ProviderDatas& prvs, bool newer) {
  const std::string empty;
  const std::string* expected[] = {&prvs.p_http,   &prvs.p_socks, &prvs.p_ftp, &prvs.p_gopher,
                                   &prvs.p_secure, &empty,        &empty};
  for (size_t i = 0; i < std::size(expected); ++i) {
    const std::string& wanted = prvs.p_enable ? *expected[i] : empty;
    if (proxy[i].text() != wanted) return false;
  }
  return !(newer && !proxy[7].text().empty());
}

}  // namespace corvane

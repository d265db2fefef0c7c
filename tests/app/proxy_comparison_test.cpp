// Whether a port's proxy list is the one the provider prescribes, case by case.

#include "app/proxy_comparison.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

ProviderDatas providerWithProxy(bool enabled) {
  ProviderDatas prvs;
  prvs.p_enable = enabled;
  prvs.p_http = "proxy.example.net:8080";
  prvs.p_socks = "socks.example.net:1080";
  prvs.p_ftp = "ftp.example.net:21";
  prvs.p_gopher = "";
  prvs.p_secure = "proxy.example.net:8443";
  return prvs;
}

Value list(std::vector<std::string> texts) {
  Value::Array items;
  for (auto& text : texts) items.emplace_back(std::move(text));
  return Value(std::move(items));
}

const std::vector<std::string> kProvider = {
    "proxy.example.net:8080", "socks.example.net:1080", "ftp.example.net:21", "", "proxy.example.net:8443", "", ""};

struct ProxyCase {
  const char* name;
  bool providerProxy;
  Value proxy;
  bool newer;
  bool matches;
};

TEST(ProxyComparison, MatchesOnlyTheProvidersProxies) {
  auto with = [](std::vector<std::string> texts, size_t index, std::string text) {
    texts[index] = std::move(text);
    return texts;
  };
  auto extended = [](std::vector<std::string> texts, std::string automatic) {
    texts.push_back(std::move(automatic));
    texts.push_back("");  // exceptions' place, not compared
    return texts;
  };
  const std::vector<std::string> none(7, "");
  const ProxyCase cases[] = {
      {"provider's proxies exactly", true, list(kProvider), false, true},
      {"provider's proxies, no automatic proxy", true, list(extended(kProvider, "")), true, true},
      {"an automatic proxy on 10.3.2 and later", true, list(extended(kProvider, "http://pac")), true, false},
      {"an automatic proxy before 10.3.2 is not read", true, list(extended(kProvider, "http://pac")), false, true},
      {"another HTTP proxy", true, list(with(kProvider, 0, "other:8080")), false, false},
      {"the Socks proxy missing", true, list(with(kProvider, 1, "")), false, false},
      {"an https proxy differing", true, list(with(kProvider, 4, "proxy.example.net:443")), false, false},
      {"an RTSP proxy set", true, list(with(kProvider, 5, "rtsp:554")), false, false},
      {"a Mail proxy set", true, list(with(kProvider, 6, "mail:25")), false, false},
      {"no list at all while the provider wants proxies", true, Value(Value::Array{}), false, false},
      {"no proxies wanted, none set", false, list(none), false, true},
      {"no proxies wanted, empty list", false, Value(Value::Array{}), false, true},
      {"no proxies wanted, absent list", false, Value(), true, true},
      {"no proxies wanted, the provider's set", false, list(kProvider), false, false},
      {"no proxies wanted, only Mail set", false, list(with(none, 6, "mail:25")), false, false},
      {"no proxies wanted, automatic proxy on 10.3.2", false, list(extended(none, "http://pac")), true, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(proxiesMatchProvider(ProxyList::fromList(c.proxy, c.newer), providerWithProxy(c.providerProxy)),
              c.matches)
        << c.name;
}

}  // namespace
}  // namespace corvane::testing

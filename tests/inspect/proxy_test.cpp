#include <gtest/gtest.h>

#include "inspect/proxy.h"
#include "inspect_fixture.h"

namespace corvane {
namespace {

using testing::dict;
using testing::list;
using testing::SystemRoot;

Value withProxies(Value proxies) { return dict({{"Proxies", proxies}}); }

struct ProxyCase {
  const char* name;
  Value proxies;
  Value expectedNew;  // 10.3.2 and later
  Value expectedOld;  // before 10.3.2
};

TEST(GetProxy, LaysOutTheListByOSVersion) {
  const ProxyCase cases[] = {
      {"HTTP only", dict({{"HTTPEnable", 1}, {"HTTPProxy", "proxy.example.net"}, {"HTTPPort", 80}}),
       list({"proxy.example.net:80", "", "", "", "", "", "", "", list({}), "OK"}),
       list({"proxy.example.net:80", "", "", "", "", "", "", list({}), "OK"})},
      {"switched off", dict({{"HTTPEnable", 0}, {"HTTPProxy", "proxy.example.net"}, {"HTTPPort", 80}}),
       list({"", "", "", "", "", "", "", "", list({})}), list({"", "", "", "", "", "", "", list({})})},
      {"automatic configuration only",
       dict({{"ProxyAutoConfigEnable", 1}, {"ProxyAutoConfigURLString", "http://wpad.example.net/proxy.pac"}}),
       list({"", "", "", "", "", "", "", "http://wpad.example.net/proxy.pac", list({}), "OK"}),
       list({"", "", "", "", "", "", "", list({})})},
      {"automatic configuration on without an address", dict({{"ProxyAutoConfigEnable", 1}}),
       list({"", "", "", "", "", "", "", "", list({})}), list({"", "", "", "", "", "", "", list({})})},
      {"automatic configuration off", dict({{"ProxyAutoConfigEnable", 0}, {"ProxyAutoConfigURLString", "http://x/"}}),
       list({"", "", "", "", "", "", "", "", list({})}), list({"", "", "", "", "", "", "", list({})})},
      {"every protocol in table order, ports as text or number",
       dict({{"HTTPEnable", 1},    {"HTTPProxy", "h"}, {"HTTPPort", 1},    {"SOCKSEnable", 1},   {"SOCKSProxy", "s"},
             {"SOCKSPort", "2"},   {"FTPEnable", 1},   {"FTPProxy", "f"},  {"FTPPort", 3},       {"GopherEnable", 1},
             {"GopherProxy", "g"}, {"GopherPort", 4},  {"HTTPSEnable", 1}, {"HTTPSProxy", "hs"}, {"HTTPSPort", 5},
             {"RTSPEnable", 1},    {"RTSPProxy", "r"}, {"RTSPPort", 6},    {"MailEnable", "1"},  {"MailProxy", "m"},
             {"MailPort", 7}}),
       list({"h:1", "s:2", "f:3", "g:4", "hs:5", "r:6", "m:7", "", list({}), "OK"}),
       list({"h:1", "s:2", "f:3", "g:4", "hs:5", "r:6", "m:7", list({}), "OK"})},
      {"exceptions", dict({{"ExceptionsList", Value::strings({"*.local", "169.254/16"})}}),
       list({"", "", "", "", "", "", "", "", Value::strings({"*.local", "169.254/16"})}),
       list({"", "", "", "", "", "", "", Value::strings({"*.local", "169.254/16"})})},
      {"an empty exceptions list", dict({{"ExceptionsList", list({})}}),
       list({"", "", "", "", "", "", "", "", list({})}), list({"", "", "", "", "", "", "", list({})})},
      {"exceptions that are not a list", dict({{"ExceptionsList", "*.local"}}),
       list({"", "", "", "", "", "", "", "", list({})}), list({"", "", "", "", "", "", "", list({})})},
      {"an enabled proxy without host or port", dict({{"FTPEnable", 1}}),
       list({"", "", "(null):(null)", "", "", "", "", "", list({}), "OK"}),
       list({"", "", "(null):(null)", "", "", "", "", list({}), "OK"})},
      {"an empty Proxies dictionary", dict({}), list({"", "", "", "", "", "", "", "", list({})}),
       list({"", "", "", "", "", "", "", list({})})},
      {"Proxies that is a text", Value("HTTP"), list({"", "", "", "", "", "", "", "", list({})}),
       list({"", "", "", "", "", "", "", list({})})},
      {"Proxies that is a list", list({"HTTPEnable", 1}), list({"", "", "", "", "", "", "", "", list({})}),
       list({"", "", "", "", "", "", "", list({})})},
  };
  SystemRoot newer("10.3.2");
  SystemRoot older("10.3.1");
  Platform& newPlatform = newer;
  Platform& oldPlatform = older;
  for (const auto& c : cases) {
    EXPECT_EQ(getProxy(newPlatform, withProxies(c.proxies)), c.expectedNew) << c.name;
    EXPECT_EQ(getProxy(oldPlatform, withProxies(c.proxies)), c.expectedOld) << c.name;
  }
}

TEST(GetProxy, AServiceWithoutProxiesGivesAnEmptyList) {
  SystemRoot root("10.6.8");
  Platform& platform = root;
  EXPECT_EQ(getProxy(platform, dict({{"UserDefinedName", "x"}})), list({}));
  EXPECT_EQ(getProxy(platform, Value()), list({}));
}

TEST(GetProxyValue, TextFormsOfHostAndPort) {
  testing::SystemRoot platform;
  struct Case {
    Value proxies;
    const char* expected;
  } cases[] = {
      {dict({{"HTTPEnable", 1}, {"HTTPProxy", "h"}, {"HTTPPort", 8080}}), "h:8080"},
      {dict({{"HTTPEnable", true}, {"HTTPProxy", "h"}, {"HTTPPort", 8080.0}}), "h:8080"},
      {dict({{"HTTPEnable", "1"}, {"HTTPProxy", "h"}}), "h:(null)"},
      {dict({{"HTTPEnable", "yes"}, {"HTTPProxy", "h"}, {"HTTPPort", 80}}), ""},
      {dict({{"HTTPEnable", 2}, {"HTTPProxy", 10}, {"HTTPPort", "80"}}), "10:80"},
      {dict({{"HTTPProxy", "h"}, {"HTTPPort", 80}}), ""},
      {Value(), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(getProxyValue(platform, c.proxies, "HTTP"), c.expected) << c.expected;
}

}  // namespace
}  // namespace corvane

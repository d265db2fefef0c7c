#include "repair/proxy_dns_update.h"

#include <gtest/gtest.h>

#include "repair/repair_test_support.h"

namespace corvane {
namespace {

using testing::plistDict;
using testing::VersionPlatform;
using Texts = std::vector<std::string>;

TEST(SetProxy, HostAndPortTurnTheProtocolOn) {
  struct Case {
    std::string value;
    bool changes;
    std::string host;
    int port;
  } cases[] = {
      {"proxy.example.jp:8080", true, "proxy.example.jp", 8080},
      {"proxy.example.jp:8080abc", true, "proxy.example.jp", 8080},
      {"proxy.example.jp:", true, "proxy.example.jp", 0},
      {"proxy.example.jp", false, "", 0},
      {"fe80::1:8080", false, "", 0},
  };
  for (const auto& c : cases) {
    VersionPlatform platform("10.4.11");
    Dictionary proxies;
    SetProxy(*platform, proxies, "HTTP", c.value);
    const Value result(proxies);
    if (c.changes) {
      EXPECT_EQ(result["HTTPEnable"], Value(1)) << c.value;
      EXPECT_EQ(result["HTTPProxy"], Value(c.host)) << c.value;
      EXPECT_EQ(result["HTTPPort"], Value(c.port)) << c.value;
    } else {
      EXPECT_TRUE(proxies.empty()) << c.value;
    }
    EXPECT_TRUE(platform.logged.empty()) << c.value;
  }
}

TEST(SetProxy, ApplyingTheSameValueAgainChangesNothing) {
  VersionPlatform platform("10.4.11");
  Dictionary proxies = plistDict(
      "<key>HTTPEnable</key><integer>1</integer><key>HTTPProxy</key><string>p.example</string>"
      "<key>HTTPPort</key><string>3128</string>");
  const Dictionary before = proxies;
  SetProxy(*platform, proxies, "HTTP", "p.example:3128");
  EXPECT_EQ(proxies, before);
}

TEST(SetProxy, EmptyValueSwitchesOffAndLogsOnlyWhenOn) {
  VersionPlatform platform("10.4.11");
  Dictionary proxies = plistDict(
      "<key>SOCKSEnable</key><integer>1</integer><key>SOCKSProxy</key><string>s</string>"
      "<key>FTPEnable</key><integer>0</integer>");
  SetProxy(*platform, proxies, "SOCKS", "");
  SetProxy(*platform, proxies, "FTP", "");
  SetProxy(*platform, proxies, "Gopher", "");
  EXPECT_EQ(Value(proxies)["SOCKSEnable"], Value(0));
  EXPECT_TRUE(Value(proxies)["SOCKSProxy"].equals("s"));
  EXPECT_TRUE(Value(proxies)["GopherEnable"].isAbsent());
  EXPECT_EQ(platform.logged, Texts{"Proxy:SOCKSEnable"});
}

TEST(UpdateProxy, ChoosesItsStepsByVersion) {
  const std::string body =
      "<key>Proxies</key><dict><key>ExceptionsList</key><array><string></string></array>"
      "<key>RTSPEnable</key><integer>1</integer><key>MailEnable</key><integer>1</integer>"
      "<key>AppleProxyConfigurationSelected</key><integer>1</integer>"
      "<key>ProxyAutoConfigEnable</key><integer>1</integer></dict>";
  struct Case {
    std::string version;
    Texts logged;
    int mail, selected, autoConfig;
  } cases[] = {
      {"10.2.8", {"ExceptionsList", "Proxy:RTSPEnable"}, 1, 1, 1},
      {"10.3", {"ExceptionsList", "Proxy:RTSPEnable", "Proxy:MailEnable"}, 0, 1, 1},
      {"10.3.2", {"ExceptionsList", "Proxy:RTSPEnable", "Proxy:MailEnable"}, 0, 1, 0},
      {"10.3.3", {"ExceptionsList", "Proxy:RTSPEnable"}, 1, 1, 0},
      {"10.4.11", {"ExceptionsList", "Proxy:RTSPEnable"}, 1, 2, 0},
  };
  for (const auto& c : cases) {
    VersionPlatform platform(c.version);
    Dictionary service = plistDict(body);
    UpdateProxy(*platform, service, ProviderDatas{});
    const Value result(service);
    const Value& proxies = result["Proxies"];
    EXPECT_EQ(platform.logged, c.logged) << c.version;
    EXPECT_TRUE(proxies["ExceptionsList"].isAbsent()) << c.version;
    EXPECT_EQ(proxies["MailEnable"].intValue(), c.mail) << c.version;
    EXPECT_EQ(proxies["AppleProxyConfigurationSelected"].intValue(), c.selected) << c.version;
    EXPECT_EQ(proxies["ProxyAutoConfigEnable"].intValue(), c.autoConfig) << c.version;
  }
}

TEST(UpdateProxy, AppliesEveryProviderProtocolAndLeavesAServiceWithoutProxiesAlone) {
  VersionPlatform platform("10.4.11");
  ProviderDatas settings;
  settings.p_http = settings.p_socks = settings.p_ftp = settings.p_gopher = settings.p_secure = "gw.example:3128";
  Dictionary service = plistDict("<key>Proxies</key><dict/>");
  UpdateProxy(*platform, service, settings);
  for (const std::string p : {"HTTP", "SOCKS", "FTP", "Gopher", "HTTPS"}) {
    EXPECT_EQ(Value(service)["Proxies"][p + "Enable"], Value(1)) << p;
    EXPECT_EQ(Value(service)["Proxies"][p + "Port"], Value(3128)) << p;
  }

  Dictionary bare = plistDict("<key>UserDefinedName</key><string>x</string>");
  UpdateProxy(*platform, bare, settings);
  EXPECT_EQ(bare, plistDict("<key>UserDefinedName</key><string>x</string>"));
  EXPECT_EQ(platform.logged.back(), "no proxy");
}

TEST(UpdateDNS, ClearsServersAndDomains) {
  Dictionary service = plistDict(
      "<key>DNS</key><dict><key>ServerAddresses</key><array><string>10.0.0.1</string></array>"
      "<key>SearchDomains</key><array><string></string></array><key>Other</key><string>x</string></dict>");
  UpdateDNS(service);
  EXPECT_EQ(service, plistDict("<key>DNS</key><dict><key>Other</key><string>x</string></dict>"));

  Dictionary empty = plistDict("<key>DNS</key><dict><key>ServerAddresses</key><array/></dict>");
  UpdateDNS(empty);
  EXPECT_EQ(empty, plistDict("<key>DNS</key><dict><key>ServerAddresses</key><array/></dict>"));
}

}  // namespace
}  // namespace corvane

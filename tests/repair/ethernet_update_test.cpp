#include "repair/ethernet_update.h"

#include <gtest/gtest.h>

#include "repair/repair_test_support.h"
#include "repair/service_templates.h"

namespace corvane {
namespace {

using testing::plistDict;
using testing::VersionPlatform;
using Texts = std::vector<std::string>;

TEST(UpdateEthernetService, ConvertsPPPoverEthernet) {
  VersionPlatform platform("10.3.9");
  Dictionary service = plistDict(
      "<key>Interface</key><dict><key>DeviceName</key><string>en0</string><key>SubType</key><string>PPPoE</string>"
      "<key>Type</key><string>PPP</string></dict>"
      "<key>IPv4</key><dict><key>ConfigMethod</key><string>PPP</string></dict>"
      "<key>IPv6</key><dict><key>ConfigMethod</key><string>Automatic</string></dict>"
      "<key>PPP</key><dict><key>__INACTIVE__</key><integer>2</integer></dict>"
      "<key>__INACTIVE__</key><integer>1</integer>");
  UpdateEthernetService(*platform, service, ProviderDatas{});
  EXPECT_EQ(service, plistDict("<key>Interface</key><dict><key>DeviceName</key><string>en0</string>"
                               "<key>Type</key><string>Ethernet</string></dict>"
                               "<key>IPv4</key><dict><key>ConfigMethod</key><string>DHCP</string></dict>"
                               "<key>IPv6</key><dict><key>ConfigMethod</key><string>Automatic</string></dict>"
                               "<key>PPP</key><dict><key>__INACTIVE__</key><integer>1</integer></dict>"));
  EXPECT_EQ(platform.logged, (Texts{"ppp __INACTIVE__", "no proxy", "dont ethernet", "subtype", "DHCP"}));
}

TEST(UpdateEthernetService, ManualServiceLosesItsAddresses) {
  VersionPlatform platform("10.4.11");
  Dictionary service = plistDict(
      "<key>Interface</key><dict><key>Type</key><string>Ethernet</string></dict>"
      "<key>IPv4</key><dict><key>Addresses</key><array><string>192.168.1.2</string></array>"
      "<key>ConfigMethod</key><string>Manual</string><key>DHCPClientID</key><string>me</string>"
      "<key>Router</key><string>192.168.1.1</string>"
      "<key>SubnetMasks</key><array><string>255.255.255.0</string></array></dict>"
      "<key>PPP</key><dict><key>LogFile</key><string>/tmp/x.log</string>"
      "<key>__INACTIVE__</key><integer>1</integer></dict>"
      "<key>Proxies</key><dict/>");
  UpdateEthernetService(*platform, service, ProviderDatas{});
  EXPECT_EQ(Value(service)["IPv4"], Value(plistDict("<key>ConfigMethod</key><string>DHCP</string>")));
  // From 10.4 on the capitalised LogFile is left alone.
  EXPECT_TRUE(Value(service)["PPP"]["LogFile"].equals("/tmp/x.log"));
  EXPECT_EQ(platform.logged,
            (Texts{"no ipv6", "ipv4 address", "DHCP", "DHCP Client ID", "router", "subnetmask", "IPv6 ConfigMethod"}));
}

TEST(UpdateEthernetService, BeforeTenFourLogFileBecomesLogfile) {
  VersionPlatform platform("10.3.9");
  Dictionary service = plistDict(
      "<key>PPP</key><dict><key>LogFile</key><string>/tmp/x.log</string>"
      "<key>__INACTIVE__</key><integer>1</integer></dict>");
  UpdateEthernetService(*platform, service, ProviderDatas{});
  EXPECT_EQ(
      Value(service)["PPP"],
      Value(plistDict("<key>__INACTIVE__</key><integer>1</integer><key>Logfile</key><string>/tmp/ppp.log</string>")));
  EXPECT_EQ(platform.logged,
            (Texts{"LogFile", "no ipv4", "no ipv6", "no proxy", "no interface", "DHCP", "IPv6 ConfigMethod"}));
}

TEST(UpdateEthernetService, FreshTemplateOnlyGetsProxiesDNSAndActivated) {
  VersionPlatform platform("10.4.11");
  Value built = CreateEthernetService(*platform);
  Dictionary& service = *built.dictionary();
  UpdateEthernetService(*platform, service, ProviderDatas{});
  EXPECT_EQ(platform.logged, Texts{"ExceptionsList"});
  EXPECT_TRUE(built["__INACTIVE__"].isAbsent());
  EXPECT_EQ(built["DNS"], Value(Dictionary{}));
  EXPECT_EQ(built["Proxies"]["AppleProxyConfigurationSelected"], Value(2));
}

}  // namespace
}  // namespace corvane

#include "repair/service_templates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "repair/repair_test_support.h"

namespace corvane {
namespace {

using testing::keysOf;
using testing::MemoryPlatform;
using testing::writeBareSystem;
using Keys = std::vector<std::string>;

struct Band {
  std::string version;
  bool ipv6, terminalScript, fastUserSwitch;
  std::string logfile;
  int ftpPassive;
};

void PrintTo(const Band& band, std::ostream* out) { *out << band.version; }

class TemplateBands : public ::testing::TestWithParam<Band> {};

TEST_P(TemplateBands, EveryServiceFollowsItsBand) {
  const Band& band = GetParam();
  MemoryPlatform platform;
  writeBareSystem(platform, band.version);
  ProviderDatas settings;
  const std::vector<Value> services{CreatePPPService(platform, "Modem", "modem", settings),
                                    CreateIrDAService(platform, "irda", settings, "IrDA"),
                                    CreateBluetoothService(platform, "bt", settings, "Bluetooth"),
                                    CreateFireWireService(platform, "FireWire"),
                                    CreateAirMacService(platform, "AirPort"),
                                    CreateEthernetService(platform)};
  for (const Value& service : services) {
    SCOPED_TRACE(band.version + " " + service["UserDefinedName"].text());
    EXPECT_EQ(service["IPv6"]["ConfigMethod"].equals("Automatic"), band.ipv6);
    EXPECT_EQ(service["IPv6"].isAbsent(), !band.ipv6);
    const Value& ppp = service["PPP"];
    EXPECT_EQ(!ppp["CommUseTerminalScript"].isAbsent(), band.terminalScript);
    EXPECT_EQ(!ppp["DisconnectOnFastUserSwitch"].isAbsent(), band.fastUserSwitch);
    EXPECT_TRUE(ppp["Logfile"].equals(band.logfile));
    EXPECT_EQ(service["Proxies"]["FTPPassive"].intValue(), band.ftpPassive);
    EXPECT_EQ(service["__INACTIVE__"].intValue(), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, TemplateBands,
                         ::testing::Values(Band{"10.1.5", false, false, false, "/tmp/ppp.log", 0},
                                           Band{"10.2.8", false, true, false, "/tmp/ppp.log", 1},
                                           Band{"10.3.9", true, true, false, "/tmp/ppp.log", 1},
                                           Band{"10.4.11", true, true, true, "/var/log/ppp.log", 1},
                                           Band{"10.12.6", true, true, true, "/var/log/ppp.log", 1}),
                         [](const auto& test) {
                           std::string name = "v" + test.param.version;
                           std::replace(name.begin(), name.end(), '.', '_');
                           return name;
                         });

TEST(ServiceTemplates, ProxiesKeysPerBand) {
  struct Case {
    std::string version;
    Keys dialUp, wired;
  } cases[] = {
      {"10.1",
       {"ExceptionsList", "FTPEnable", "FTPPassive", "GopherEnable", "HTTPEnable", "HTTPSEnable", "RTSPEnable",
        "SOCKSEnable"},
       {"ExceptionsList", "FTPEnable", "FTPPassive", "GopherEnable", "HTTPEnable", "HTTPPort", "HTTPProxy",
        "RTSPEnable", "SOCKSEnable"}},
      {"10.3.9",
       {"ExceptionsList", "FTPEnable", "FTPPassive", "GopherEnable", "HTTPEnable", "HTTPSEnable", "RTSPEnable",
        "SOCKSEnable"},
       {"ExceptionsList", "FTPEnable", "FTPPassive", "GopherEnable", "HTTPEnable", "HTTPPort", "HTTPProxy",
        "RTSPEnable", "SOCKSEnable"}},
      {"10.4",
       {"FTPPassive", "AppleProxyConfigurationSelected", "ExclludeSimpleHostnames", "ProxyAutoDiscoveryEnable"},
       {"ExceptionsList", "FTPEnable", "FTPPassive", "GopherEnable", "HTTPEnable", "HTTPPort", "HTTPProxy",
        "RTSPEnable", "SOCKSEnable", "AppleProxyConfigurationSelected", "ExclludeSimpleHostnames",
        "ProxyAutoDiscoveryEnable"}},
  };
  for (const auto& c : cases) {
    MemoryPlatform platform;
    writeBareSystem(platform, c.version);
    ProviderDatas settings;
    EXPECT_EQ(keysOf(CreateBluetoothService(platform, "bt", settings, "B")["Proxies"]), c.dialUp) << c.version;
    EXPECT_EQ(keysOf(CreateAirMacService(platform, "A")["Proxies"]), c.wired) << c.version;
    EXPECT_EQ(keysOf(CreateEthernetService(platform)["Proxies"]), c.wired) << c.version;
  }
}

TEST(ServiceTemplates, ModemOnHoldFollowsSmoh) {
  MemoryPlatform platform;
  writeBareSystem(platform, "10.4.11");
  ProviderDatas settings;
  for (const std::string smoh : {"", "YES"}) {
    settings.smoh = smoh;
    for (const Value& service :
         {CreatePPPService(platform, "M", "modem", settings), CreateIrDAService(platform, "irda", settings, "I"),
          CreateBluetoothService(platform, "bt", settings, "B")}) {
      const Value& hold = service["Interface"]["SupportsModemOnHold"];
      if (smoh.empty())
        EXPECT_TRUE(hold.isAbsent());
      else
        EXPECT_EQ(hold, Value(1));
    }
  }
}

TEST(ServiceTemplates, InterfacesNameTheirDevicesAndKinds) {
  MemoryPlatform platform;
  writeBareSystem(platform, "10.4.11", std::string("\x00\x0a\x95\x01\x02\xff", 6));
  ProviderDatas settings;

  const Value irda = CreateIrDAService(platform, "irda-ircomm", settings, "IrDA Port");
  EXPECT_EQ(keysOf(irda["Interface"]),
            (Keys{"DeviceName", "Hardware", "HardwareVariant", "SubType", "Type", "UserDefinedName"}));
  EXPECT_TRUE(irda["Interface"]["HardwareVariant"].equals("IrDA-IrCOMM"));
  EXPECT_TRUE(irda["Interface"]["DeviceName"].equals("irda-ircomm"));
  EXPECT_EQ(irda["PPP"]["LCPEchoEnabled"].intValue(), 0);
  EXPECT_EQ(irda["PPP"]["AuthPassword"], Value(Data{}));

  EXPECT_TRUE(CreateFireWireService(platform, "FW")["Interface"]["DeviceName"].equals("fw0"));
  const Value airPort = CreateAirMacService(platform, "Air");
  EXPECT_TRUE(airPort["Interface"]["DeviceName"].equals("en1"));
  EXPECT_EQ(airPort["AirPort"], Value(Dictionary{}));
  EXPECT_EQ(airPort["PPP"]["LCPEchoFailure"].intValue(), 4);

  const Value ethernet = CreateEthernetService(platform);
  EXPECT_TRUE(ethernet["UserDefinedName"].equals("\xE5\x86\x85\xE8\x94\xB5 Ethernet"));
  EXPECT_TRUE(ethernet["Interface"]["UserDefinedName"].equals("\xE5\x86\x85\xE8\x94\xB5 Ethernet"));
  EXPECT_TRUE(ethernet["Ethernet"]["MACAddress"].equals("00:0a:95:01:02:ff"));
  EXPECT_EQ(keysOf(ethernet), (Keys{"AppleTalk", "DNS", "Ethernet", "Interface", "IPv4", "IPv6", "PPP", "Proxies",
                                    "UserDefinedName", "__INACTIVE__"}));
}

TEST(ServiceTemplates, EthernetWithoutKnownAddressHasEmptyEthernet) {
  MemoryPlatform platform;
  writeBareSystem(platform, "10.3.9");
  EXPECT_EQ(CreateEthernetService(platform)["Ethernet"], Value(Dictionary{}));
}

}  // namespace
}  // namespace corvane

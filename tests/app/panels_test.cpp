// What the detail panels and the repair panel show.

#include <gtest/gtest.h>

#include "app/hardware_panel_model.h"
#include "app/mail_panel_model.h"
#include "app/network_panel_model.h"
#include "app/repair_panel_model.h"
#include "app/tcpip_panel_model.h"
#include "app_fixture.h"

namespace corvane::testing {
namespace {

TEST(VolumeSize, UnitsAndRounding) {
  struct Case {
    double bytes;
    bool decimal;
    std::string text;
  } cases[] = {
      {5, true, "5.00 Byte"},
      {2048, true, "2.05 KB"},
      {12345, true, "0.01 MB"},
      {50000000, true, "0.05 GB"},
      {500000000000, true, "500.00 GB"},
      {2048, false, "2.00 KB"},
      {500000000000, false, "465.66 GB"},
      {0, true, "0.00 Byte"},
      {9.99, true, "9.99 Byte"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatVolumeSize(c.bytes, c.decimal), c.text) << c.bytes;
}

TEST(VolumeRows, UnreadableVolumeShowsZero) {
  MemoryPlatform system;
  writeSystem(system, "10.6");
  system.setDiskFigures({});  // the volume cannot be read
  auto rows = volumeRows(system, {"/Volumes/Gone"});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].volume, "/Volumes/Gone");
  EXPECT_EQ(rows[0].free, "0.00 Byte");
  EXPECT_EQ(rows[0].all, "0.00 Byte");
}

TEST(RepairPanel, ResultCellsGetAColonUnlessEmpty) {
  auto rows = repairPanelRows({{"setNetwork", "Manual"}, {"", ""}, {"recommended", ""}, {"setNetwork", "DHCP"}});
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].name, "setNetwork");
  EXPECT_EQ(rows[0].result, ": Manual");
  EXPECT_EQ(rows[1].result, "");
  EXPECT_EQ(rows[2].name, "recommended");
  EXPECT_EQ(rows[2].result, "");
  EXPECT_EQ(rows[3].result, ": DHCP");
}

Value twoLocations() {
  Value proxies = proxyList({"web:80", "socks:1080", "ftp:21", "gopher:70", "secure:443", "rtsp:554", "mail:25"},
                            {"a", "b", "c"}, std::string("http://wpad/p.pac"));
  return portList("Work", {{"Home", {portEntry("Ethernet", "00:0a:95:01:02:03", noProxies())}},
                           {"Work",
                            {portEntry("AirPort", "00:0d:93:00:00:01", proxies), Value::strings({"Lonely"}),
                             Value(Value::Array{Value("Modem"), Value(Value::Array{})})}}});
}

TEST(NetworkPanel, ShowsCurrentLocationAndItsFirstPort) {
  LocalizedStrings strings;
  NetworkPanelModel panel;
  panel.showPanel(twoLocations(), strings, true);
  EXPECT_EQ(panel.places(), (std::vector<std::string>{"Home", "Work"}));
  EXPECT_EQ(panel.selectedPlace(), 1u);
  EXPECT_TRUE(panel.placeEnabled());
  // Entries of one item are not listed.
  EXPECT_EQ(panel.ports(), (std::vector<std::string>{"AirPort", "Modem"}));
  const auto& f = panel.fields();
  EXPECT_EQ(f.mac, "00:0d:93:00:00:01");
  EXPECT_EQ(f.web, "web:80");
  EXPECT_EQ(f.socks, "socks:1080");
  EXPECT_EQ(f.ftp, "ftp:21");
  EXPECT_EQ(f.gopher, "gopher:70");
  EXPECT_EQ(f.secure, "secure:443");
  EXPECT_EQ(f.rtsp, "rtsp:554");
  EXPECT_EQ(f.mail, "mail:25");
  EXPECT_EQ(f.autoP, "http://wpad/p.pac");
  EXPECT_EQ(f.noProxy, "a\nb\nc");

  // The second listed port is the third entry: a two-item entry with an
  // empty proxy list leaves every field empty.
  panel.OnSelectPort(1);
  EXPECT_EQ(panel.fields().mac, "");
  EXPECT_EQ(panel.fields().web, "");

  panel.OnSelectPlace(0);
  EXPECT_EQ(panel.ports(), std::vector<std::string>{"Ethernet"});
  EXPECT_FALSE(panel.portEnabled());
  EXPECT_EQ(panel.fields().mac, "00:0a:95:01:02:03");
}

TEST(NetworkPanel, OlderSystemsHaveExceptionsAtItemSevenAndNoAutoConfiguration) {
  LocalizedStrings strings;
  Value proxies = proxyList({"web:80", "", "", "", "", "", ""}, {"x", "y"}, std::nullopt);
  NetworkPanelModel panel;
  panel.showPanel(portList("Home", {{"Home", {portEntry("Ethernet", "00:0a:95:01:02:03", proxies)}}}), strings, false);
  EXPECT_FALSE(panel.placeEnabled());
  EXPECT_EQ(panel.fields().autoP, "");
  EXPECT_EQ(panel.fields().noProxy, "x\ny");
}

TEST(NetworkPanel, EmptyPortListShowsNoNetworkInBothPopups) {
  LocalizedStrings strings(LocalizedStrings::Table{{"noNetwork", "No network"}});
  NetworkPanelModel panel;
  panel.showPanel(Value(Value::Array{}), strings, true);
  EXPECT_EQ(panel.places(), std::vector<std::string>{"No network"});
  EXPECT_EQ(panel.ports(), std::vector<std::string>{"No network"});
  EXPECT_FALSE(panel.hasPorts());
  EXPECT_EQ(panel.fields().mac, "");
  panel.OnSelectPort(0);  // choosing the placeholder shows nothing
  panel.OnSelectPlace(0);
  EXPECT_EQ(panel.fields().web, "");
}

Value addressRecord(std::vector<std::string> items) { return Value::strings(items); }

TEST(TcpipPanel, ShowsTheRecordAtThePortIndex) {
  LocalizedStrings strings(LocalizedStrings::Table{{"DHCP", "Using DHCP"}});
  Value tcpips(Value::Array{
      Value(Value::Array{
          addressRecord({"en1", "192.168.1.5", "255.255.255.0", "192.168.1.255", "fe80::1", "2001:db8::5"}),
          Value("DHCP"), Value("192.168.1.1"), Value::strings({"192.168.1.1", "8.8.8.8"}), Value::strings({"x", "y"}),
          Value("Automatic")}),
      Value(Value::Array{addressRecord({"", "----------", "----------", "----------"}), Value("Manual"),
                         Value("----------"), Value(Value::Array{}), Value(Value::Array{}), Value("")})});
  TcpipPanelModel panel;
  panel.showPanel(tcpips, twoLocations(), strings);
  EXPECT_FALSE(panel.placeEnabled());
  auto f = panel.fields();
  EXPECT_EQ(f.use, "Using DHCP");
  EXPECT_EQ(f.ipaddress, "192.168.1.5");
  EXPECT_EQ(f.subnetmask, "255.255.255.0");
  EXPECT_EQ(f.router, "192.168.1.255");
  EXPECT_EQ(f.ipv6address, "2001:db8::5");
  EXPECT_EQ(f.ipv6config, "Automatic");
  EXPECT_EQ(f.dns1, "192.168.1.1");
  EXPECT_EQ(f.dnsserver, "192.168.1.1\n8.8.8.8");
  EXPECT_EQ(f.searchdomain, "xy");

  panel.OnSelectPort(1);
  f = panel.fields();
  EXPECT_EQ(f.use, "Manual");
  EXPECT_EQ(f.ipaddress, "----------");
  EXPECT_EQ(f.subnetmask, "----------");
  EXPECT_EQ(f.router, "----------");
  EXPECT_EQ(f.ipv6address, "");
  EXPECT_EQ(f.dnsserver, "");
}

TEST(TcpipPanel, RecordOfEachPortWhenTheTcpipListLeavesServicesOut) {
  const Value named = portEntry("Ethernet", "00:0a:95:01:02:03", noProxies());
  const Value unnamed = Value(Value::Array{Value(""), Value(Value::Array{})});  // a missing or empty service
  const Value unnamedWithProxies = Value(Value::Array{Value(""), noProxies()});
  struct Case {
    const char* what;
    std::vector<Value> ports;
    size_t records;
    std::vector<std::optional<size_t>> expected;  // per pop-up index
  };
  const Case cases[] = {
      {"no service left out", {named, named, named}, 3, {0, 1, 2}},
      {"a missing service between two", {named, unnamed, named}, 2, {0, std::nullopt, 1}},
      {"a missing service first", {unnamed, named}, 1, {std::nullopt, 0}},
      {"two left out", {unnamed, named, unnamed}, 1, {std::nullopt, 0, std::nullopt}},
      // A nameless service without proxies that the TCP/IP list does hold.
      {"a nameless service with a record", {named, unnamed, named}, 3, {0, 1, 2}},
      {"a nameless service with proxies always has a record",
       {unnamedWithProxies, unnamed, named},
       2,
       {0, std::nullopt, 1}},
      {"an empty TCP/IP list", {named, named}, 0, {std::nullopt, std::nullopt}},
  };
  for (const auto& c : cases) {
    const Value location(Value::Array{Value("Automatic"), Value(Value::Array(c.ports.begin(), c.ports.end()))});
    for (size_t i = 0; i < c.expected.size(); ++i)
      EXPECT_EQ(tcpipRecordIndex(location, i, c.records), c.expected[i]) << c.what << ", port " << i;
    EXPECT_EQ(tcpipRecordIndex(location, c.ports.size(), c.records), std::nullopt) << c.what;
  }
}

TEST(TcpipPanel, AMissingServiceBetweenEthernetAndAirPortShowsNoRecord) {
  LocalizedStrings strings;
  const Value ports = portList("Automatic", {{"Automatic",
                                              {portEntry("Ethernet", "00:0a:95:01:02:03", noProxies()),
                                               Value(Value::Array{Value(""), Value(Value::Array{})}),
                                               portEntry("AirPort", "00:30:65:12:34:56", noProxies())}}});
  Value tcpips(Value::Array{
      Value(Value::Array{addressRecord({"en0", "192.168.1.23", "255.255.255.0", "192.168.1.255"}), Value("DHCP"),
                         Value("10.0.1.1"), Value(Value::Array{}), Value(Value::Array{}), Value("")}),
      Value(Value::Array{addressRecord({"en1", "10.0.1.2", "255.255.255.0", "10.0.1.255"}), Value("DHCP"),
                         Value("10.0.1.1"), Value(Value::Array{}), Value(Value::Array{}), Value("")})});
  TcpipPanelModel panel;
  panel.showPanel(tcpips, ports, strings);
  EXPECT_EQ(panel.ports(), (std::vector<std::string>{"Ethernet", "", "AirPort"}));
  EXPECT_EQ(panel.fields().ipaddress, "192.168.1.23");
  panel.OnSelectPort(1);
  EXPECT_EQ(panel.fields().ipaddress, "");
  EXPECT_EQ(panel.fields().dns1, "");
  panel.OnSelectPort(2);
  EXPECT_EQ(panel.fields().ipaddress, "10.0.1.2");
  EXPECT_EQ(panel.fields().router, "10.0.1.255");
}

TEST(TcpipPanel, EmptyTcpipListShowsPortsWithEmptyFields) {
  LocalizedStrings strings;
  TcpipPanelModel panel;
  panel.showPanel(Value(Value::Array{}), twoLocations(), strings);
  EXPECT_EQ(panel.ports(), (std::vector<std::string>{"AirPort", "Modem"}));
  EXPECT_EQ(panel.fields().ipaddress, "");
  EXPECT_EQ(panel.fields().use, "");
}

TEST(MailPanel, AccountsAndTheirDetails) {
  LocalizedStrings strings(LocalizedStrings::Table{{"noAccount", "No account"}});
  Value accounts(Value::Array{Value::strings({"A", "a@x.jp", "Ann", "ann", "pop.a", "smtp.a"}),
                              Value::strings({"B", "b@x.jp", "Bob", "bob", "pop.b", "smtp.b"}),
                              Value::strings({"C", "c@x.jp", "Cy", "cy", "pop.c", "smtp.c"})});
  MailPanelModel panel;
  panel.showPanel(accounts, strings);
  EXPECT_EQ(panel.items(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(panel.fields().mailaddress, "a@x.jp");
  panel.OnSelectAccount(2);
  auto f = panel.fields();
  EXPECT_EQ(f.mailaddress, "c@x.jp");
  EXPECT_EQ(f.name, "Cy");
  EXPECT_EQ(f.user, "cy");
  EXPECT_EQ(f.pop, "pop.c");
  EXPECT_EQ(f.smtp, "smtp.c");

  // Opening again with no accounts leaves nothing of the first list.
  panel.showPanel(Value(Value::Array{}), strings);
  EXPECT_EQ(panel.items(), std::vector<std::string>{"No account"});
  EXPECT_EQ(panel.fields().mailaddress, "");
  panel.OnSelectAccount(0);
  EXPECT_EQ(panel.fields().name, "");
}

}  // namespace
}  // namespace corvane::testing

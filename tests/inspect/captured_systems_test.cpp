// The readers on the captured systems under testdata/sysroots, tools and all.
// The expected lists are written out from the systems' files by hand.

#include <gtest/gtest.h>

#include "inspect/get_network.h"
#include "inspect/get_port.h"
#include "inspect/ip_address.h"
#include "inspect/tcpip.h"
#include "inspect_fixture.h"

namespace corvane {
namespace {

using testing::list;
using testing::noAddress;

// No proxy set: 8 items before 10.3.2, 9 from then on.
Value noProxiesOld() { return list({"", "", "", "", "", "", "", list({})}); }
Value noProxies(Value exceptions = list({})) { return list({"", "", "", "", "", "", "", "", exceptions}); }
Value defaultExceptions() { return Value::strings({"*.local", "169.254/16"}); }

struct CapturedSystem {
  const char* name;
  Value network;
  Value tcpip;
  int ethernetServices;
  const char* firstAddress;
};

std::vector<CapturedSystem> capturedSystems() {
  return {
      {"net-10.2.8",
       list({"Automatic",
             list({"Automatic", list({list({"Built-in Ethernet", "00:0a:95:5c:31:d2", noProxiesOld()}),
                                      list({"Internal Modem", noProxiesOld()})})}),
             list({"Office", list({list({"Office Ethernet", "00:0a:95:5c:31:d2",
                                         list({"proxy.example.com:3128", "", "", "", "", "", "",
                                               Value::strings({"localhost", "*.example.com"}), "OK"})})})})}),
       list(
           {list({Value::strings({"en0", "192.0.2.23", "255.255.255.0", "192.0.2.255", "fe80::20a:95ff:fe5c:31d2%en0"}),
                  "DHCP", "192.0.2.1", list({}), list({}), ""}),
            list({noAddress(), "PPP", "----------", list({}), list({}), ""})}),
       1, "192.0.2.23"},
      // The order names service 1, which the store lacks: the port list keeps
      // an entry for it, the TCP/IP list none. The server line ends in a blank.
      {"net-10.2.8-dangling-service",
       list({"Automatic", list({"Automatic", list({list({"Built-in Ethernet", "00:0a:95:5c:31:d2", noProxiesOld()}),
                                                   list({"", list({})}),
                                                   list({"AirPort", "00:30:65:12:34:56", noProxiesOld()})})})}),
       list({list({Value::strings(
                       {"en0", "192.168.1.23", "255.255.255.0", "192.168.1.255", "fe80::20a:95ff:fe5c:31d2%en0"}),
                   "DHCP", "10.0.1.1", list({}), list({}), ""}),
             list({Value::strings({"en1", "10.0.1.2", "255.255.255.0", "10.0.1.255", "fe80::230:65ff:fe12:3456%en1"}),
                   "DHCP", "10.0.1.1", list({}), list({}), ""})}),
       2, "192.168.1.23"},
      {"net-10.3.9",
       list({"Automatic",
             list({"Automatic", list({list({"Built-in Ethernet", "00:0a:95:8a:4c:10",
                                            list({"", "", "", "", "", "", "", "http://wpad.example.net/proxy.pac",
                                                  defaultExceptions(), "OK"})}),
                                      list({"AirPort", "00:30:65:1a:2b:3c", noProxies()}),
                                      list({"Internal Modem", noProxies()})})})}),
       // nslookup timed out; dig named the server.
       list(
           {list({Value::strings({"en0", "192.0.2.77", "255.255.255.0", "192.0.2.255", "fe80::20a:95ff:fe8a:4c10%en0"}),
                  "DHCP", "192.0.2.1", list({}), list({}), "Automatic"}),
            list({noAddress(), "DHCP", "----------", list({}), list({}), "Automatic"}),
            list({noAddress(), "PPP", "----------", list({}), list({}), ""})}),
       2, "192.0.2.77"},
      {"net-10.4.11",
       list({"Automatic",
             list({"Automatic", list({list({"PPPoE", "00:11:24:7a:3b:01", noProxies(defaultExceptions())}),
                                      list({"Built-in Ethernet", "00:11:24:7a:3b:01", noProxies(defaultExceptions())}),
                                      // Not in the interface list: the address the location recorded.
                                      list({"AirPort", "00:14:51:6e:2a:9f", noProxies(defaultExceptions())})})}),
             list({"Home", list({list({"Built-in Ethernet", "00:11:24:7a:3b:01", noProxies(defaultExceptions())}),
                                 list({"AirPort", noProxies(defaultExceptions())})})})}),
       list({list({Value::strings({"ppp0", "203.0.113.45", "255.0.0.0", "203.0.113.1"}), "PPP", "198.51.100.53",
                   list({}), list({}), "Automatic"}),
             list({noAddress(), "DHCP", "----------", list({}), list({}), "Automatic"}),
             list({noAddress(), "DHCP", "----------", list({}), list({}), "Automatic"})}),
       // getIPAddress does not consult ps: the PPPoE service counts as not connected.
       2, "----------"},
      {"net-10.6.8",
       list({"Automatic",
             list({"Automatic",
                   list({list({"Ethernet", "00:1f:5b:3c:9a:01",
                               list({"proxy.example.net:8080", "", "", "", "", "", "", "",
                                     Value::strings({"*.local", "169.254/16", "intranet.example.com"}), "OK"})}),
                         list({"AirPort", "00:1f:5b:3c:9a:02", noProxies(defaultExceptions())}),
                         list({"FireWire", "00:1f:5b:ff:fe:3c", noProxies(defaultExceptions())})})})}),
       list(
           {list({Value::strings({"en0", "192.0.2.50", "255.255.255.0", "192.0.2.255", "fe80::21f:5bff:fe3c:9a01%en0"}),
                  "DHCP", "192.0.2.1", list({}), list({}), "Automatic"}),
            list({noAddress(), "DHCP", "----------", list({}), list({}), "Automatic"}),
            list({noAddress(), "DHCP", "----------", list({}), list({}), "Automatic"})}),
       2, "192.0.2.50"},
      {"net-10.12.6",
       list({"Office",
             list({"Automatic", list({list({"Wi-Fi", "a4:5e:60:c1:d2:e3", noProxies(defaultExceptions())}),
                                      list({"Bluetooth PAN", "a4:5e:60:c1:d2:e4", noProxies(defaultExceptions())}),
                                      list({"Thunderbolt Bridge", noProxies(defaultExceptions())})})}),
             list({"Office",
                   list({list({"Wi-Fi", "a4:5e:60:c1:d2:e3",
                               list({"proxy.office.example.com:3128", "", "", "", "proxy.office.example.com:3128", "",
                                     "", "", Value::strings({"*.local", "169.254/16", "intranet.office.example.com"}),
                                     "OK"})}),
                         list({"Bluetooth PAN", "a4:5e:60:c1:d2:e4", noProxies(defaultExceptions())}),
                         list({"Thunderbolt Bridge", noProxies(defaultExceptions())})})}),
             list({"Hotel", list({list({"Wi-Fi", "a4:5e:60:c1:d2:e3",
                                        list({"", "", "", "", "", "", "", "http://wpad.hotel.example.org/wpad.dat",
                                              defaultExceptions(), "OK"})})})})}),
       list({list({Value::strings({"en0", "198.51.100.23", "255.255.255.0", "198.51.100.255",
                                   "fe80::1c2f:9aff:fe10:2233%en0", "2001:db8:1:0:18a3:4f21:c0de:77e1",
                                   "2001:db8:1:0:a5b1:7c2:e6ee:1234"}),
                   "DHCP", "198.51.100.53", Value::strings({"198.51.100.53", "198.51.100.54"}),
                   Value::strings({"office.example.com"}), "Automatic"}),
             list({noAddress(), "DHCP", "----------", list({}), list({}), "Automatic"}),
             list({noAddress(), "DHCP", "----------", list({}), list({}), "Automatic"})}),
       2, "198.51.100.23"},
  };
}

TEST(CapturedSystems, PortList) {
  for (const auto& system : capturedSystems()) {
    Platform platform(testing::optionsFor(testing::sysrootPath(system.name)));
    EXPECT_EQ(getNetwork(platform), system.network) << system.name;
  }
}

TEST(CapturedSystems, TCPIPList) {
  for (const auto& system : capturedSystems()) {
    Platform platform(testing::optionsFor(testing::sysrootPath(system.name)));
    int ethcount = -1;
    EXPECT_EQ(getTCPIP(platform, &ethcount), system.tcpip) << system.name;
    EXPECT_EQ(ethcount, system.ethernetServices) << system.name;
  }
}

TEST(CapturedSystems, FirstAddress) {
  for (const auto& system : capturedSystems()) {
    Platform platform(testing::optionsFor(testing::sysrootPath(system.name)));
    EXPECT_EQ(getIPAddress(platform), system.firstAddress) << system.name;
  }
}

TEST(CapturedSystems, PPPDaemonOfThePPPoEService) {
  Platform tiger(testing::optionsFor(testing::sysrootPath("net-10.4.11")));
  EXPECT_EQ(getServiceID(tiger), "2C1D5E8A-7B3F-4E21-9A6C-1F0E8D7C6B5A");
  Platform sierra(testing::optionsFor(testing::sysrootPath("net-10.12.6")));
  EXPECT_EQ(getServiceID(sierra), "");
}

TEST(CapturedSystems, StoreFilesOfEachRelease) {
  Platform jaguar(testing::optionsFor(testing::sysrootPath("net-10.2.8")));
  EXPECT_EQ(getCurrentSet(jaguar), Value::strings({"0", "1"}));
  EXPECT_EQ(getServiceAndKey(jaguar, "3"), testing::dict({}));  // the Office modem is switched off
  EXPECT_EQ(GetMacAddress(jaguar, "en0"), Value("00:0a:95:5c:31:d2"));
  Platform snow(testing::optionsFor(testing::sysrootPath("net-10.6.8")));
  EXPECT_EQ(getCurrentSet(snow).count(), 4u);
  EXPECT_TRUE(GetMacAddress(snow, "en2").isAbsent());
}

}  // namespace
}  // namespace corvane

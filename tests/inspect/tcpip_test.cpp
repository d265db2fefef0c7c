#include <gtest/gtest.h>

#include "inspect/get_port.h"
#include "inspect/ip_address.h"
#include "inspect/tcpip.h"
#include "inspect_fixture.h"

namespace corvane {
namespace {

using testing::dict;
using testing::list;
using testing::noAddress;
using testing::ScriptedTools;
using testing::SystemRoot;

constexpr const char* kNslookupAnswer =
    "Server:\t\t192.0.2.1\nAddress:\t192.0.2.1#53\n\n** server can't find en0: NXDOMAIN\n";
constexpr const char* kDigAnswer = ";; Query time: 22 msec\n;; SERVER: 198.51.100.53#53(198.51.100.53)\n";

TEST(GetDNSServer, AsksNslookupThenDig) {
  struct Case {
    const char* name;
    const char* nslookup;  // nullptr: the tool prints nothing
    const char* dig;
    const char* expected;
    size_t digRuns;
  } cases[] = {
      {"nslookup answers", kNslookupAnswer, kDigAnswer, "192.0.2.1", 0},
      {"nslookup names no server", ";; connection timed out; no servers could be reached\n", kDigAnswer,
       "198.51.100.53", 1},
      {"nslookup prints nothing", nullptr, kDigAnswer, "198.51.100.53", 1},
      {"neither answers", "(null)", ";; connection timed out\n", "----------", 1},
      {"nothing at all", nullptr, nullptr, "----------", 1},
  };
  for (const auto& c : cases) {
    ScriptedTools platform;
    if (c.nslookup) platform.outputs["/usr/bin/nslookup"] = c.nslookup;
    if (c.dig) platform.outputs["/usr/bin/dig"] = c.dig;
    EXPECT_EQ(getDNSServer(platform, "en0"), c.expected) << c.name;
    EXPECT_EQ(platform.runsOf("/usr/bin/dig"), c.digRuns) << c.name;
    ASSERT_FALSE(platform.runs.empty());
    EXPECT_EQ(platform.runs[0], (std::pair<std::string, std::vector<std::string>>{"/usr/bin/nslookup", {"en0"}}));
    if (c.digRuns) {
      EXPECT_TRUE(platform.runs[1].second.empty()) << c.name;
    }
  }
}

TEST(GetDNSServer, AnEmptyInterfaceNameRunsNoTool) {
  ScriptedTools platform;
  platform.outputs["/usr/bin/nslookup"] = kNslookupAnswer;
  EXPECT_EQ(getDNSServer(platform, ""), "----------");
  EXPECT_TRUE(platform.runs.empty());
}

TEST(ServiceSettings, MethodsAndDNSLists) {
  testing::SystemRoot platform;
  Value full = dict({{"IPv4", dict({{"ConfigMethod", "DHCP"}})},
                     {"IPv6", dict({{"ConfigMethod", "Automatic"}})},
                     {"DNS", dict({{"ServerAddresses", Value::strings({"192.0.2.53"})},
                                   {"SearchDomains", Value::strings({"example.net"})}})}});
  EXPECT_EQ(getTCP(platform, full), "DHCP");
  EXPECT_EQ(getIPv6Type(platform, full), "Automatic");
  EXPECT_EQ(getDomain(platform, full), Value::strings({"192.0.2.53"}));
  EXPECT_EQ(getSearchDomain(platform, full), Value::strings({"example.net"}));

  Value sparse = dict(
      {{"IPv4", dict({})}, {"IPv6", dict({{"Addresses", list({})}})}, {"DNS", dict({{"ServerAddresses", list({})}})}});
  EXPECT_EQ(getTCP(platform, sparse), "");
  EXPECT_EQ(getIPv6Type(platform, sparse), "");
  EXPECT_EQ(getDomain(platform, sparse), list({}));
  EXPECT_EQ(getSearchDomain(platform, sparse), list({}));
  EXPECT_EQ(getDomain(platform, dict({})), list({}));
  EXPECT_EQ(getDomain(platform, dict({{"DNS", dict({{"ServerAddresses", "192.0.2.53"}})}})), list({}));
}

Value link(const std::string& id) { return dict({{"__LINK__", "/NetworkServices/" + id}}); }

// The current location holds, in order: an Ethernet service on en0 with an
// address, an AirPort service on en1 without one, an inactive modem, a
// PPPoE service, and a reference to a service the store does not have.
Value sampleStore() {
  return dict({
      {"CurrentSet", "/Sets/0"},
      {"NetworkServices",
       dict({{"E", dict({{"Interface", dict({{"DeviceName", "en0"}, {"Type", "Ethernet"}})},
                         {"IPv4", dict({{"ConfigMethod", "DHCP"}})},
                         {"IPv6", dict({{"ConfigMethod", "Automatic"}})},
                         {"DNS", dict({{"ServerAddresses", Value::strings({"192.0.2.53", "192.0.2.54"})},
                                       {"SearchDomains", Value::strings({"example.net"})}})}})},
             {"A", dict({{"Interface", dict({{"DeviceName", "en1"}, {"Type", "Ethernet"}})},
                         {"IPv4", dict({{"ConfigMethod", "Manual"}})}})},
             {"M", dict({{"Interface", dict({{"DeviceName", "modem"}, {"Type", "PPP"}})}, {"__INACTIVE__", 1}})},
             {"P", dict({{"Interface", dict({{"DeviceName", "en2"}, {"Type", "PPP"}})},
                         {"IPv4", dict({{"ConfigMethod", "PPP"}})}})}})},
      {"Sets",
       dict({{"0", dict({{"Network",
                          dict({{"Global",
                                 dict({{"IPv4", dict({{"ServiceOrder", Value::strings({"e", "a", "m", "p", "x"})}})}})},
                                {"Service", dict({{"e", link("E")},
                                                  {"a", link("A")},
                                                  {"m", link("M")},
                                                  {"p", link("P")},
                                                  {"x", link("X")}})}})}})}})},
  });
}

constexpr const char* kIfconfig =
    "en0: flags=8863<UP> mtu 1500\n"
    "\tinet6 fe80::1%en0 prefixlen 64 scopeid 0x4\n"
    "\tinet 192.0.2.20 netmask 0xffffff00 broadcast 192.0.2.255\n"
    "ppp0: flags=8051<UP,POINTOPOINT,RUNNING,MULTICAST> mtu 1492\n"
    "\tinet 203.0.113.45 --> 203.0.113.1 netmask 0xff000000 \n";

TEST(GetTCPIP, OneRecordPerActiveServiceOfTheCurrentLocation) {
  SystemRoot root("10.4.11");
  root.writePlist(kStorePath, sampleStore());
  ScriptedTools& platform = root;
  platform.outputs["/sbin/ifconfig"] = kIfconfig;
  platform.outputs["/bin/ps"] = "  287  ??  Ss     0:00.11 pppd serviceid P optionsfd 3\n";
  platform.outputs["/usr/bin/nslookup"] = kNslookupAnswer;

  Value expected = list({
      list({Value::strings({"en0", "192.0.2.20", "255.255.255.0", "192.0.2.255", "fe80::1%en0"}), "DHCP", "192.0.2.1",
            Value::strings({"192.0.2.53", "192.0.2.54"}), Value::strings({"example.net"}), "Automatic"}),
      list({noAddress(), "Manual", "----------", list({}), list({}), ""}),
      list({Value::strings({"ppp0", "203.0.113.45", "255.0.0.0", "203.0.113.1"}), "PPP", "192.0.2.1", list({}),
            list({}), ""}),
  });
  int ethcount = 0;
  EXPECT_EQ(getTCPIP(platform, &ethcount), expected);
  EXPECT_EQ(ethcount, 2);
  // ps once per service id; the resolver only for services with an address.
  EXPECT_EQ(platform.runsOf("/bin/ps"), 5u);
  EXPECT_EQ(platform.runsOf("/usr/bin/nslookup"), 2u);
  EXPECT_EQ(platform.runsOf("/usr/bin/dig"), 0u);
}

TEST(GetTCPIP, APPPServiceWithoutItsDaemonHasNoAddress) {
  SystemRoot root("10.4.11");
  root.writePlist(kStorePath, sampleStore());
  ScriptedTools& platform = root;
  platform.outputs["/sbin/ifconfig"] = kIfconfig;
  platform.outputs["/bin/ps"] = "  287  ??  Ss     0:00.11 pppd serviceid OTHER optionsfd 3\n";
  platform.outputs["/usr/bin/nslookup"] = kNslookupAnswer;
  Value records = getTCPIP(platform);
  ASSERT_EQ(records.count(), 3u);
  EXPECT_EQ(records[2], list({noAddress(), "PPP", "----------", list({}), list({}), ""}));
}

TEST(GetTCPIP, NoUsableStoreGivesAnEmptyList) {
  struct Case {
    const char* name;
    Value store;
  } cases[] = {
      {"no store", Value()},
      {"empty store", dict({})},
      {"no current set", dict({{"NetworkServices", dict({{"E", dict({{"x", 1}})}})}})},
  };
  for (const auto& c : cases) {
    SystemRoot root("10.6.8");
    if (!c.store.isAbsent()) root.writePlist(kStorePath, c.store);
    ScriptedTools& platform = root;
    int ethcount = 7;
    EXPECT_EQ(getTCPIP(platform, &ethcount), list({})) << c.name;
    EXPECT_EQ(ethcount, 0) << c.name;
    EXPECT_TRUE(platform.runs.empty()) << c.name;
  }
}

}  // namespace
}  // namespace corvane

#include <gtest/gtest.h>

#include "inspect/get_port.h"
#include "inspect/ip_address.h"
#include "inspect_fixture.h"

namespace corvane {
namespace {

using testing::dict;
using testing::list;
using testing::noAddress;
using testing::ScriptedTools;

constexpr const char* kTwoInterfaces =
    "en0: flags=8863<UP,BROADCAST,SMART,RUNNING,SIMPLEX,MULTICAST> mtu 1500\n"
    "\tinet6 fe80::1%en0 prefixlen 64 scopeid 0x4\n"
    "\tinet 192.168.1.5 netmask 0xffffff00 broadcast 192.168.1.255\n"
    "ppp0: flags=8051<UP,POINTOPOINT,RUNNING,MULTICAST> mtu 1492\n"
    "\tinet 10.0.0.5 --> 10.0.0.1 netmask 0xff000000 \n";

Value serviceOn(const char* type, const char* device) {
  return dict({{"Interface", dict({{"DeviceName", device}, {"Type", type}})}});
}

const Value kEn0 = Value::strings({"en0", "192.168.1.5", "255.255.255.0", "192.168.1.255", "fe80::1%en0"});
const Value kPpp0 = Value::strings({"ppp0", "10.0.0.5", "255.0.0.0", "10.0.0.1"});

TEST(GetIPAddr, FindsTheRecordOfTheService) {
  struct Case {
    const char* name;
    Value service;
    bool pppLinkUp;
    Value expected;
    int ethernetCounted;
    size_t ifconfigRuns;
  } cases[] = {
      {"Ethernet on en0", serviceOn("Ethernet", "en0"), false, kEn0, 1, 1},
      {"Ethernet on en1, only en0 has an address", serviceOn("Ethernet", "en1"), false, noAddress(), 1, 1},
      {"PPP with the daemon up: any ppp interface", serviceOn("PPP", "en0"), true, kEn0, 0, 1},
      {"PPP with the daemon up on a modem", serviceOn("PPP", "modem"), true, kPpp0, 0, 1},
      {"PPP not connected: no tool run", serviceOn("PPP", "ppp0"), false, noAddress(), 0, 0},
      {"FireWire is not counted", serviceOn("FireWire", "fw0"), false, noAddress(), 0, 1},
      {"a service without an interface", dict({}), false, noAddress(), 0, 1},
  };
  for (const auto& c : cases) {
    ScriptedTools platform;
    platform.outputs["/sbin/ifconfig"] = kTwoInterfaces;
    int ethcount = 0;
    EXPECT_EQ(getIPAddr(platform, c.service, c.pppLinkUp, &ethcount), c.expected) << c.name;
    EXPECT_EQ(ethcount, c.ethernetCounted) << c.name;
    EXPECT_EQ(platform.runsOf("/sbin/ifconfig"), c.ifconfigRuns) << c.name;
  }
}

TEST(GetIPAddr, RunsIfconfigWithItsArgumentEachTime) {
  ScriptedTools platform;
  platform.outputs["/sbin/ifconfig"] = kTwoInterfaces;
  getIPAddr(platform, serviceOn("Ethernet", "en0"), false);
  getIPAddr(platform, serviceOn("Ethernet", "en0"), false);
  ASSERT_EQ(platform.runs.size(), 2u);
  EXPECT_EQ(platform.runs[0].second, std::vector<std::string>{"-au"});
}

TEST(GetIPAddr, NoIfconfigGivesTheNoAddressRecord) {
  ScriptedTools platform;
  EXPECT_EQ(getIPAddr(platform, serviceOn("Ethernet", "en0"), false), noAddress());
  EXPECT_TRUE(IPAddressList(platform).isArray());
  EXPECT_EQ(IPAddressList(platform).count(), 0u);
}

Value storeWith(std::vector<std::pair<std::string, Value>> services, std::vector<std::string> order) {
  Dictionary serviceDict, links;
  for (auto& [id, service] : services) serviceDict.set(id, service);
  for (const auto& id : order) links.set("ref" + id, dict({{"__LINK__", "/NetworkServices/" + id}}));
  std::vector<std::string> references;
  for (const auto& id : order) references.push_back("ref" + id);
  return dict(
      {{"CurrentSet", "/Sets/0"},
       {"NetworkServices", Value(serviceDict)},
       {"Sets",
        dict({{"0", dict({{"Network",
                           dict({{"Global", dict({{"IPv4", dict({{"ServiceOrder", Value::strings(references)}})}})},
                                 {"Service", Value(links)}})}})}})}});
}

TEST(GetIPAddress, TakesTheFirstUsableService) {
  struct Case {
    const char* name;
    Value store;
    const char* expected;
  } cases[] = {
      {"first service", storeWith({{"1", serviceOn("Ethernet", "en0")}}, {"1"}), "192.168.1.5"},
      {"an inactive first service is skipped",
       storeWith(
           {{"1", dict({{"__INACTIVE__", 1}})}, {"2", serviceOn("PPP", "modem")}, {"3", serviceOn("Ethernet", "en0")}},
           {"1", "2", "3"}),
       "----------"},
      {"no usable service", storeWith({{"1", dict({{"__INACTIVE__", 1}})}}, {"1", "missing"}), "0"},
      {"no store", Value(), "0"},
  };
  for (const auto& c : cases) {
    testing::SystemRoot root("10.6.8");
    if (!c.store.isAbsent()) root.writePlist(kStorePath, c.store);
    ScriptedTools& platform = root;
    platform.outputs["/sbin/ifconfig"] = kTwoInterfaces;
    EXPECT_EQ(getIPAddress(platform), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace corvane

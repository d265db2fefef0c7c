// Malformed, truncated, huge and garbage stores and tool output: the readers
// give their empty results and stay linear in the size of what they read.

#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "inspect/get_network.h"
#include "inspect/get_port.h"
#include "inspect/ifconfig_output.h"
#include "inspect/ip_address.h"
#include "inspect/tcpip.h"
#include "inspect_fixture.h"
#include "support/binary_plist_bytes.h"

namespace corvane {
namespace {

using testing::dict;
using testing::list;
using testing::ScriptedTools;
using testing::SystemRoot;

std::string randomBytes(size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (auto& byte : bytes) byte = static_cast<char>(generator());
  return bytes;
}

std::string sysrootFile(const char* system, const char* path) {
  return testing::readHostFile(testing::sysrootPath(system) + path);
}

TEST(HostileStores, UnreadableStoresGiveTheEmptyResults) {
  std::string real = sysrootFile("net-10.6.8", "/Library/Preferences/SystemConfiguration/preferences.plist");
  ASSERT_GT(real.size(), 1000u);
  std::string binary = toBinaryPropertyList(parsePropertyList(real));
  const std::pair<const char*, std::string> stores[] = {
      {"garbage", randomBytes(4096, 1)},
      {"truncated XML", real.substr(0, real.size() / 2)},
      {"truncated binary", binary.substr(0, binary.size() - 40)},
      {"binary header and garbage", "bplist00" + randomBytes(2048, 2)},
      {"a root that is a list",
       "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>"},
      {"a root that is a text", "<?xml version=\"1.0\"?><plist version=\"1.0\"><string>x</string></plist>"},
      {"NUL bytes", std::string(100, '\0')},
      // 40 arrays each holding the next twice: 2^41 values once parsed.
      {"shared arrays expanding to terabytes", testing::sharedArraysBinary(40)},
  };
  for (const auto& [name, bytes] : stores) {
    SystemRoot root("10.6.8");
    root.write(kStorePath, bytes);
    ScriptedTools& platform = root;
    EXPECT_EQ(getNetwork(platform), list({})) << name;
    EXPECT_EQ(getCurrentSet(platform), Value::strings({""})) << name;
    EXPECT_EQ(getServiceAndKey(platform, "0"), dict({})) << name;
    EXPECT_EQ(getTCPIP(platform), list({})) << name;
    EXPECT_EQ(getIPAddress(platform), "0") << name;
  }
}

TEST(HostileStores, EveryLevelOfTheWrongKind) {
  Value store = dict({
      {"CurrentSet", 42},
      {"NetworkServices", "none"},
      {"Sets",
       dict({{"0", list({"not", "a", "set"})},
             {"1",
              dict({{"UserDefinedName", 5},
                    {"Network", dict({{"Global", dict({{"IPv4", dict({{"ServiceOrder", dict({{"a", "b"}})}})}})}})}})},
             {"2", dict({{"Network",
                          dict({{"Global", dict({{"IPv4", dict({{"ServiceOrder", list({7, list({}), "r"})}})}})},
                                {"Service", dict({{"r", dict({{"__LINK__", 9}})}})},
                                {"Interface", dict({{"en1", dict({{"AirPort", dict({{"MACAddress", 1}})}})}})}})}})}})},
  });
  SystemRoot root("10.6.8");
  root.writePlist(kStorePath, store);
  root.write("/Library/Preferences/SystemConfiguration/NetworkInterfaces.plist", randomBytes(512, 3));
  ScriptedTools& platform = root;
  EXPECT_EQ(getNetwork(platform), list({"", list({"", list({})}), list({"", list({})}), list({"", list({})})}));
  EXPECT_EQ(getCurrentSet(platform), list({}));
  EXPECT_EQ(getTCPIP(platform), list({}));
}

TEST(HostileStores, ServicesOfTheWrongKindAreSkipped) {
  Value link = dict({{"__LINK__", "/NetworkServices/S"}});
  Value store = dict(
      {{"CurrentSet", "/Sets/0"},
       {"NetworkServices", dict({{"S", list({"a", "b"})}})},
       {"Sets", dict({{"0", dict({{"Network",
                                   dict({{"Global", dict({{"IPv4", dict({{"ServiceOrder", Value::strings({"r"})}})}})},
                                         {"Service", dict({{"r", link}})}})}})}})}});
  SystemRoot root("10.6.8");
  root.writePlist(kStorePath, store);
  ScriptedTools& platform = root;
  EXPECT_TRUE(getServiceAndKey(platform, "S").isAbsent());
  EXPECT_EQ(getTCPIP(platform), list({}));
  EXPECT_EQ(getNetwork(platform), list({"", list({"", list({list({"", list({})})})})}));
}

TEST(HostileToolOutput, GarbageGivesNoRecords) {
  for (unsigned seed = 10; seed < 20; ++seed) {
    std::string garbage = randomBytes(64 * 1024, seed);
    Value records = addressRecordsFromIfconfig(garbage);
    EXPECT_TRUE(records.isArray());
    ScriptedTools platform;
    platform.outputs["/bin/ps"] = garbage;
    platform.outputs["/usr/bin/nslookup"] = garbage;
    platform.outputs["/usr/bin/dig"] = garbage;
    getServiceID(platform);
    getDNSServer(platform, "en0");
  }
}

TEST(HostileToolOutput, LongLinesWithoutBreaks) {
  ScriptedTools platform;
  std::string blanks(8 * 1024 * 1024, ' ');
  platform.outputs["/bin/ps"] = blanks + "pppd serviceid X";
  platform.outputs["/usr/bin/nslookup"] = "Address:" + blanks + "192.0.2.1#53";
  platform.outputs["/sbin/ifconfig"] = "en0:" + blanks + "\n\tinet 192.0.2.1" + blanks + "\n";
  EXPECT_EQ(getServiceID(platform), "X");
  EXPECT_EQ(getDNSServer(platform, "en0"), "192.0.2.1");
  EXPECT_EQ(IPAddressList(platform)[0][1].text(), "192.0.2.1");
}

double secondsOf(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(HostileToolOutput, TwentyThousandInterfaces) {
  std::string output;
  for (int i = 0; i < 20000; ++i) {
    std::string name = "en" + std::to_string(i);
    output += name + ": flags=8863<UP,BROADCAST,SMART,RUNNING,SIMPLEX,MULTICAST> mtu 1500\n";
    output += "\tether 02:00:00:00:00:01 \n\tinet6 fe80::1%" + name + " prefixlen 64 scopeid 0x4 \n";
    output += "\tinet 10." + std::to_string(i / 256) + "." + std::to_string(i % 256) +
              ".1 netmask 0xffffff00 broadcast 10.0.0.255\n";
    output += "\tinet 10.255.255.1 netmask 0xffffffff\n\tmedia: autoselect\n\tstatus: active\n";
  }
  ScriptedTools platform;
  platform.outputs["/sbin/ifconfig"] = output;
  Value record;
  double seconds = secondsOf([&] {
    record = getIPAddr(platform, dict({{"Interface", dict({{"DeviceName", "en19999"}, {"Type", "Ethernet"}})}}), false);
  });
  EXPECT_EQ(record, Value::strings({"en19999", "10.78.31.1", "255.255.255.0", "10.0.0.255", "fe80::1%en19999"}));
  EXPECT_LT(seconds, 30.0);
}

// A store of about 10 MB: many locations, each with many services.
TEST(HostileStores, ALargeStoreIsReadInOnePass) {
  Dictionary services, sets;
  for (int s = 0; s < 40; ++s) {
    Dictionary links;
    std::vector<std::string> order;
    for (int i = 0; i < 500; ++i) {
      std::string id = "S" + std::to_string(s) + "-" + std::to_string(i);
      order.push_back("r" + id);
      links.set("r" + id, dict({{"__LINK__", "/NetworkServices/" + id}}));
      services.set(id, dict({{"Interface", dict({{"DeviceName", "en" + std::to_string(i)},
                                                 {"Type", "Ethernet"},
                                                 {"UserDefinedName", "Ethernet " + std::to_string(i)}})},
                             {"IPv4", dict({{"ConfigMethod", "DHCP"}})},
                             {"Proxies", dict({{"HTTPEnable", 1},
                                               {"HTTPProxy", "proxy.example.net"},
                                               {"HTTPPort", 8080},
                                               {"ExceptionsList", Value::strings({"*.local", "169.254/16"})}})},
                             {"UserDefinedName", "Port " + std::to_string(i)}}));
    }
    sets.set(std::to_string(s),
             dict({{"UserDefinedName", "Location " + std::to_string(s)},
                   {"Network", dict({{"Global", dict({{"IPv4", dict({{"ServiceOrder", Value::strings(order)}})}})},
                                     {"Service", Value(links)}})}}));
  }
  Value::Array interfaces;
  for (int i = 0; i < 500; ++i)
    interfaces.push_back(
        dict({{"BSD Name", "en" + std::to_string(i)}, {"IOMACAddress", Value(Data{std::string(6, char(i))})}}));
  SystemRoot root("10.6.8");
  std::string xml = toXmlPropertyList(
      dict({{"CurrentSet", "/Sets/39"}, {"NetworkServices", Value(services)}, {"Sets", Value(sets)}}));
  EXPECT_GT(xml.size(), 8u * 1024 * 1024);
  root.write(kStorePath, xml);
  root.writePlist("/Library/Preferences/SystemConfiguration/NetworkInterfaces.plist",
                  dict({{"Interfaces", Value(interfaces)}}));
  Platform& platform = root;

  Value network;
  double seconds = secondsOf([&] { network = getNetwork(platform); });
  ASSERT_EQ(network.count(), 41u);
  EXPECT_EQ(network[0].text(), "Location 39");
  EXPECT_EQ(network[40][1].count(), 500u);
  EXPECT_EQ(network[40][1][499], list({"Port 499", "f3:f3:f3:f3:f3:f3",
                                       list({"proxy.example.net:8080", "", "", "", "", "", "", "",
                                             Value::strings({"*.local", "169.254/16"}), "OK"})}));
  EXPECT_LT(seconds, 60.0);
}

}  // namespace
}  // namespace corvane

#include <gtest/gtest.h>

#include "inspect/get_network.h"
#include "inspect/get_port.h"
#include "inspect_fixture.h"

namespace corvane {
namespace {

using testing::dict;
using testing::list;
using testing::SystemRoot;

constexpr std::string_view kInterfaceList = "/Library/Preferences/SystemConfiguration/NetworkInterfaces.plist";
constexpr std::string_view kOldInterfaceList = "/private/var/db/NetworkInterfaces.xml";

// A location whose service order names the services by references r0, r1...
Value location(const char* name, std::vector<std::string> serviceIDs, Value airPortAddress = Value()) {
  Dictionary links;
  std::vector<std::string> order;
  for (size_t i = 0; i < serviceIDs.size(); ++i) {
    order.push_back("r" + std::to_string(i));
    links.set(order.back(), dict({{"__LINK__", "/NetworkServices/" + serviceIDs[i]}}));
  }
  Value network =
      dict({{"Global", dict({{"IPv4", dict({{"ServiceOrder", Value::strings(order)}})}})}, {"Service", Value(links)}});
  if (!airPortAddress.isAbsent())
    network.dictionary()->set("Interface",
                              dict({{"en1", dict({{"AirPort", dict({{"MACAddress", airPortAddress}})}})}}));
  return dict({{"Network", network}, {"UserDefinedName", name}});
}

Value service(const char* name, const char* device, Value extra = dict({})) {
  Value s = dict({{"Interface", dict({{"DeviceName", device}})}, {"UserDefinedName", name}});
  for (const auto& [key, value] : *extra.dictionary()) s.dictionary()->set(key, value);
  return s;
}

Value interfaceEntry(const char* name, std::string bytes) {
  return dict({{"BSD Name", name}, {"IOMACAddress", Value(Data{std::move(bytes)})}});
}

const std::string kEthernetBytes{"\x00\x0a\x95\x01\x02\xff", 6};

TEST(GetNetwork, ListsEveryLocationWithItsActivePorts) {
  SystemRoot root("10.4.11");
  root.writePlist(kStorePath,
                  dict({
                      {"CurrentSet", "/Sets/2"},
                      {"NetworkServices", dict({{"e", service("Built-in Ethernet", "en0")},
                                                {"m", service("Internal Modem", "modem", dict({{"__INACTIVE__", 1}}))},
                                                {"a", service("AirPort", "en1")},
                                                {"n", service("Modem", "modem")}})},
                      {"Sets", dict({{"1", location("Home", {"e", "m", "n"})},
                                     {"2", location("Cafe", {"a"}, "00:14:51:6e:2a:9f")}})},
                  }));
  root.writePlist(kInterfaceList, dict({{"Interfaces", list({interfaceEntry("en0", kEthernetBytes)})}}));
  Platform& platform = root;

  Value expected = list({
      "Cafe",
      list({"Home", list({list({"Built-in Ethernet", "00:0a:95:01:02:ff", list({})}), list({"Modem", list({})})})}),
      list({"Cafe", list({list({"AirPort", "00:14:51:6e:2a:9f", list({})})})}),
  });
  EXPECT_EQ(getNetwork(platform), expected);
}

TEST(GetNetwork, EdgeCasesOfTheStore) {
  struct Case {
    const char* name;
    Value store;
    Value expected;
  };
  const Case cases[] = {
      {"empty store", dict({}), list({})},
      {"no current set matches", dict({{"CurrentSet", "/Sets/9"}, {"Sets", dict({{"1", location("Home", {})}})}}),
       list({"", list({"Home", list({})})})},
      {"a set without a service order",
       dict({{"CurrentSet", "/Sets/1"}, {"Sets", dict({{"1", dict({{"UserDefinedName", "Bare"}})}})}}),
       list({"Bare", list({"Bare", list({})})})},
      {"a service id missing from the store",
       dict({{"CurrentSet", "/Sets/1"}, {"Sets", dict({{"1", location("Home", {"gone"})}})}}),
       list({"Home", list({"Home", list({list({"", list({})})})})})},
      {"a store without sets", dict({{"CurrentSet", "/Sets/1"}}), list({""})},
      {"an AirPort address recorded in another set is not used",
       dict({{"CurrentSet", "/Sets/1"},
             {"NetworkServices", dict({{"a", service("AirPort", "en1")}})},
             {"Sets", dict({{"1", location("Home", {"a"})}, {"2", location("Cafe", {"a"}, "00:14:51:6e:2a:9f")}})}}),
       list({"Home", list({"Home", list({list({"AirPort", list({})})})}),
             list({"Cafe", list({list({"AirPort", "00:14:51:6e:2a:9f", list({})})})})})},
      {"an empty recorded AirPort address is none",
       dict({{"CurrentSet", "/Sets/1"},
             {"NetworkServices", dict({{"a", service("AirPort", "en1")}})},
             {"Sets", dict({{"1", location("Home", {"a"}, "")}})}}),
       list({"Home", list({"Home", list({list({"AirPort", list({})})})})})},
      {"the recorded address is only for en1",
       dict({{"CurrentSet", "/Sets/1"},
             {"NetworkServices", dict({{"a", service("Wi-Fi", "en0")}})},
             {"Sets", dict({{"1", location("Home", {"a"}, "00:14:51:6e:2a:9f")}})}}),
       list({"Home", list({"Home", list({list({"Wi-Fi", list({})})})})})},
  };
  for (const auto& c : cases) {
    SystemRoot root("10.4.11");
    root.writePlist(kStorePath, c.store);
    Platform& platform = root;
    EXPECT_EQ(getNetwork(platform), c.expected) << c.name;
  }
}

TEST(GetNetwork, TheInterfaceListAddressWinsOverTheRecordedOne) {
  SystemRoot root("10.4.11");
  root.writePlist(kStorePath, dict({{"CurrentSet", "/Sets/1"},
                                    {"NetworkServices", dict({{"a", service("AirPort", "en1")}})},
                                    {"Sets", dict({{"1", location("Home", {"a"}, "00:14:51:6e:2a:9f")}})}}));
  root.writePlist(kInterfaceList, dict({{"Interfaces", list({interfaceEntry("en1", kEthernetBytes)})}}));
  Platform& platform = root;
  EXPECT_EQ(getNetwork(platform)[1][1][0][1].text(), "00:0a:95:01:02:ff");
}

TEST(GetNetwork, KeepsTheFileOrderOfLocations) {
  SystemRoot root("10.6.8");
  std::string sets;
  for (const char* name : {"Zulu", "Alpha", "Mike"})
    sets +=
        std::string("<key>key") + name + "</key><dict><key>UserDefinedName</key><string>" + name + "</string></dict>";
  root.write(kStorePath,
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
             "<key>CurrentSet</key><string>/Sets/keyAlpha</string><key>Sets</key><dict>" +
                 sets + "</dict></dict></plist>");
  Platform& platform = root;
  Value expected = list({"Alpha", list({"Zulu", list({})}), list({"Alpha", list({})}), list({"Mike", list({})})});
  EXPECT_EQ(getNetwork(platform), expected);
}

TEST(GetMacAddress, ReadsTheInterfaceListOfTheRunningOS) {
  Value entries = list({interfaceEntry("en0", kEthernetBytes)});
  {
    SystemRoot root("10.3");
    root.writePlist(kInterfaceList, dict({{"Interfaces", entries}}));
    root.writePlist(kOldInterfaceList, list({interfaceEntry("en0", std::string(6, '\x11'))}));
    Platform& platform = root;
    EXPECT_EQ(GetMacAddress(platform, "en0"), Value("00:0a:95:01:02:ff"));
  }
  {
    SystemRoot root("10.2.8");
    root.writePlist(kInterfaceList, dict({{"Interfaces", list({interfaceEntry("en0", std::string(6, '\x11'))})}}));
    root.writePlist(kOldInterfaceList, entries);
    Platform& platform = root;
    EXPECT_EQ(GetMacAddress(platform, "en0"), Value("00:0a:95:01:02:ff"));
  }
  {
    // No fallback between the two files.
    SystemRoot root("10.4.11");
    root.writePlist(kOldInterfaceList, entries);
    Platform& platform = root;
    EXPECT_TRUE(GetMacAddress(platform, "en0").isAbsent());
  }
}

TEST(GetMacAddress, EdgeCasesOfTheEntries) {
  struct Case {
    const char* name;
    Value entries;
    Value device;
    Value expected;
  };
  const Case cases[] = {
      {"the later of two entries wins",
       list({interfaceEntry("en0", std::string(6, '\x01')), interfaceEntry("en0", kEthernetBytes)}), "en0",
       "00:0a:95:01:02:ff"},
      {"an entry without an address does not undo an earlier one",
       list({interfaceEntry("en0", kEthernetBytes), dict({{"BSD Name", "en0"}})}), "en0", "00:0a:95:01:02:ff"},
      {"eight bytes of FireWire: the first six",
       list({interfaceEntry("fw0", std::string("\x00\x0a\x95\xff\xfe\x01\x02\x03", 8))}), "fw0", "00:0a:95:ff:fe:01"},
      {"fewer than six bytes is no address", list({interfaceEntry("en0", std::string("\x00\x0a\x95\x01", 4))}), "en0",
       Value()},
      {"an address that is not data", list({dict({{"BSD Name", "en0"}, {"IOMACAddress", "00:0a:95:01:02:ff"}})}), "en0",
       Value()},
      {"names match exactly", list({interfaceEntry("en0", kEthernetBytes)}), "en", Value()},
      {"an absent device matches nothing", list({interfaceEntry("", kEthernetBytes)}), Value(), Value()},
      {"entries that are not dictionaries are skipped", list({"en0", 5, interfaceEntry("en0", kEthernetBytes)}), "en0",
       "00:0a:95:01:02:ff"},
  };
  for (const auto& c : cases) {
    SystemRoot root("10.6.8");
    root.writePlist(kInterfaceList, dict({{"Interfaces", c.entries}}));
    Platform& platform = root;
    EXPECT_EQ(GetMacAddress(platform, c.device), c.expected) << c.name;
  }
}

TEST(GetMacAddress, AMissingOrMalformedFileGivesAbsent) {
  const char* files[] = {nullptr, "", "not a plist",
                         "<plist><dict><key>Interfaces</key><string>x</string></dict></plist>"};
  for (const char* bytes : files) {
    SystemRoot root("10.6.8");
    if (bytes) root.write(kInterfaceList, bytes);
    Platform& platform = root;
    EXPECT_TRUE(GetMacAddress(platform, "en0").isAbsent()) << (bytes ? bytes : "(missing)");
  }
}

}  // namespace
}  // namespace corvane

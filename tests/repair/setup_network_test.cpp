#include "repair/setup_network.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "repair/repair_test_support.h"
#include "support/memory_platform.h"

namespace corvane {
namespace {

using testing::keysOf;
using testing::MemoryCopiedSystem;
using testing::MemoryPlatform;
using testing::plistDict;
using testing::providerSettings;
using testing::readPlistFile;
using testing::VersionPlatform;
using Texts = std::vector<std::string>;

using testing::kPlist;
using testing::kXml;

Value expectedStore(const std::string& file) {
  return readPlistFile(std::string(CORVANE_TESTDATA) + "/repair/expected/" + file);
}

struct Built {
  std::string key;
  Value copy;
  std::string copyName;
  std::string copyPath;
};

// The property list in a host file of the platform's.
Value readPlist(const Platform& platform, const std::string& hostPath) {
  return parsePropertyList(platform.readHostFile(hostPath).value_or(""));
}

Built build(Platform& platform, ProviderDatas settings = providerSettings()) {
  SetupNetwork setup(platform);
  Built built;
  built.key = setup.DoSetup("Quorvalin", settings);
  if (setup.copy().ok()) {
    built.copy = readPlist(platform, setup.copy().path);
    built.copyPath = setup.copy().path;
    built.copyName = std::filesystem::path(built.copyPath).filename().string();
  }
  return built;
}

TEST(DoSetup, NewLocationOnTenFourIsExactlyTheExpectedStore) {
  MemoryCopiedSystem system("repair-10.4-new-location");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  const std::string live = system.read(kPlist);
  ProviderDatas settings = providerSettings();
  SetupNetwork setup(platform);

  EXPECT_EQ(setup.DoSetup("Quorvalin", settings), "2");
  EXPECT_EQ(readPlist(platform, setup.copy().path), expectedStore("repair-10.4-new-location.plist"));
  EXPECT_EQ(settings.smoh, "YES");
  EXPECT_EQ(platform.logged, Texts{"ExceptionsList"});
  EXPECT_EQ(system.read(kPlist), live);  // the builder never writes the live store

  // The copy lies in a new private folder inside the temporary folder, and
  // others may read it but not change it.
  const std::filesystem::path copy(setup.copy().path);
  EXPECT_EQ(copy.filename(), "preferences.plist");
  EXPECT_EQ(copy.parent_path().parent_path(), system.temporaryFolder());
  EXPECT_EQ(system.hostMode(copy.parent_path().string()), 0700u);
  EXPECT_EQ(system.hostMode(copy.string()), 0644u);
  EXPECT_EQ(system.readHost(copy.string()), setup.copy().bytes);
}

TEST(DoSetup, ExistingLocationOnTenTwoIsRepairedInPlace) {
  MemoryCopiedSystem system("repair-10.2-existing-location");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  const std::string strayPlist = system.read(kPlist);
  const Built built = build(platform);

  EXPECT_EQ(built.key, "1");
  EXPECT_EQ(built.copyName, "preferences.xml");
  EXPECT_EQ(built.copy, expectedStore("repair-10.2-existing-location.xml"));
  EXPECT_EQ(platform.logged, (Texts{"LogFile", "ppp __INACTIVE__", "no ipv6", "Proxy:FTPEnable", "dont ethernet",
                                    "subtype", "DHCP", "IPv6 ConfigMethod"}));
  EXPECT_EQ(system.read(kPlist), strayPlist);
}

TEST(DoSetup, DialUpPortsOnTenThree) {
  MemoryCopiedSystem system("repair-10.3-dial-up-ports");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  ProviderDatas settings = providerSettings();
  const Built built = build(platform, settings);
  ASSERT_EQ(built.key, "1");
  const Value& set = built.copy["Sets"]["1"];
  const Value& services = built.copy["NetworkServices"];

  // Ethernet, then modem, IrDA, Bluetooth; no id for FireWire before 10.4 and
  // none for the second Ethernet port.
  EXPECT_EQ(set["Network"]["Global"]["IPv4"]["ServiceOrder"], Value::strings({"6", "7", "8", "9"}));
  EXPECT_EQ(keysOf(services), (Texts{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
  EXPECT_TRUE(services["7"]["Interface"]["DeviceName"].equals("modem"));
  EXPECT_EQ(services["7"]["Interface"]["SupportsModemOnHold"], Value(1));
  EXPECT_TRUE(services["8"]["Interface"]["HardwareVariant"].equals("IrDA-IrCOMM"));
  EXPECT_TRUE(services["9"]["Interface"]["HardwareVariant"].equals("Bluetooth"));
  for (const char* id : {"7", "8", "9"}) EXPECT_EQ(services[id]["__INACTIVE__"], Value(1)) << id;
  EXPECT_TRUE(services["6"]["__INACTIVE__"].isAbsent());
  EXPECT_EQ(services["6"]["Ethernet"], Value(Dictionary{}));     // en0 not in the interface list
  EXPECT_EQ(keysOf(set["Network"]["Interface"]), Texts{"en0"});  // the current en1 is empty
  EXPECT_EQ(set["Network"]["Interface"]["en0"]["Ethernet"],
            Value(plistDict("<key>__INACTIVE__</key><integer>1</integer>")));
  EXPECT_TRUE(built.copy["CurrentSet"].equals("/Sets/1"));
  // The live services keep their settings; the Mail proxy is only touched before 10.3.3.
  EXPECT_EQ(services["0"]["Proxies"]["MailEnable"], Value(1));
}

TEST(DoSetup, UuidStoreOnTenSixGetsNumericKeysAndAnXmlCopy) {
  MemoryCopiedSystem system("repair-10.6-uuid-binary-store");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  const Built built = build(platform);
  ASSERT_EQ(built.key, "0");
  EXPECT_EQ(built.copyName, "preferences.plist");
  const Value& set = built.copy["Sets"]["0"];
  EXPECT_EQ(set["Network"]["Global"]["IPv4"]["ServiceOrder"], Value::strings({"0", "1", "2", "3"}));
  const Value& services = built.copy["NetworkServices"];
  EXPECT_TRUE(services["0"]["Ethernet"]["MACAddress"].equals("00:25:00:aa:bb:01"));
  EXPECT_TRUE(services["1"]["Interface"]["HardwareVariant"].equals("Bluetooth"));
  EXPECT_TRUE(services["2"]["Interface"]["Type"].equals("FireWire"));
  EXPECT_TRUE(services["3"]["AirPort"].isDictionary());
  EXPECT_EQ(set["Network"]["Interface"]["en1"]["AirPort"]["JoinMode"], Value("Automatic"));
  EXPECT_TRUE(system.readHost(built.copyPath).starts_with("<?xml"));  // the copy is XML, the store was binary
}

TEST(DoSetup, BridgeIsNoPortAndAirPortBecomesInactiveOnTenTwelve) {
  MemoryCopiedSystem system("repair-10.12-wifi-no-lookupd");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  const Built built = build(platform);
  ASSERT_EQ(built.key, "0");
  EXPECT_EQ(built.copy["Sets"]["0"]["Network"]["Global"]["IPv4"]["ServiceOrder"], Value::strings({"0", "1"}));
  EXPECT_TRUE(built.copy["NetworkServices"]["1"]["UserDefinedName"].equals("Wi-Fi"));
  EXPECT_EQ(built.copy["NetworkServices"]["1"]["__INACTIVE__"], Value(1));
}

TEST(DoSetup, RefusesWhenNothingCanBeInstalled) {
  struct Case {
    std::string what;
    std::function<void(MemoryCopiedSystem&)> spoil;
  } cases[] = {
      {"no store", [](MemoryCopiedSystem& s) { s.remove(kPlist); }},
      {"store not a property list", [](MemoryCopiedSystem& s) { s.put(kPlist, "<plist><dict><key>"); }},
      {"store not a dictionary",
       [](MemoryCopiedSystem& s) { s.put(kPlist, toXmlPropertyList(Value::strings({"a"}))); }},
      {"Sets not a dictionary",
       [](MemoryCopiedSystem& s) {
         s.put(kPlist, toXmlPropertyList(Value(plistDict("<key>Sets</key><string>x</string>"))));
       }},
      {"temporary folder cannot be written",
       [](MemoryCopiedSystem& s) {
         s.put("/not-a-folder", "x");
         s.setTemporaryFolder(s.hostPath("/not-a-folder"));
       }},
  };
  for (auto& c : cases) {
    MemoryCopiedSystem system("repair-10.12-wifi-no-lookupd");
    c.spoil(system);
    const std::string live = system.read(kPlist);
    ProviderDatas settings = providerSettings();
    SetupNetwork setup(system);
    EXPECT_EQ(setup.DoSetup("Quorvalin", settings), "-1") << c.what;
    EXPECT_FALSE(setup.failure().empty()) << c.what;
    EXPECT_TRUE(system.hostPathsUnder(std::string(MemoryPlatform::kTemporary)).empty()) << c.what;
    EXPECT_EQ(system.read(kPlist), live) << c.what;
  }
}

TEST(DoSetup, CopyThatDoesNotReadBackIsRefused) {
  MemoryPlatform platform;
  Dictionary store;
  store.set("Text", std::string("cut\0here", 8));  // a property list cannot hold a NUL
  const PrivateCopy copy = writePrivateCopy(platform, "preferences.plist", Value(store));
  EXPECT_FALSE(copy.ok());
  EXPECT_TRUE(platform.hostPathsUnder(platform.temporaryFolder()).empty());
}

// Stores for the port scan, written into a bare 10.4 system in memory.
class CheckPortTest : public ::testing::Test {
 protected:
  void writeStore(const std::string& services, const std::string& links) {
    testing::writeBareSystem(system_, "10.4.11");
    system_.put("/Library/Preferences/SystemConfiguration/preferences.plist",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                "<key>CurrentSet</key><string>/Sets/0</string><key>NetworkServices</key><dict>" +
                    services +
                    "</dict><key>Sets</key><dict><key>0</key><dict><key>Network</key><dict>"
                    "<key>Service</key><dict>" +
                    links + "</dict></dict></dict></dict></dict></plist>");
  }
  static std::string service(const std::string& id, const std::string& name, const std::string& device,
                             const std::string& type, const std::string& hardware, const std::string& variant = "") {
    return "<key>" + id + "</key><dict><key>Interface</key><dict><key>DeviceName</key><string>" + device +
           "</string><key>Hardware</key><string>" + hardware + "</string>" +
           (variant.empty() ? "" : "<key>HardwareVariant</key><string>" + variant + "</string>") +
           "<key>Type</key><string>" + type + "</string></dict>" +
           (name.empty() ? "" : "<key>UserDefinedName</key><string>" + name + "</string>") + "</dict>";
  }
  static std::string links(std::initializer_list<std::string> ids) {
    std::string out;
    for (const auto& id : ids)
      out += "<key>" + id + "</key><dict><key>__LINK__</key><string>/NetworkServices/" + id + "</string></dict>";
    return out;
  }
  void scan() {
    CheckPort(system_, names, devices, smoh);
    logged = system_.logged;
  }
  MemoryPlatform system_;
  PortLists names, devices;
  std::string smoh;
  Texts logged;
};

TEST_F(CheckPortTest, SortsTheCurrentLocationsPortsByKind) {
  writeStore(
      service("1", "Modem", "modem", "PPP", "Modem") + service("2", "En", "en0", "Ethernet", "Ethernet") +
          service("3", "FW", "fw0", "FireWire", "FireWire") +
          service("4", "IR", "irda", "PPP", "Modem", "IrDA-IrCOMM") +
          service("5", "BT", "bt", "PPP", "Modem", "Bluetooth") + service("6", "Air", "en1", "Ethernet", "AirPort") +
          service("7", "Other", "en5", "Ethernet", "Ethernet") + service("8", "Bridge", "bridge0", "Bridge", "Bridge"),
      links({"1", "2", "3", "4", "5", "6", "8"}) + "<key>9</key><dict/>");
  scan();
  EXPECT_EQ(names, (PortLists{{"Modem"}, {"En"}, {"FW"}, {"IR"}, {"BT"}, {"Air"}}));
  EXPECT_EQ(devices, (PortLists{{"modem"}, {"en0"}, {"fw0"}, {"irda"}, {"bt"}, {"en1"}}));
  EXPECT_EQ(logged, Texts{"ERROR"});  // the link entry without __LINK__
  EXPECT_EQ(smoh, "");
}

TEST_F(CheckPortTest, DuplicateNamesAndPcCardModems) {
  writeStore(service("1", "Modem", "modem", "PPP", "Modem") + service("2", "Modem", "modem2", "PPP", "Modem") +
                 service("3", "Modem", "pccard-modem0", "PPP", "Modem"),
             links({"1", "2", "3"}));
  scan();
  EXPECT_EQ(names[kModem], (Texts{"Modem", "Modem"}));
  EXPECT_EQ(devices[kModem], (Texts{"modem", "pccard-modem0"}));
}

TEST_F(CheckPortTest, AnUnnamedPortEndsTheScan) {
  writeStore(service("1", "Air", "en1", "Ethernet", "AirPort") + service("2", "", "en0", "Ethernet", "Ethernet") +
                 service("3", "Modem", "modem", "PPP", "Modem"),
             links({"1", "2", "3"}));
  scan();
  EXPECT_EQ(names, (PortLists{{}, {}, {}, {}, {}, {"Air"}}));
}

TEST_F(CheckPortTest, UnreadableStoreGivesSixEmptyLists) {
  testing::writeBareSystem(system_, "10.4.11");
  scan();
  EXPECT_EQ(names, PortLists(6));
  EXPECT_EQ(devices, PortLists(6));
}

TEST(SearchEmptySetsNumber, CountsUpFromStart) {
  const Dictionary d = plistDict("<key>0</key><true/><key>1</key><true/><key>3</key><true/>");
  EXPECT_EQ(SearchEmptySetsNumber(d, 0), "2");
  EXPECT_EQ(SearchEmptySetsNumber(d, 3), "4");
  EXPECT_EQ(SearchEmptySetsNumber(Dictionary{}, 0), "0");
}

TEST(SearchService, FindsTheFirstLinkedServiceByDeviceAndType) {
  const Dictionary services = plistDict(
      "<key>1</key><dict><key>Interface</key><dict><key>DeviceName</key><string>en0</string>"
      "<key>Type</key><string>PPP</string></dict></dict>"
      "<key>2</key><dict><key>Interface</key><dict><key>DeviceName</key><string>en0</string>"
      "<key>Type</key><string>Ethernet</string></dict></dict>"
      "<key>3</key><dict/>");
  const Value set(
      plistDict("<key>Network</key><dict><key>Service</key><dict>"
                "<key>a</key><dict><key>__LINK__</key><string>NetworkServices</string></dict>"
                "<key>b</key><dict><key>__LINK__</key><string>/NetworkServices/3</string></dict>"
                "<key>c</key><dict><key>__LINK__</key><string>/NetworkServices/9</string></dict>"
                "<key>d</key><dict><key>__LINK__</key><string>/NetworkServices/1</string></dict>"
                "<key>e</key><dict><key>__LINK__</key><string>/NetworkServices/2</string></dict>"
                "</dict></dict>"));
  EXPECT_EQ(SearchService(services, set, "en0", "Ethernet"), std::optional<std::string>("2"));
  EXPECT_EQ(SearchService(services, set, "en0", "PPP"), std::optional<std::string>("1"));
  EXPECT_EQ(SearchService(services, set, "en1", "Ethernet"), std::nullopt);
  EXPECT_EQ(SearchService(services, Value(), "en0", "PPP"), std::nullopt);
}

TEST(CreateSet, InterfaceEntriesByVersion) {
  const Value airPort(plistDict("<key>AirPort</key><dict><key>PowerEnabled</key><integer>1</integer></dict>"));
  struct Case {
    std::string version;
    Texts networkKeys;
    Value ethernet;
  } cases[] = {
      {"10.1.5", {"Service", "Global"}, Value()},
      {"10.2.8", {"Service", "Global", "Interface"}, Value(Dictionary{})},
      {"10.3", {"Service", "Global", "Interface"}, Value(plistDict("<key>__INACTIVE__</key><integer>1</integer>"))},
  };
  for (const auto& c : cases) {
    VersionPlatform platform(c.version);
    const Value set = CreateSet(*platform, "Quorvalin", {"4", "7"}, airPort);
    EXPECT_EQ(keysOf(set), (Texts{"UserDefinedName", "Network"})) << c.version;
    EXPECT_EQ(keysOf(set["Network"]), c.networkKeys) << c.version;
    EXPECT_EQ(set["Network"]["Interface"]["en0"]["Ethernet"], c.ethernet) << c.version;
    EXPECT_EQ(set["Network"]["Interface"]["en1"], c.ethernet.isAbsent() ? Value() : airPort) << c.version;
    EXPECT_EQ(set["Network"]["Global"]["IPv4"]["ServiceOrder"], Value::strings({"4", "7"}));
    EXPECT_TRUE(set["Network"]["Service"]["7"]["__LINK__"].equals("/NetworkServices/7"));
    EXPECT_EQ(set["Network"]["Global"]["NetInfo"], Value(Dictionary{}));
  }
}

}  // namespace
}  // namespace corvane

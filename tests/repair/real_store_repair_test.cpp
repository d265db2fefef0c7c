// The repair on the stores of real Macs: portables whose Wi-Fi is en0, a
// store migrated from an older Mac, a desktop with two Ethernet ports.

#include <gtest/gtest.h>

#include "core/text.h"
#include "inspect/get_network.h"
#include "repair/machine_ports.h"
#include "repair/network_repair.h"
#include "repair/repair_plan.h"
#include "repair/repair_test_support.h"
#include "repair/setup_network.h"
#include "repair/store_backup.h"

namespace corvane {
namespace {

using testing::CueAuthorizer;
using testing::kPlist;
using testing::MemoryCopiedSystem;
using testing::MemoryPlatform;
using Texts = std::vector<std::string>;

const std::string kHttp = "proxy.example.jp:8080";
const std::string kSecure = "proxy.example.jp:8443";

ProviderDatas proxyProvider() {
  ProviderDatas settings = testing::providerSettings();
  settings.p_enable = true;
  return settings;
}

std::string versionPlist(const std::string& version) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>ProductVersion</key><string>" +
         version + "</string></dict></plist>\n";
}

size_t backupCount(const MemoryCopiedSystem& system) {
  size_t n = 0;
  for (const auto& name : system.listFolder(kBackupFolder))
    if (parseBackupFileName(name)) ++n;
  return n;
}

// The property list stored at a system path.
Value storeAt(const MemoryCopiedSystem& system, const std::string& systemPath) {
  return parsePropertyList(system.read(systemPath));
}

// The network row's verdict on the current location's first port, as the
// check judges it: a hardware address and exactly the provider's proxies.
struct Judged {
  std::string location, port, mac;
  bool ok = false;
};

Judged judge(const Platform& platform) {
  const Value networks = getNetwork(platform);
  Judged judged;
  judged.location = networks[0].text();
  for (size_t i = 1; i < networks.count(); ++i) {
    if (!networks[i][0].equals(judged.location)) continue;
    const Value& first = networks[i][1][0];
    judged.port = first[0].text();
    if (first.count() >= 3) judged.mac = first[1].text();
    const Value& proxies = first[first.count() - 1];
    judged.ok = !judged.mac.empty() && proxies[0].equals(kHttp) && proxies[4].equals(kSecure);
    for (size_t p : {1, 2, 3, 5, 6, 7}) judged.ok = judged.ok && proxies[p].text().empty();
    break;
  }
  return judged;
}

// The device and hardware of the current location's first active service.
std::pair<std::string, std::string> firstActiveInterface(const Value& store) {
  const Value& set = store["Sets"][lastPathComponent(store["CurrentSet"].text())];
  if (const auto* order = set["Network"]["Global"]["IPv4"]["ServiceOrder"].array())
    for (const Value& reference : *order) {
      const Value& service =
          store["NetworkServices"][lastPathComponent(set["Network"]["Service"][reference.text()]["__LINK__"].text())];
      if (service["__INACTIVE__"].intValue() == 1) continue;
      return {service["Interface"]["DeviceName"].text(), service["Interface"]["Hardware"].text()};
    }
  return {};
}

struct RealStore {
  std::string system, port, device, hardware, mac;
};

const RealStore kRealStores[] = {
    {"real-macbookair6-2-wifi", "Wi-Fi", "en0", "AirPort", "f0:b4:79:a1:00:01"},
    {"real-macbookair8-1-wifi", "Wi-Fi", "en0", "AirPort", "8c:85:90:b2:00:01"},
    {"real-macbookpro7-1-migrated", "内蔵 Ethernet", "en2", "Ethernet", "00:01:01:27:8d:dc"},
    {"real-imac11-3-two-ethernet", "内蔵 Ethernet", "en0", "Ethernet", "08:00:27:d6:7a:f6"},
};

TEST(RealStores, RepairJudgesTheBuiltInPortAndASecondRepairDoesNothing) {
  for (const RealStore& c : kRealStores) {
    for (const std::string& version : {std::string("10.6.8"), std::string("10.12.6")}) {
      const std::string what = c.system + " on " + version;
      MemoryCopiedSystem system(c.system);
      system.put("/System/Library/CoreServices/SystemVersion.plist", versionPlist(version));
      MemoryCopiedSystem& platform = system;  // the system is its own platform
      CueAuthorizer authorizer(platform, true);
      ProviderDatas settings = proxyProvider();
      EXPECT_FALSE(judge(platform).ok) << what;  // every one of them needs the repair

      const RepairOutcome first = OnRepair(platform, authorizer, settings);
      ASSERT_TRUE(first.applied) << what << ": " << first.failure;
      EXPECT_TRUE(first.failure.empty()) << what << ": " << first.failure;
      const Judged judged = judge(platform);
      EXPECT_EQ(judged.location, "Quorvalin") << what;
      EXPECT_EQ(judged.port, c.port) << what;
      EXPECT_EQ(judged.mac, c.mac) << what;
      EXPECT_TRUE(judged.ok) << what;
      const Value installed = storeAt(system, kPlist);
      EXPECT_EQ(firstActiveInterface(installed), std::make_pair(c.device, c.hardware)) << what;
      // No location switch without an active service, no lookupd to signal.
      const Texts log = system.toolLog();
      EXPECT_EQ(std::count(log.begin(), log.end(), "cat ROOT/var/run/lookupd.pid"), 0) << what;

      const std::string repaired = system.read(kPlist);
      const size_t toolRuns = system.toolLog().size();
      const int requests = authorizer.requests;
      const RepairOutcome second = OnRepair(platform, authorizer, settings);
      EXPECT_FALSE(second.applied) << what;
      EXPECT_TRUE(second.alreadyMatches) << what << ": " << second.failure;
      EXPECT_EQ(system.read(kPlist), repaired) << what;
      EXPECT_EQ(backupCount(system), 1u) << what;
      EXPECT_EQ(system.toolLog().size(), toolRuns) << what;
      EXPECT_EQ(authorizer.requests, requests) << what;
      EXPECT_TRUE(system.temporaryFolderIsEmpty()) << what;
    }
  }
}

TEST(MachinePorts, TheInterfaceListNamesTheBuiltInPortAndTheWiFiDevice) {
  const auto entry = [](const char* name, bool builtIn, const char* type, int unit) {
    Dictionary d;
    d.set("BSD Name", name);
    d.set("IOBuiltin", builtIn);
    d.set("SCNetworkInterfaceType", type);
    d.set("IOInterfaceUnit", unit);
    return Value(d);
  };
  struct Case {
    std::string what;
    Value entries;
    std::string builtIn;
    bool builtInIsWiFi;
    std::string wiFi;
  } cases[] = {
      {"no list", Value(), "en0", false, "en1"},
      {"common layout", Value(Value::Array{entry("en0", true, "Ethernet", 0), entry("en1", true, "IEEE80211", 1)}),
       "en0", false, "en1"},
      {"Wi-Fi on en0, Ethernet en2",
       Value(Value::Array{entry("en0", true, "IEEE80211", 0), entry("en2", true, "Ethernet", 2),
                          entry("fw0", true, "FireWire", 0)}),
       "en2", false, "en0"},
      {"portable without Ethernet",
       Value(Value::Array{entry("en3", false, "Ethernet", 3), entry("en0", true, "IEEE80211", 0)}), "en0", true, "en0"},
      {"lowest built-in unit wins",
       Value(Value::Array{entry("en1", true, "Ethernet", 1), entry("en0", false, "Ethernet", 0),
                          entry("en4", true, "Ethernet", 4)}),
       "en1", false, "en1"},
      {"a list without en0 says nothing against it", Value(Value::Array{entry("en1", true, "IEEE80211", 1)}), "en0",
       false, "en1"},
  };
  for (const auto& c : cases) {
    const MachinePorts ports = machinePortsOf(c.entries);
    EXPECT_EQ(ports.builtIn, c.builtIn) << c.what;
    EXPECT_EQ(ports.builtInIsWiFi, c.builtInIsWiFi) << c.what;
    EXPECT_EQ(ports.wiFi, c.wiFi) << c.what;
  }
}

// Renames the set whose name is from to "Quorvalin" in the store.
void renameLocation(MemoryCopiedSystem& system, const std::string& from) {
  Value store = storeAt(system, kPlist);
  for (const auto& [key, set] : *store["Sets"].dictionary())
    if (set["UserDefinedName"].equals(from))
      store.dictionary()->find("Sets")->dictionary()->find(key)->dictionary()->set("UserDefinedName", "Quorvalin");
  system.put(kPlist, toXmlPropertyList(store));
}

TEST(RealStores, AnExistingLocationsPPPoEOnTheRepairedPortIsTurnedOffAndTheRepairedServiceComesFirst) {
  MemoryCopiedSystem system("real-macbookpro7-1-migrated");
  // Without an interface list the built-in port is en0, where this location
  // has its Ethernet and an active PPPoE service listed first.
  system.remove("/Library/Preferences/SystemConfiguration/NetworkInterfaces.plist");
  renameLocation(system, "Location (7/29/12 4:05 PM)");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  ProviderDatas settings = proxyProvider();

  const RepairOutcome outcome = OnRepair(platform, authorizer, settings);
  ASSERT_TRUE(outcome.applied) << outcome.failure;
  const Value store = storeAt(system, kPlist);
  const Value& services = store["NetworkServices"];
  EXPECT_EQ(store["Sets"]["7D22A512-A248-4B1D-B192-5DB34BEC2B1B"]["Network"]["Global"]["IPv4"]["ServiceOrder"],
            Value::strings({"1EE09D7B-3327-48F4-B3C0-021B92C3DF2F", "58409A77-495E-4945-AC9D-254A49F15198",
                            "F078B80B-056F-4B45-B291-DE9F165693F1", "FDC22FDE-A56F-4F6C-BB91-E251AA475D0C"}));
  EXPECT_TRUE(services["1EE09D7B-3327-48F4-B3C0-021B92C3DF2F"]["__INACTIVE__"].isAbsent());
  for (const char* off : {"58409A77-495E-4945-AC9D-254A49F15198", "F078B80B-056F-4B45-B291-DE9F165693F1",
                          "FDC22FDE-A56F-4F6C-BB91-E251AA475D0C"})
    EXPECT_EQ(services[off]["__INACTIVE__"], Value(1)) << off;
  // The check judges the repaired Ethernet, not the PPPoE service.
  EXPECT_EQ(judge(platform).port, "Ethernet");
}

TEST(RealStores, ALocationWithoutAServiceOnTheBuiltInPortIsNeverInstalled) {
  MemoryCopiedSystem system("real-macbookpro7-1-migrated");
  // This location has nothing on en2, the machine's built-in Ethernet.
  renameLocation(system, "Location (7/29/12 4:05 PM)");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  ProviderDatas settings = proxyProvider();
  const std::string before = system.read(kPlist);

  const RepairOutcome outcome = OnRepair(platform, authorizer, settings);
  EXPECT_FALSE(outcome.applied);
  EXPECT_NE(outcome.failure.find("no service on the built-in port en2"), std::string::npos) << outcome.failure;
  EXPECT_EQ(system.read(kPlist), before);
  EXPECT_TRUE(system.toolLog().empty());
  EXPECT_EQ(authorizer.requests, 0);
}

TEST(RealStores, AFailedOrMissingStepLosesNothing) {
  struct Case {
    std::string what, tool;
    bool remove;
    std::string because;
  } cases[] = {
      {"scselect fails", "/usr/sbin/scselect", false, "the location switch failed"},
      {"scselect missing", "/usr/sbin/scselect", true, "/usr/sbin/scselect could not be run"},
      {"chown missing", "/usr/sbin/chown", true, "/usr/sbin/chown could not be run"},
      {"mv fails", "/bin/mv", false, "/bin/mv failed"},
  };
  for (const auto& c : cases) {
    MemoryCopiedSystem system("real-macbookair6-2-wifi");
    if (c.remove)
      system.remove(c.tool);
    else
      system.breakTool(c.tool);
    MemoryCopiedSystem& platform = system;  // the system is its own platform
    CueAuthorizer authorizer(platform, true);
    ProviderDatas settings = proxyProvider();
    const std::string before = system.read(kPlist);

    const RepairOutcome outcome = OnRepair(platform, authorizer, settings);
    EXPECT_FALSE(outcome.applied) << c.what;
    EXPECT_NE(outcome.failure.find(c.because), std::string::npos) << c.what << ": " << outcome.failure;
    EXPECT_TRUE(system.read(kPlist) == before) << c.what;
  }
}

TEST(RealStores, ARestartStepThatFailsAfterTheInstallIsNoSuccess) {
  MemoryCopiedSystem system("real-imac11-3-two-ethernet");
  system.breakTool("/usr/sbin/ipconfigd");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  ProviderDatas settings = proxyProvider();
  const RepairOutcome outcome = OnRepair(platform, authorizer, settings);
  EXPECT_TRUE(outcome.applied);
  EXPECT_NE(outcome.failure.find("/usr/sbin/ipconfigd failed"), std::string::npos) << outcome.failure;
}

TEST(RealStores, NoRepairWithoutProviderSettings) {
  MemoryCopiedSystem system("real-imac11-3-two-ethernet");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  ProviderDatas none;
  const std::string before = system.read(kPlist);
  const RepairOutcome outcome = OnRepair(platform, authorizer, none);
  EXPECT_FALSE(outcome.applied);
  EXPECT_NE(outcome.failure.find("provider"), std::string::npos);
  EXPECT_EQ(system.read(kPlist), before);
  EXPECT_EQ(authorizer.requests, 0);
}

// The installed store with the provider's proxy host changed, as another
// program might leave it: the next repair has something to put right.
void changeBetweenRepairs(MemoryCopiedSystem& system) {
  std::string bytes = system.read(kPlist);
  for (size_t at; (at = bytes.find("proxy.example.jp")) != std::string::npos;)
    bytes.replace(at, 16, "other.example.jp");
  system.put(kPlist, bytes);
}

TEST(RealStores, TwoRepairsThenTwoUndosGiveBackTheOriginalStoreByteForByte) {
  for (const RealStore& c : kRealStores) {
    for (const std::string& version : {std::string("10.6.8"), std::string("10.12.6")}) {
      const std::string what = c.system + " on " + version;
      MemoryCopiedSystem system(c.system);
      system.put("/System/Library/CoreServices/SystemVersion.plist", versionPlist(version));
      MemoryCopiedSystem& platform = system;  // the system is its own platform
      CueAuthorizer authorizer(platform, true);
      ProviderDatas settings = proxyProvider();
      const std::string original = system.read(kPlist);

      ASSERT_TRUE(OnRepair(platform, authorizer, settings).applied) << what;
      changeBetweenRepairs(system);
      const std::string between = system.read(kPlist);
      ASSERT_TRUE(OnRepair(platform, authorizer, settings).applied) << what;
      const std::string second = system.read(kPlist);

      const StepResult firstUndo = undoRepair(platform, authorizer);
      ASSERT_TRUE(firstUndo.ok()) << what << ": " << firstUndo.failure;
      EXPECT_TRUE(system.read(kPlist) == between) << what;
      const StepResult secondUndo = undoRepair(platform, authorizer);
      ASSERT_TRUE(secondUndo.ok()) << what << ": " << secondUndo.failure;
      EXPECT_TRUE(system.read(kPlist) == original) << what;
      // Each undo kept the store it replaced, and switched to the restored location.
      const std::vector<BackupEntry> backups = listBackups(platform);
      ASSERT_EQ(backups.size(), 4u) << what;
      EXPECT_TRUE(backups[2].name.byUndo && backups[3].name.byUndo) << what;
      EXPECT_TRUE(system.read(backups[2].path) == second) << what;
      const Texts log = system.toolLog();
      const std::string originalSet = lastPathComponent(storeAt(system, kPlist)["CurrentSet"].text());
      EXPECT_EQ(log[log.size() - 2], "scselect " + originalSet) << what;
      EXPECT_EQ(log.back(), "ipconfigd waitall") << what;
      // Every repair undone: nothing is left to undo.
      EXPECT_EQ(backupToUndo(platform), "") << what;
    }
  }
}

TEST(RealStores, ADamagedBackupIsNeverInstalled) {
  for (const std::string& damage : {std::string("not a property list"), std::string(""),
                                    std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>")}) {
    MemoryCopiedSystem system("real-macbookair8-1-wifi");
    MemoryCopiedSystem& platform = system;  // the system is its own platform
    CueAuthorizer authorizer(platform, true);
    ProviderDatas settings = proxyProvider();
    const RepairOutcome outcome = OnRepair(platform, authorizer, settings);
    ASSERT_TRUE(outcome.applied) << outcome.failure;
    system.put(outcome.backup, damage);
    const std::string repaired = system.read(kPlist);
    const size_t toolRuns = system.toolLog().size();

    const StepResult undo = undoRepair(platform, authorizer);
    EXPECT_FALSE(undo.ok()) << damage;
    EXPECT_NE(undo.failure.find(outcome.backup + " is damaged"), std::string::npos) << undo.failure;
    EXPECT_TRUE(system.read(kPlist) == repaired) << damage;
    EXPECT_EQ(system.toolLog().size(), toolRuns) << damage;
  }
}

TEST(RealStores, AFailedSwitchAfterAnUndoPutsTheStoreBack) {
  MemoryCopiedSystem system("real-imac11-3-two-ethernet");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  ProviderDatas settings = proxyProvider();
  ASSERT_TRUE(OnRepair(platform, authorizer, settings).applied);
  const std::string repaired = system.read(kPlist);
  system.breakTool("/usr/sbin/scselect");
  const StepResult undo = undoRepair(platform, authorizer);
  EXPECT_FALSE(undo.ok());
  EXPECT_NE(undo.failure.find("the location switch failed"), std::string::npos) << undo.failure;
  EXPECT_TRUE(system.read(kPlist) == repaired);
}

TEST(RealStores, ThePlanNamesTheLocationAndEveryActiveServiceTurnedOff) {
  struct Case {
    std::string system;
    Texts turnedOff;
  } cases[] = {
      {"real-macbookair6-2-wifi", {"Bluetooth DUN", "Bluetooth PAN"}},
      {"real-macbookair8-1-wifi", {"Thunderbolt Bridge"}},
      {"real-imac11-3-two-ethernet", {"Ethernet Adaptor (en1)"}},
      {"real-macbookpro7-1-migrated",
       {"ZTEUSBModem", "you", "PPPoE", "LG Android USB Device", "Bluetooth DUN", "Ethernet", "FireWire", "AirPort",
        "Huawei Modem", "BlackBerry-2143dfa0", "PPPoE 2", "Bluetooth PAN"}},
  };
  for (const auto& c : cases) {
    MemoryCopiedSystem system(c.system);
    MemoryCopiedSystem& platform = system;  // the system is its own platform
    const std::string before = system.read(kPlist);
    const RepairPlan plan = planRepair(platform, proxyProvider());
    EXPECT_EQ(plan.failure, "") << c.system;
    EXPECT_FALSE(plan.alreadyMatches) << c.system;
    EXPECT_EQ(plan.location, "Quorvalin") << c.system;
    EXPECT_EQ(plan.turnedOff, c.turnedOff) << c.system;
    // Planning writes and runs nothing.
    EXPECT_EQ(system.read(kPlist), before) << c.system;
    EXPECT_TRUE(system.temporaryFolderIsEmpty()) << c.system;
    EXPECT_TRUE(system.toolLog().empty()) << c.system;
  }
}

}  // namespace
}  // namespace corvane

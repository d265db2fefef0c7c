#include "repair/network_repair.h"

#include <gtest/gtest.h>

#include <regex>

#include "repair/repair_test_support.h"
#include "repair/store_backup.h"

namespace corvane {
namespace {

using testing::CueAuthorizer;
using testing::MemoryCopiedSystem;
using testing::MemoryPlatform;
using testing::providerSettings;
using testing::readPlistFile;
using Texts = std::vector<std::string>;

using testing::kPlist;
using testing::kXml;

// The property list stored at a system path.
Value storeAt(const MemoryCopiedSystem& system, const std::string& systemPath) {
  return parsePropertyList(system.read(systemPath));
}

// A tool run that failed with the given standard error.
ToolRun failedRun(std::string errorOutput = "") {
  ToolRun run;
  run.started = true;
  run.exitStatus = 1;
  run.errorOutput = std::move(errorOutput);
  return run;
}

// The tool log with the private folder's name replaced by "PRIVATE".
Texts steps(const MemoryCopiedSystem& system) {
  Texts lines = system.toolLog();
  for (auto& line : lines) line = std::regex_replace(line, std::regex("corvane-repair-[A-Za-z0-9]+"), "PRIVATE");
  return lines;
}

TEST(OnRepair, GrantedRepairInstallsTheExpectedStoreInOrder) {
  MemoryCopiedSystem system("repair-10.4-new-location");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  const std::string before = system.read(kPlist);
  ProviderDatas settings = providerSettings();

  const RepairOutcome outcome = OnRepair(platform, authorizer, settings);

  ASSERT_TRUE(outcome.applied) << outcome.failure;
  EXPECT_EQ(outcome.setKey, "2");
  EXPECT_EQ(storeAt(system, kPlist),
            readPlistFile(std::string(CORVANE_TESTDATA) + "/repair/expected/repair-10.4-new-location.plist"));
  EXPECT_EQ(system.read(outcome.backup), before);
  // The backup is named after the system's clock, which stands still in memory.
  const std::string backups = "ROOT/Library/Application Support/Corvane/backups";
  const std::string config = "ROOT/Library/Preferences/SystemConfiguration";
  EXPECT_EQ(
      steps(system),
      (Texts{"mkdir -p ROOT/Library/Application Support", "mkdir -p ROOT/Library/Application Support/Corvane",
             "mkdir -p " + backups,
             "cp -p " + config + "/preferences.plist " + backups + "/.corvane-preferences-20261210-160500-1.plist.new",
             "mv -f " + backups + "/.corvane-preferences-20261210-160500-1.plist.new " + backups +
                 "/preferences-20261210-160500-1.plist",
             "chown root TMP/PRIVATE/preferences.plist",
             "mv -f TMP/PRIVATE/preferences.plist " + config + "/.corvane-preferences.plist.new",
             "mv -f " + config + "/.corvane-preferences.plist.new " + config + "/preferences.plist", "scselect 2",
             "cat ROOT/var/run/lookupd.pid", "kill -HUP 197", "ipconfigd waitall"}));
  EXPECT_TRUE(system.temporaryFolderIsEmpty());
}

TEST(OnRepair, TenTwoInstallsPreferencesXmlAndLeavesThePlistAlone) {
  MemoryCopiedSystem system("repair-10.2-existing-location");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  const std::string stray = system.read(kPlist);
  ProviderDatas settings = providerSettings();

  const RepairOutcome outcome = OnRepair(platform, authorizer, settings);

  ASSERT_TRUE(outcome.applied) << outcome.failure;
  EXPECT_EQ(storeAt(system, kXml),
            readPlistFile(std::string(CORVANE_TESTDATA) + "/repair/expected/repair-10.2-existing-location.xml"));
  EXPECT_EQ(system.read(kPlist), stray);
  EXPECT_TRUE(outcome.backup.ends_with(".xml"));
  const Texts log = steps(system);
  EXPECT_NE(std::find(log.begin(), log.end(), "scselect 1"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "kill -HUP 312"), log.end());
}

TEST(OnRepair, NothingChangesWhenAStepFails) {
  // Moves, but fails to move anything into the store's folder.
  const auto failOnStore = [](MemoryCopiedSystem& s) {
    s.putTool("/bin/mv", [&s](const std::vector<std::string>& args) {
      if (args.size() > 2 && args[2].find("SystemConfiguration/") != std::string::npos) return failedRun();
      return s.act("mv", args);
    });
  };
  struct Case {
    std::string what;
    bool grant;
    std::function<void(MemoryCopiedSystem&)> spoil;
    Texts forbiddenSteps;
    std::string said;  // what the failure must quote from the tool's standard error
  } cases[] = {
      {"rights refused",
       false,
       [](MemoryCopiedSystem&) {},
       {"mkdir", "cp", "chown", "mv", "scselect", "kill", "ipconfigd"}},
      {"mkdir fails", true, [](MemoryCopiedSystem& s) { s.breakTool("/bin/mkdir"); }, {"chown", "mv", "scselect"}},
      {"cp fails", true, [](MemoryCopiedSystem& s) { s.breakTool("/bin/cp"); }, {"chown", "scselect"}},
      {"chown fails", true, [](MemoryCopiedSystem& s) { s.breakTool("/usr/sbin/chown"); }, {"scselect", "kill"}},
      {"mv fails", true, [](MemoryCopiedSystem& s) { s.breakTool("/bin/mv"); }, {"chown", "scselect", "kill"}},
      {"mv into the store folder fails", true, failOnStore, {"scselect", "kill"}},
      {"chown fails and says why",
       true,
       [](MemoryCopiedSystem& s) {
         s.putTool("/usr/sbin/chown",
                   [](const std::vector<std::string>&) { return failedRun("chown: not permitted\n"); });
       },
       {"scselect", "kill"},
       "chown: not permitted"},
  };
  for (auto& c : cases) {
    MemoryCopiedSystem system("repair-10.4-new-location");
    c.spoil(system);
    MemoryCopiedSystem& platform = system;  // the system is its own platform
    CueAuthorizer authorizer(platform, c.grant);
    const std::string before = system.read(kPlist);
    ProviderDatas settings = providerSettings();

    const RepairOutcome outcome = OnRepair(platform, authorizer, settings);

    EXPECT_FALSE(outcome.applied) << c.what;
    EXPECT_FALSE(outcome.failure.empty()) << c.what;
    EXPECT_NE(outcome.failure.find(c.said), std::string::npos) << c.what << ": " << outcome.failure;
    EXPECT_EQ(system.read(kPlist), before) << c.what;
    for (const auto& line : system.toolLog())
      for (const auto& tool : c.forbiddenSteps) EXPECT_FALSE(line.starts_with(tool + " ")) << c.what << ": " << line;
  }
}

TEST(OnRepair, UnbuildableCopyAsksForNoRights) {
  for (const bool removeStore : {true, false}) {
    MemoryCopiedSystem system("repair-10.4-new-location");
    MemoryCopiedSystem& platform = system;  // the system is its own platform
    if (removeStore)
      system.remove(kPlist);
    else
      platform.setTemporaryFolder(system.hostPath(kPlist));  // a file, not a folder
    CueAuthorizer authorizer(platform, true);
    ProviderDatas settings = providerSettings();
    const RepairOutcome outcome = OnRepair(platform, authorizer, settings);
    EXPECT_FALSE(outcome.applied);
    EXPECT_EQ(outcome.setKey, "-1");
    EXPECT_EQ(authorizer.requests, 0);
    EXPECT_TRUE(system.toolLog().empty());
  }
}

TEST(OnRepair, StoreThatDoesNotArriveIntactIsPutBack) {
  MemoryCopiedSystem system("repair-10.4-new-location");
  // Moves, but damages the first file it moves over the live store.
  bool damaged = false;
  system.putTool("/bin/mv", [&system, &damaged](const std::vector<std::string>& args) {
    const ToolRun moved = system.act("mv", args);
    if (moved.exitStatus != 0) return failedRun();
    if (!damaged && args.size() > 2 && args[2].ends_with("/preferences.plist")) {
      system.writeHostFile(args[2], system.readHost(args[2]) + "junk\n");
      damaged = true;
    }
    return moved;
  });
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  const std::string before = system.read(kPlist);
  ProviderDatas settings = providerSettings();

  const RepairOutcome outcome = OnRepair(platform, authorizer, settings);

  EXPECT_FALSE(outcome.applied);
  EXPECT_NE(outcome.failure.find("put back"), std::string::npos) << outcome.failure;
  EXPECT_EQ(system.read(kPlist), before);
}

TEST(OnRepair, ArgumentsLongerThanTheBufferRefuseTheRepair) {
  MemoryCopiedSystem system("repair-10.4-new-location");
  // An existing location whose set key is far too long for an argument.
  Value store = storeAt(system, kPlist);
  Dictionary set;
  set.set("UserDefinedName", "Quorvalin");
  store.dictionary()->find("Sets")->dictionary()->set(std::string(5000, '7'), std::move(set));
  system.put(kPlist, toXmlPropertyList(store));
  const std::string before = system.read(kPlist);
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  ProviderDatas settings = providerSettings();

  const RepairOutcome outcome = OnRepair(platform, authorizer, settings);

  EXPECT_FALSE(outcome.applied);
  EXPECT_NE(outcome.failure.find("4095"), std::string::npos);
  EXPECT_EQ(authorizer.requests, 0);
  EXPECT_EQ(system.read(kPlist), before);
}

TEST(GetNetworkAgain, SignalsOnlyAUsableProcessId) {
  struct Case {
    std::string pidFile;
    std::string kill;  // "" for no kill
  } cases[] = {
      {"197\n", "kill -HUP 197"},
      {"  42  extra\n", "kill -HUP 42"},
      {"\n\n 77\n", "kill -HUP 77"},
      {"", ""},
      {"-1\n", ""},
      {"1\n", ""},
      {"0\n", ""},
      {"12abc\n", ""},
      {"99999999999\n", ""},
  };
  for (const auto& c : cases) {
    MemoryCopiedSystem system("repair-10.4-new-location");
    system.put("/var/run/lookupd.pid", c.pidFile);
    MemoryCopiedSystem& platform = system;  // the system is its own platform
    CueAuthorizer authorizer(platform, true);
    ASSERT_TRUE(authorizer.obtainRights());
    getNetworkAgain(platform, authorizer);
    Texts expected{"cat ROOT/var/run/lookupd.pid"};
    if (!c.kill.empty()) expected.push_back(c.kill);
    expected.push_back("ipconfigd waitall");
    EXPECT_EQ(system.toolLog(), expected) << c.pidFile;
    EXPECT_EQ(platform.logged.empty(), !c.kill.empty()) << c.pidFile;
    // Why lookupd was not signalled is no change of the repair's: verbose log only.
    EXPECT_TRUE(platform.systemLogged.empty()) << c.pidFile;
  }
}

TEST(LookupdProcessId, FirstPieceOfFirstLine) {
  EXPECT_EQ(lookupdProcessId("123   \n456\n"), "123");
  EXPECT_EQ(lookupdProcessId("   123 456"), "123");
  EXPECT_EQ(lookupdProcessId("\n   \n9"), "");
  EXPECT_EQ(lookupdProcessId(""), "");
}

TEST(Undo, RestoringTheNewestBackupGivesBackTheOriginalStore) {
  for (const std::string name : {"repair-10.4-new-location", "repair-10.2-existing-location"}) {
    MemoryCopiedSystem system(name);
    MemoryCopiedSystem& platform = system;  // the system is its own platform
    CueAuthorizer authorizer(platform, true);
    const std::string store = name.find("10.2") != std::string::npos ? kXml : kPlist;
    const std::string before = system.read(store);
    ProviderDatas settings = providerSettings();
    ASSERT_TRUE(OnRepair(platform, authorizer, settings).applied) << name;
    ASSERT_NE(system.read(store), before);

    ASSERT_TRUE(authorizer.obtainRights());
    const StepResult restored = restoreBackup(platform, authorizer, newestBackup(platform));
    EXPECT_TRUE(restored.ok()) << restored.failure;
    EXPECT_EQ(restored.path, store);
    EXPECT_EQ(system.read(store), before) << name;
  }
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

TEST(OnRepair, TenFourWithOnlyTheOlderStoreInstallsTheNewerFile) {
  MemoryCopiedSystem system("repair-10.4-new-location");
  const std::string live = system.read(kPlist);
  system.makeFolder(kXml.substr(0, kXml.rfind('/')));
  ASSERT_TRUE(system.renamePath(kPlist, kXml));
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  ProviderDatas settings = providerSettings();

  const RepairOutcome outcome = OnRepair(platform, authorizer, settings);

  ASSERT_TRUE(outcome.applied) << outcome.failure;
  EXPECT_EQ(outcome.backup, "");  // there was no store file to keep at the destination
  EXPECT_TRUE(system.read(kXml) == live);
  EXPECT_EQ(storeAt(system, kPlist),
            readPlistFile(std::string(CORVANE_TESTDATA) + "/repair/expected/repair-10.4-new-location.plist"));
  EXPECT_EQ(steps(system)[0], "chown root TMP/PRIVATE/preferences.xml");
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

TEST(OnRepair, RepairingTheRepairedLocationAgainOnlyTurnsItsPortsOffAgain) {
  MemoryCopiedSystem system("repair-10.4-new-location");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  ProviderDatas settings = providerSettings();
  ASSERT_TRUE(OnRepair(platform, authorizer, settings).applied);
  const Value repaired = storeAt(system, kPlist);

  // The user switches the location's modem, FireWire and AirPort on again.
  Value store = repaired;
  for (const char* id : {"7", "8", "9"})
    store.dictionary()->find("NetworkServices")->dictionary()->find(id)->dictionary()->set("__INACTIVE__", 0);
  system.put(kPlist, toXmlPropertyList(store));
  platform.logged.clear();

  const RepairOutcome again = OnRepair(platform, authorizer, settings);
  ASSERT_TRUE(again.applied) << again.failure;
  EXPECT_EQ(again.setKey, "2");
  EXPECT_EQ(storeAt(system, kPlist), repaired);
  EXPECT_TRUE(platform.logged.empty());
}

}  // namespace
}  // namespace corvane

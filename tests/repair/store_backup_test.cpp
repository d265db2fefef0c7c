#include "repair/store_backup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "repair/network_repair.h"
#include "repair/repair_test_support.h"

namespace corvane {
namespace {

using testing::CueAuthorizer;
using testing::MemoryCopiedSystem;

const std::time_t kWhen = 1796877915;  // 2026-12-10 04:45:15 UTC

TEST(BackupName, FormatsTheTimeAndTheStoreFile) {
  EXPECT_EQ(backupFileName("preferences.plist", kWhen, 1), "preferences-20261210-044515-1.plist");
  EXPECT_EQ(backupFileName("preferences.xml", kWhen, 12), "preferences-20261210-044515-12.xml");
}

TEST(BackupName, ParsesOnlyBackups) {
  struct Case {
    std::string file;
    bool backup;
    std::string store;
  } cases[] = {
      {"preferences-20261210-044515-1.plist", true, "/Library/Preferences/SystemConfiguration/preferences.plist"},
      {"preferences-20261210-044515-3.xml", true, "/private/var/db/SystemConfiguration/preferences.xml"},
      {".corvane-preferences-20261210-044515-1.plist.new", false, ""},
      {"preferences-20261210-044515.plist", false, ""},
      {"preferences-2026121-044515-1.plist", false, ""},
      {"preferences-20261210-044515-x.plist", false, ""},
      {"notes.txt", false, ""},
  };
  for (const auto& c : cases) {
    const auto name = parseBackupFileName(c.file);
    EXPECT_EQ(name.has_value(), c.backup) << c.file;
    if (name) {
      EXPECT_EQ(storePathOfBackup(*name), c.store) << c.file;
    }
  }
}

TEST(NewestBackup, LatestTimeThenHighestSequence) {
  MemoryCopiedSystem system("repair-10.4-new-location");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  EXPECT_EQ(newestBackup(platform), "");
  const std::string folder = std::string(kBackupFolder);
  for (const char* file : {"preferences-20261210-044515-2.plist", "preferences-20261210-044515-10.plist",
                           "preferences-20261209-235959-99.plist", "zz-notes.txt"})
    system.put(folder + "/" + file, "x");
  EXPECT_EQ(newestBackup(platform), folder + "/preferences-20261210-044515-10.plist");
}

TEST(BackupStore, KeepsTheStoreAndNumbersBackupsOfTheSameSecond) {
  MemoryCopiedSystem system("repair-10.4-new-location");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  ASSERT_TRUE(authorizer.obtainRights());
  const std::string store = "/Library/Preferences/SystemConfiguration/preferences.plist";

  const StepResult first = backupStore(platform, authorizer, store, kWhen);
  const StepResult second = backupStore(platform, authorizer, store, kWhen);
  ASSERT_TRUE(first.ok()) << first.failure;
  ASSERT_TRUE(second.ok()) << second.failure;
  EXPECT_EQ(first.path, std::string(kBackupFolder) + "/preferences-20261210-044515-1.plist");
  EXPECT_EQ(second.path, std::string(kBackupFolder) + "/preferences-20261210-044515-2.plist");
  EXPECT_EQ(system.read(first.path), system.read(store));

  const StepResult missing =
      backupStore(platform, authorizer, "/private/var/db/SystemConfiguration/preferences.xml", kWhen);
  EXPECT_TRUE(missing.ok());
  EXPECT_EQ(missing.path, "");
}

TEST(BackupStore, RefusesALinkedBackupFolder) {
  MemoryCopiedSystem system("repair-10.4-new-location");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, true);
  ASSERT_TRUE(authorizer.obtainRights());
  system.putLink(kBackupFolder, "/private/tmp");

  const StepResult result =
      backupStore(platform, authorizer, "/Library/Preferences/SystemConfiguration/preferences.plist", kWhen);
  EXPECT_FALSE(result.ok());
  for (const auto& line : system.toolLog()) EXPECT_FALSE(line.starts_with("cp ")) << line;
}

TEST(RestoreBackup, RefusesWithoutRightsAndLeavesTheStore) {
  MemoryCopiedSystem system("repair-10.4-new-location");
  MemoryCopiedSystem& platform = system;  // the system is its own platform
  CueAuthorizer authorizer(platform, false);
  const std::string store = "/Library/Preferences/SystemConfiguration/preferences.plist";
  const std::string before = system.read(store);
  system.put(std::string(kBackupFolder) + "/preferences-20261210-044515-1.plist", "other");
  authorizer.obtainRights();
  EXPECT_FALSE(restoreBackup(platform, authorizer, newestBackup(platform)).ok());
  EXPECT_EQ(system.read(store), before);
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

using testing::CopiedSystem;
using testing::kPlist;
using testing::readHostFile;
using testing::TempFolder;

// The real platform on a copied system, its clock standing still.
class StillClockPlatform : public Platform {
 public:
  explicit StillClockPlatform(const std::string& root) : Platform({.root = root, .pauses = false, .syslog = false}) {}
  std::time_t now() const override { return kWhen; }
};

// Every file under a host folder with its bytes.
std::map<std::string, std::string> filesUnder(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    files[entry.path().string()] = entry.is_regular_file() ? readHostFile(entry.path()) : "";
  return files;
}

TEST(RepairLinks, APlantedLinkAtAnyWritePathIsRefusedAndNothingIsWritten) {
  const std::string support = "/Library/Application Support";
  const std::string backups(kBackupFolder);
  const std::string staged = "/Library/Preferences/SystemConfiguration/.corvane-preferences.plist.new";
  const std::string backupName = backupFileName("preferences.plist", kWhen, 1);
  const std::string undone = "preferences-20261201-000000-1.plist";  // what the undo puts back
  struct Case {
    bool undo;
    std::string link;    // a system path
    std::string inside;  // what the link points at in the outside folder
  } cases[] = {
      {false, support, ""},
      {false, support + "/Corvane", ""},
      {false, backups, ""},
      {false, backups + "/.corvane-" + backupName + ".new", "/partial"},
      {false, backups + "/" + backupName, "/backup"},
      {false, staged, "/staged"},
      {true, staged, "/staged"},
      {true, backups + "/" + backupFileName("preferences.plist", kWhen, 2, true), "/kept"},
  };
  for (const Case& c : cases) {
    const std::string what = (c.undo ? "undo, " : "repair, ") + c.link;
    CopiedSystem system("repair-10.4-new-location");
    TempFolder outside;
    outside.write("keep", "outside");
    if (c.undo) system.write(backups + "/" + undone, system.read(kPlist));
    if (c.undo) system.write(backups + "/" + backupName, system.read(kPlist));  // the name the undo skips
    std::filesystem::create_directories(std::filesystem::path(system.host(c.link)).parent_path());
    std::filesystem::create_symlink(outside.path() + c.inside, system.host(c.link));
    const std::string store = system.read(kPlist);
    StillClockPlatform platform(system.root());
    testing::CueAuthorizer authorizer(platform, true);

    std::string failure;
    if (c.undo) {
      failure = undoRepair(platform, authorizer, {.backup = undone}).failure;
    } else {
      ProviderDatas settings = testing::providerSettings();
      failure = OnRepair(platform, authorizer, settings).failure;
    }
    EXPECT_NE(failure.find(c.link + " is a symbolic link"), std::string::npos) << what << ": " << failure;
    EXPECT_EQ(system.read(kPlist), store) << what;
    EXPECT_EQ(filesUnder(outside.path()), (std::map<std::string, std::string>{{outside.path() + "/keep", "outside"}}))
        << what;
  }
}

}  // namespace
}  // namespace corvane

#include "core/platform.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace corvane {
namespace {

TEST(Platform, HostPathStaysUnderTheRoot) {
  Platform platform({.root = "/srv/mac/", .syslog = false});
  EXPECT_EQ(platform.hostPath("/sbin/ifconfig"), "/srv/mac/sbin/ifconfig");
  EXPECT_EQ(platform.hostPath("/../../etc/passwd"), "/srv/mac/etc/passwd");
  EXPECT_EQ(platform.hostPath("/Users/user/./Library/../Mail"), "/srv/mac/Users/user/Mail");
  Platform system({.syslog = false});
  EXPECT_EQ(system.hostPath("/sbin/ifconfig"), "/sbin/ifconfig");
}

TEST(Platform, HomeFolderDefaults) {
  Platform captured({.root = "/srv/mac", .syslog = false});
  EXPECT_EQ(captured.homeFolder(), "/Users/user");
  Platform chosen({.root = "/srv/mac", .home = "/Users/hanako/", .syslog = false});
  EXPECT_EQ(chosen.homeFolder(), "/Users/hanako");
}

TEST(ToolRun, CapturesLargeOutputWholeAndCutsAtNul) {
  testing::TempFolder root;
  root.write("bin/big", "#!/bin/sh\nhead -c 3000000 /dev/zero | tr '\\0' 'x'\nprintf 'tail'\n", true);
  root.write("bin/nul", "#!/bin/sh\nprintf 'before\\000after'\nexit 3\n", true);
  root.write("bin/args", "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done\n", true);
  Platform platform({.root = root.path(), .syslog = false});

  ToolRun big = platform.runTool("/bin/big", {});
  EXPECT_EQ(big.output.size(), 3000004u);
  EXPECT_EQ(big.output.substr(big.output.size() - 4), "tail");

  ToolRun nul = platform.runTool("/bin/nul", {});
  EXPECT_EQ(nul.output, "before");
  EXPECT_EQ(nul.exitStatus, 3);

  EXPECT_EQ(platform.runTool("/bin/args", {"-a", "two words", ""}).output, "[-a][two words][]");
}

TEST(ToolRun, MissingToolGivesEmptyOutput) {
  testing::TempFolder root;
  Platform platform({.root = root.path(), .syslog = false});
  ToolRun run = platform.runTool("/sbin/ifconfig", {"-a"});
  EXPECT_FALSE(run.started);
  EXPECT_EQ(run.output, "");
}

TEST(Platform, ReadsFilesButNotFolders) {
  testing::TempFolder root;
  root.write("etc/file", "abc");
  Platform platform({.root = root.path(), .syslog = false});
  EXPECT_EQ(platform.readFile("/etc/file").value_or("?"), "abc");
  EXPECT_FALSE(platform.readFile("/etc").has_value());
  EXPECT_FALSE(platform.readFile("/etc/missing").has_value());
  EXPECT_EQ(platform.listFolder("/etc"), (std::vector<std::string>{"file"}));
  EXPECT_TRUE(platform.diskFigures("/").known);
}

TEST(Platform, EntriesAndLinksWithoutLeavingTheRoot) {
  testing::TempFolder root;
  root.write("Volumes/Data/file", "x");
  root.write("Volumes/.DS_Store", "x");
  std::filesystem::create_directory_symlink("/", root.path() + "/Volumes/Macintosh HD");
  std::filesystem::create_directory_symlink("../Volumes/./Data/", root.path() + "/Volumes/Again");
  std::filesystem::create_directory_symlink("/../../etc", root.path() + "/Volumes/Out");
  Platform platform({.root = root.path(), .syslog = false});

  std::vector<std::pair<std::string, EntryKind>> entries;
  for (const auto& e : platform.listFolderEntries("/Volumes")) entries.emplace_back(e.name, e.kind);
  EXPECT_EQ(entries, (std::vector<std::pair<std::string, EntryKind>>{{".DS_Store", EntryKind::file},
                                                                      {"Again", EntryKind::link},
                                                                      {"Data", EntryKind::folder},
                                                                      {"Macintosh HD", EntryKind::link},
                                                                      {"Out", EntryKind::link}}));
  EXPECT_EQ(platform.linkTarget("/Volumes/Macintosh HD"), "/");
  EXPECT_EQ(platform.linkTarget("/Volumes/Again"), "/Volumes/Data");
  // An absolute target is a system path: it stays under the root.
  EXPECT_EQ(platform.linkTarget("/Volumes/Out"), "/etc");
  EXPECT_EQ(platform.linkTarget("/Volumes/Data"), std::nullopt);
  EXPECT_EQ(platform.linkTarget("/Volumes/None"), std::nullopt);
  EXPECT_EQ(platform.entryKind("/Volumes/Again"), EntryKind::link);
  EXPECT_EQ(platform.entryKind("/Volumes/Data/file"), EntryKind::file);
  EXPECT_EQ(platform.entryKind("/Volumes/None"), EntryKind::missing);
  EXPECT_TRUE(platform.listFolderEntries("/Volumes/None").empty());
  // A local disk is no network share.
  EXPECT_FALSE(platform.diskFigures("/Volumes/Data").networkShare);
}

TEST(Platform, VerboseLogReachesOnlyTheSink) {
  // A platform that notes what would go to the system log.
  class SystemLogPlatform : public Platform {
   public:
    SystemLogPlatform() : Platform({.syslog = false}) {}
    void log(std::string_view text) const override {
      systemLog.emplace_back(text);
      Platform::log(text);
    }
    mutable std::vector<std::string> systemLog;
  } platform;
  std::vector<std::string> seen;
  platform.logSink = [&](const std::string& t) { seen.push_back(t); };
  platform.verboseLog("why");
  platform.log("DHCP");
  EXPECT_EQ(seen, (std::vector<std::string>{"why", "DHCP"}));
  EXPECT_EQ(platform.systemLog, std::vector<std::string>{"DHCP"});
}

TEST(Platform, LogReachesTheSink) {
  Platform platform({.syslog = false});
  std::vector<std::string> seen;
  platform.logSink = [&](const std::string& t) { seen.push_back(t); };
  platform.log("Setup Ethernet");
  EXPECT_EQ(seen, (std::vector<std::string>{"Setup Ethernet"}));
}

}  // namespace
}  // namespace corvane

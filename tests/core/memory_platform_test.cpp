// The in-memory platform answers like the real one for what the tests use.
#include "support/memory_platform.h"

#include <gtest/gtest.h>

#include "core/plist_io.h"

namespace corvane {
namespace {

using testing::MemoryPlatform;

TEST(MemoryPlatform, ReadsWritesAndListsLikeAFileSystem) {
  MemoryPlatform platform;
  platform.put("/Library/Preferences/a.plist", "<plist><string>x</string></plist>");
  platform.makeFolder("/Library/Preferences/Empty");
  platform.putLink("/Library/Preferences/b.plist", "a.plist");
  EXPECT_EQ(platform.read("/Library/Preferences/b.plist"), "<plist><string>x</string></plist>");
  EXPECT_TRUE(readPropertyList(platform, "/Library/Preferences/a.plist").equals("x"));
  EXPECT_TRUE(platform.isDirectory("/Library/Preferences/Empty"));
  EXPECT_EQ(platform.entryKind("/Library/Preferences/b.plist"), EntryKind::link);
  EXPECT_EQ(platform.entryKind("/Library/Preferences/../Preferences/a.plist"), EntryKind::file);
  EXPECT_EQ(platform.entryKind("/nothing"), EntryKind::missing);
  EXPECT_EQ(platform.listFolder("/Library/Preferences"), (std::vector<std::string>{"Empty", "a.plist", "b.plist"}));
  EXPECT_EQ(platform.listFolder("/"), std::vector<std::string>{"Library"});
  EXPECT_FALSE(platform.readFile("/Library/Preferences").has_value());
  EXPECT_FALSE(platform.writeFile("/Missing/file", "x"));
  EXPECT_TRUE(platform.writeFile("/Library/Preferences/a.plist", "new"));
  EXPECT_EQ(platform.read("/Library/Preferences/b.plist"), "new");
}

TEST(MemoryPlatform, AbsoluteLinksStayUnderTheRoot) {
  MemoryPlatform platform;
  platform.put("/private/etc/hosts", "hosts");
  platform.putLink("/etc", "/private/etc");
  platform.putLink("/loop", "/loop");
  EXPECT_EQ(platform.read("/etc/hosts"), "hosts");
  EXPECT_EQ(platform.linkTarget("/etc"), "/private/etc");
  EXPECT_FALSE(platform.exists("/loop"));
  EXPECT_EQ(platform.listFolder("/etc"), std::vector<std::string>{"hosts"});
}

TEST(MemoryPlatform, RenamesReplaceFilesButNotFoldersThatHoldSomething) {
  MemoryPlatform platform;
  platform.put("/f/saved", "saved");
  platform.put("/f/current", "current");
  platform.put("/f/folder/inside", "x");
  EXPECT_TRUE(platform.renamePath("/f/saved", "/f/current"));
  EXPECT_EQ(platform.read("/f/current"), "saved");
  EXPECT_FALSE(platform.exists("/f/saved"));
  EXPECT_FALSE(platform.renamePath("/f/current", "/f/folder"));
  EXPECT_TRUE(platform.renamePath("/f/folder", "/f/moved"));
  EXPECT_EQ(platform.read("/f/moved/inside"), "x");
  EXPECT_TRUE(platform.copyTree("/f/moved", "/f/copy"));
  EXPECT_FALSE(platform.copyTree("/f/moved", "/f/copy"));
  EXPECT_EQ(platform.read("/f/copy/inside"), "x");
  EXPECT_TRUE(platform.removeTree("/f/moved"));
  EXPECT_FALSE(platform.exists("/f/moved/inside"));
}

TEST(MemoryPlatform, PrivateFoldersAndHostFilesLiveOutsideTheRoot) {
  MemoryPlatform platform;
  const auto folder = platform.makePrivateHostFolder(platform.temporaryFolder(), "corvane-repair-");
  ASSERT_TRUE(folder);
  EXPECT_TRUE(folder->starts_with(std::string(MemoryPlatform::kTemporary) + "/corvane-repair-"));
  EXPECT_TRUE(platform.writeHostFile(*folder + "/copy", "bytes"));
  EXPECT_FALSE(platform.removeHostFolder(*folder));
  EXPECT_TRUE(platform.removeHostFile(*folder + "/copy"));
  EXPECT_TRUE(platform.removeHostFolder(*folder));
  EXPECT_TRUE(platform.hostPathsUnder(std::string(MemoryPlatform::kTemporary)).empty());
}

TEST(MemoryPlatform, ToolsAndProgramsAreCallables) {
  MemoryPlatform platform;
  platform.putTool("/usr/sbin/scutil", "answer\n", 0);
  platform.putTool("/bin/false", "", 1);
  const ToolRun run = platform.runToolWithin(30, "/usr/sbin/scutil", {"--get", "x"});
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.output, "answer\n");
  EXPECT_EQ(platform.runTool("/bin/false", {}).exitStatus, 1);
  EXPECT_FALSE(platform.runTool("/bin/missing", {}).started);
  EXPECT_EQ(platform.toolRuns, (std::vector<std::string>{"/usr/sbin/scutil --get x", "/bin/false", "/bin/missing"}));
  platform.putProgram("/bundle/Mail", [](const std::vector<std::string>&) { return 4; });
  EXPECT_EQ(platform.launchProgram("/bundle/Mail"), 4);
  EXPECT_EQ(platform.launchProgram("/bundle/Other"), -1);
  platform.log("a change");
  EXPECT_EQ(platform.systemLogged, std::vector<std::string>{"a change"});
  EXPECT_EQ(platform.logged, std::vector<std::string>{"a change"});
}

}  // namespace
}  // namespace corvane

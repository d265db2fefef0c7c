// No path under a system root leads out of it, whatever links it meets.
#include "core/beneath_root.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "core/platform.h"
#include "support/memory_platform.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using testing::readHostFile;
using testing::TempFolder;

// A root at TOP/root with a folder "outside" of its own, beside the host's
// TOP/outside, and links of each kind that a host following them would take
// to TOP/outside.
class LinkedRoot {
 public:
  LinkedRoot() {
    top_.write("outside/secret", "SECRET");
    top_.write("outside/tool", "#!/bin/sh\ntouch \"" + top_.path() + "/tool-ran\"\n", true);
    top_.write("root/outside/mine", "MINE");
    top_.write("root/d/keep", "");
    link("..", "d/l1");  // the chain: l3 is TOP on the host
    link("d/l1/..", "l2");
    link("l2/..", "l3");
    link("d", "dl");
    link("dl/../../outside", "through");    // ".." through a link
    link(top_.path() + "/outside", "abs");  // absolute: a system path
    link("/outside", "abs2");
    link("loop2", "loop1");
    link("loop1", "loop2");
    link("../outside/secret", "secretlink");
    link("../../outside/mine", "minelink");
  }
  std::string root() const { return top_.path() + "/root"; }
  std::string outside() const { return top_.path() + "/outside"; }
  bool toolRan() const { return fs::exists(top_.path() + "/tool-ran"); }

 private:
  void link(const std::string& target, const std::string& at) const {
    fs::create_symlink(target, top_.path() + "/root/" + at);
  }
  TempFolder top_;
};

struct Case {
  std::string path;
  std::optional<std::string> bytes;  // what reading it gives: inside the root or nothing
};

const Case kCases[] = {
    {"/l3/outside/mine", "MINE"},
    {"/l3/outside/secret", std::nullopt},
    {"/l2/outside/secret", std::nullopt},
    {"/through/mine", "MINE"},
    {"/through/secret", std::nullopt},
    {"/abs/secret", std::nullopt},
    {"/abs2/mine", "MINE"},
    {"/abs2/secret", std::nullopt},
    {"/loop1/mine", std::nullopt},
    {"/secretlink", std::nullopt},
    {"/minelink", "MINE"},
};

TEST(BeneathRoot, TheKernelAndTheWalkResolveAlikeAndStayInside) {
  LinkedRoot linked;
  struct stat outsideSecret {};
  ASSERT_EQ(::stat((linked.outside() + "/secret").c_str(), &outsideSecret), 0);
  for (const Case& c : kCases) {
    for (const bool byWalk : {false, true}) {
      const UniqueFd fd = byWalk ? openBeneathByWalk(linked.root(), c.path, O_RDONLY, true)
                                 : openBeneath(linked.root(), c.path, O_RDONLY, true);
      EXPECT_EQ(static_cast<bool>(fd), c.bytes.has_value()) << c.path << (byWalk ? " (walk)" : "");
      struct stat st {};
      if (fd && ::fstat(fd.get(), &st) == 0) {
        EXPECT_NE(st.st_ino, outsideSecret.st_ino) << c.path;
      }
    }
    const std::optional<std::string> resolved = resolveBeneath(linked.root(), c.path, true);
    EXPECT_EQ(resolved, c.bytes ? std::optional<std::string>("/outside/mine") : std::nullopt) << c.path;
  }
  // A link at the end is opened itself when not followed.
  EXPECT_TRUE(openBeneathByWalk(linked.root(), "/secretlink", O_PATH, false));
  EXPECT_FALSE(openBeneathByWalk(linked.root(), "/secretlink", O_RDONLY, false));
  EXPECT_EQ(resolveBeneath(linked.root(), "/l3", true), "/");
}

TEST(BeneathRoot, NoPlatformReadLeavesTheRoot) {
  LinkedRoot linked;
  Platform platform({.root = linked.root(), .pauses = false, .syslog = false});
  for (const Case& c : kCases) {
    const std::string folder = c.path.substr(0, c.path.rfind('/'));
    EXPECT_EQ(platform.readFile(c.path), c.bytes) << c.path;
    EXPECT_EQ(platform.exists(c.path), c.bytes.has_value()) << c.path;
    // A link at the end is itself (entryKind follows none).
    const EntryKind kind = c.path.ends_with("link") ? EntryKind::link : c.bytes ? EntryKind::file : EntryKind::missing;
    EXPECT_EQ(platform.entryKind(c.path), kind) << c.path;
    EXPECT_EQ(platform.resolvedHostPath(c.path),
              c.bytes ? std::optional<std::string>(linked.root() + "/outside/mine") : std::nullopt)
        << c.path;
    if (!folder.empty()) {
      for (const auto& name : platform.listFolder(folder)) EXPECT_NE(name, "secret") << folder;
      for (const auto& entry : platform.listFolderEntries(folder)) EXPECT_NE(entry.name, "tool") << folder;
      EXPECT_FALSE(platform.isDirectory(folder) && !platform.exists(folder + "/mine")) << folder;
    }
  }
  EXPECT_EQ(platform.linkTarget("/abs"), linked.outside());  // a system path under the root
  EXPECT_EQ(platform.linkTarget("/l3"), "/");
  EXPECT_EQ(platform.linkTarget("/d/l1"), "/");
  for (const std::string tool : {"/l3/outside/tool", "/through/tool", "/abs/tool", "/abs2/tool"})
    EXPECT_FALSE(platform.runTool(tool, {}).started) << tool;
  EXPECT_FALSE(linked.toolRan());
}

TEST(BeneathRoot, NoPlatformWriteLeavesTheRoot) {
  LinkedRoot linked;
  Platform platform({.root = linked.root(), .pauses = false, .syslog = false});
  EXPECT_TRUE(platform.writeFile("/l3/outside/new", "x"));
  EXPECT_TRUE(platform.renamePath("/through/new", "/abs2/renamed"));
  EXPECT_TRUE(platform.copyTree("/l2/outside", "/through/../copied"));
  EXPECT_TRUE(platform.removeTree("/l3/outside/secret"));
  EXPECT_TRUE(platform.removeTree("/through/tool"));
  EXPECT_FALSE(platform.writeFile("/abs/secret", "overwritten"));
  EXPECT_FALSE(platform.writeFile("/loop1/file", "x"));

  EXPECT_EQ(readHostFile(linked.root() + "/outside/renamed"), "x");
  EXPECT_EQ(readHostFile(linked.root() + "/copied/mine"), "MINE");
  EXPECT_EQ(readHostFile(linked.outside() + "/secret"), "SECRET");
  EXPECT_TRUE(fs::exists(linked.outside() + "/tool"));
  std::vector<std::string> outsideNames;
  for (const auto& entry : fs::directory_iterator(linked.outside())) outsideNames.push_back(entry.path().filename());
  std::sort(outsideNames.begin(), outsideNames.end());
  EXPECT_EQ(outsideNames, (std::vector<std::string>{"secret", "tool"}));
}

TEST(BeneathRoot, TheMemoryPlatformNeverResolvesOutOfItsRoot) {
  testing::MemoryPlatform platform;
  platform.putHost(std::string(testing::MemoryPlatform::kTemporary) + "/outside/secret", "SECRET");
  platform.put("/outside/mine", "MINE");
  platform.makeFolder("/d");
  platform.putLink("/d/l1", "..");
  platform.putLink("/l2", "d/l1/..");
  platform.putLink("/l3", "l2/..");
  platform.putLink("/up", "../../tmp/outside");
  platform.putLink("/abs", "/outside");
  platform.putLink("/loop1", "loop2");
  platform.putLink("/loop2", "loop1");
  const Case cases[] = {
      {"/l3/outside/mine", "MINE"},  {"/l3/../tmp/outside/secret", std::nullopt},
      {"/up/secret", std::nullopt},  {"/abs/mine", "MINE"},
      {"/loop1/mine", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform.readFile(c.path), c.bytes) << c.path;
    EXPECT_EQ(platform.exists(c.path), c.bytes.has_value()) << c.path;
  }
  EXPECT_TRUE(platform.listFolder("/up").empty());
  EXPECT_EQ(platform.linkTarget("/up"), "/tmp/outside");
  EXPECT_FALSE(platform.writeFile("/up/secret", "overwritten"));
  EXPECT_TRUE(platform.writeFile("/l3/outside/new", "x"));
  EXPECT_EQ(platform.read("/outside/new"), "x");
  EXPECT_EQ(platform.readHost(std::string(testing::MemoryPlatform::kTemporary) + "/outside/secret"), "SECRET");
}

}  // namespace
}  // namespace corvane

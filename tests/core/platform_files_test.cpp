#include "core/platform_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "support/temp_folder.h"

namespace corvane {
namespace {

using testing::readHostFile;
using testing::TempFolder;

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

unsigned modeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(WriteHostFileAtomically, ReplacesTheFileWithTheModeAndLeavesNothingBeside) {
  TempFolder folder;
  const std::string file = folder.write("store.plist", "old");
  ASSERT_TRUE(writeHostFileAtomically(file, "new bytes", 0755));
  EXPECT_EQ(readHostFile(file), "new bytes");
  EXPECT_EQ(modeOf(file), 0755u);
  EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"store.plist"});
}

TEST(WriteHostFileAtomically, NeverWritesThroughALinkInItsPlace) {
  TempFolder folder;
  const std::string elsewhere = folder.write("elsewhere", "keep");
  const std::string file = folder.path() + "/link";
  std::filesystem::create_symlink(elsewhere, file);
  ASSERT_TRUE(writeHostFileAtomically(file, "new"));
  EXPECT_EQ(readHostFile(elsewhere), "keep");
  EXPECT_FALSE(std::filesystem::is_symlink(file));
  EXPECT_EQ(readHostFile(file), "new");
}

TEST(WriteHostFileAtomically, FailsWithAReasonAndLeavesTheTargetAlone) {
  TempFolder folder;
  const std::string target = folder.path() + "/a folder";
  std::filesystem::create_directories(target + "/inside");
  std::string why;
  EXPECT_FALSE(writeHostFileAtomically(target, "bytes", 0644, &why));
  EXPECT_NE(why.find(target), std::string::npos) << why;
  EXPECT_TRUE(std::filesystem::is_directory(target + "/inside"));
  EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"a folder"});
  EXPECT_FALSE(writeHostFileAtomically(folder.path() + "/missing/file", "bytes", 0644, &why));
}

// Writes beyond a few bytes fail as on a full disk, in this process, while
// the object lives.
class FullDisk {
 public:
  FullDisk() {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved_;
    tiny.rlim_cur = 64;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
  }
  ~FullDisk() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

TEST(WriteHostFileAtomically, OnAFullDiskFailsWithAReasonAndLeavesTheOldFile) {
  TempFolder folder;
  const std::string file = folder.write("store.plist", "old");
  std::string why;
  bool written = true;
  {
    FullDisk disk;
    written = writeHostFileAtomically(file, std::string(4096, 'x'), 0644, &why);
  }
  EXPECT_FALSE(written);
  EXPECT_NE(why.find(file), std::string::npos) << why;
  EXPECT_EQ(readHostFile(file), "old");
  EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"store.plist"});
}

TEST(MakePrivateHostFolder, OnlyTheOwnerMayEnterIt) {
  TempFolder folder;
  const auto made = makePrivateHostFolder(folder.path(), "corvane-repair-");
  ASSERT_TRUE(made);
  EXPECT_EQ(std::filesystem::path(*made).parent_path(), folder.path());
  EXPECT_TRUE(std::filesystem::path(*made).filename().string().starts_with("corvane-repair-"));
  EXPECT_EQ(modeOf(*made), 0700u);
}

TEST(MakePrivateHostFolder, FailsWithAReasonWhereNothingCanBeMade) {
  // Nothing can be made in /proc/self, not even by root.
  const std::string unwritable = ::geteuid() == 0 ? "/proc/self" : "/";
  std::string why;
  EXPECT_FALSE(makePrivateHostFolder(unwritable, "corvane-repair-", &why));
  EXPECT_NE(why.find(unwritable), std::string::npos) << why;
}

TEST(RemoveHostTree, RemovesFoldersWithoutWritePermission) {
  TempFolder folder;
  folder.write("tree/locked/file", "x");
  std::filesystem::permissions(folder.path() + "/tree/locked",
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_TRUE(removeHostTree(folder.path() + "/tree"));
  EXPECT_FALSE(std::filesystem::exists(folder.path() + "/tree"));
  EXPECT_TRUE(removeHostTree(folder.path() + "/never there"));
}

TEST(LaunchHostProgram, GivesTheExitStatusOrMinusOne) {
  TempFolder folder;
  const std::string program = folder.write("program", "#!/bin/sh\nexit \"$1\"\n", true);
  EXPECT_EQ(launchHostProgram(program, {"3"}), 3);
  EXPECT_EQ(launchHostProgram(program, {"0"}), 0);
  EXPECT_EQ(launchHostProgram(folder.path() + "/missing"), -1);
}

}  // namespace
}  // namespace corvane

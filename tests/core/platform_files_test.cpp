#include "core/platform_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

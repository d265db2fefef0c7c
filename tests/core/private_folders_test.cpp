// Private folders: removed with their owner or by removePrivateFolders, and
// a later run removes only those whose owner surely is gone.

#include "core/private_folders.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/capture_archive.h"
#include "core/platform_files.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// A process id that runs no more: a child that has exited and been reaped.
long endedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

TEST(PrivateFolders, OwnerAndRemoveAllRemoveTheFolder) {
  TempFolder parent;
  auto folder = PrivateFolder::make(parent.path(), "corvane-test-");
  ASSERT_NE(folder, nullptr);
  EXPECT_TRUE(fs::path(folder->path()).filename().string().starts_with(ownedPrefix("corvane-test-")));
  EXPECT_EQ(fs::status(folder->path()).permissions() & fs::perms::all, fs::perms::owner_all);
  parent.write(fs::relative(folder->path(), parent.path()).string() + "/a/b", "data");
  removePrivateFolders();
  EXPECT_FALSE(fs::exists(folder->path()));

  const std::string second = PrivateFolder::make(parent.path(), "corvane-test-")->path();
  EXPECT_FALSE(fs::exists(second));  // the owner went at the end of the statement
}

TEST(PrivateFolders, OnlyFoldersSurelyLeftOverAreRemoved) {
  TempFolder parent;
  const std::string dead = std::to_string(endedProcess());
  const std::string running = std::to_string(::getppid());
  struct LeftOverCase {
    std::string name;
    bool removed;
  } cases[] = {
      {"corvane-x-" + dead + "-abcdef", true},
      {"corvane-x-" + running + "-abcdef", false},  // its owner runs
      {"corvane-x-" + dead + "-abc", false},        // not a name we make
      {"corvane-y-" + dead + "-abcdef", false},     // another prefix
      {"corvane-x-abcdef", false},
  };
  for (const auto& c : cases) fs::create_directory(parent.path() + "/" + c.name);
  // A link of our name is not followed, whatever it points at.
  TempFolder elsewhere;
  fs::create_directory_symlink(elsewhere.path(), parent.path() + "/corvane-x-" + dead + "-linked");
  // A folder locked by a live owner stays even when its name's process is gone.
  const std::string locked = parent.path() + "/corvane-x-" + dead + "-locked";
  fs::create_directory(locked);
  const int lock = lockHostFolder(locked);
  ASSERT_GE(lock, 0);

  removeAbandonedFolders(parent.path(), "corvane-x-");
  for (const auto& c : cases) EXPECT_EQ(!fs::exists(parent.path() + "/" + c.name), c.removed) << c.name;
  EXPECT_TRUE(fs::exists(elsewhere.path()));
  EXPECT_TRUE(fs::is_symlink(parent.path() + "/corvane-x-" + dead + "-linked"));
  EXPECT_TRUE(fs::exists(locked));
  unlockHostFolder(lock);
  removeAbandonedFolders(parent.path(), "corvane-x-");
  EXPECT_FALSE(fs::exists(locked));
}

// The library leaves the signals to the front end.
TEST(PrivateFolders, OpeningAnArchiveInstallsNoSignalHandler) {
  TempFolder scratch;
  std::string failure;
  openRootForReading(scratch.write("junk.tar.gz", "not an archive"), failure);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
    struct sigaction action {};
    ::sigaction(signal, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_DFL) << signal;
  }
}

}  // namespace
}  // namespace corvane

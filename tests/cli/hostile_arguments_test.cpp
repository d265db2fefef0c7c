// corvane-cli given what it cannot use (a missing file, a folder for a file,
// a file it cannot read, binary garbage, a wrong option) answers with one
// line saying what is wrong (after the program's name) and a non-zero status: 2 for usage errors. Never
// a crash, a stack trace or an exception's text.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

using testing::TempFolder;

using testing::CliRun;

CliRun runCli(const std::vector<std::string>& args, const TempFolder&) { return testing::runCorvaneCli(args); }

std::string garbage(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (auto& b : bytes) b = static_cast<char>(random() & 0xFF);
  return bytes;
}

// A file that cannot be read, even by root: reading the program's own memory
// from offset 0 fails.
std::string unreadableFile(const TempFolder& folder) {
  if (::geteuid() == 0) return "/proc/self/mem";
  const std::string path = folder.write("unreadable.idx", "secret");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  return path;
}

struct Case {
  std::vector<std::string> args;
  int status;           // the exit status expected
  std::string mention;  // a text the message names
};

class HostileArguments : public ::testing::Test {
 protected:
  void SetUp() override {
    missing = folder.path() + "/missing.idx";
    dir = folder.path() + "/a-folder";
    std::filesystem::create_directories(dir);
    unreadable = unreadableFile(folder);
    junk = folder.write("junk.idx", garbage(4096, 7));
    fifo = folder.path() + "/fifo.idx";  // reading it would wait for a writer forever
    ::mkfifo(fifo.c_str(), 0600);
    // A system whose store and tool outputs are garbage.
    junkRoot = folder.path() + "/junk-root";
    folder.write("junk-root/System/Library/CoreServices/SystemVersion.plist", garbage(300, 1));
    folder.write("junk-root/Library/Preferences/SystemConfiguration/preferences.plist", garbage(5000, 2));
    folder.write("junk-root/private/var/db/SystemConfiguration/preferences.xml", garbage(5000, 3));
    settings = folder.write("settings.txt", "app_title=Quorvalin\ntcp=DHCP\n");
  }

  void expectOneLineFailure(const Case& c) {
    std::string shown;
    for (const auto& a : c.args) shown += " " + a;
    const CliRun run = runCli(c.args, folder);
    EXPECT_EQ(run.status, c.status) << shown << "\nstderr: " << run.err;
    ASSERT_FALSE(run.err.empty()) << shown;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << shown << ": not one line:\n" << run.err;
    EXPECT_TRUE(run.err.starts_with("corvane-cli")) << shown << ": " << run.err;
    EXPECT_NE(run.err.find(c.mention), std::string::npos)
        << shown << ": does not mention " << c.mention << ": " << run.err;
    for (const char* crash : {"terminate called", "what()", "Sanitizer", "Aborted", "Segmentation"})
      EXPECT_EQ(run.err.find(crash), std::string::npos) << shown << ": " << run.err;
  }

  TempFolder folder;
  std::string missing, dir, unreadable, junk, fifo, junkRoot, settings;
};

TEST_F(HostileArguments, FileArgumentsThatCannotBeUsed) {
  const std::string out = folder.path() + "/out.idx";
  const Case cases[] = {
      {{"provider", "show", missing}, 1, missing},
      {{"provider", "show", dir}, 1, dir},
      {{"provider", "show", unreadable}, 1, unreadable},
      {{"provider", "show", junk}, 1, junk},
      {{"provider", "show", fifo}, 1, fifo},
      {{"provider", "lines", missing}, 1, missing},
      {{"provider", "lines", dir}, 1, dir},
      {{"provider", "lines", unreadable}, 1, unreadable},
      {{"provider", "lines", junk}, 1, junk},
      {{"provider", "encode", missing, out}, 1, missing},
      {{"provider", "encode", dir, out}, 1, dir},
      {{"provider", "encode", unreadable, out}, 1, unreadable},
      {{"provider", "encode", junk, out}, 1, junk},
      {{"provider", "encode", fifo, out}, 1, fifo},
      {{"provider", "encode", settings, dir}, 1, dir},
      {{"provider", "encode", settings, missing + "/inside/out.idx"}, 1, missing},
  };
  for (const auto& c : cases) expectOneLineFailure(c);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(HostileArguments, SystemRootsThatCannotBeUsed) {
  std::vector<Case> cases;
  const std::vector<std::vector<std::string>> commands = {
      {"inspect", "network"},
      {"inspect", "tcpip"},
      {"inspect", "system"},
      {"inspect", "hardware"},
      {"inspect", "browsers"},
      {"inspect", "mail"},
      {"repair"},
      {"check"},
  };
  for (auto command : commands) {
    for (const auto& [root, mention] : {std::pair{missing, missing}, std::pair{junk, junk}}) {
      auto args = command;
      args.insert(args.end(), {"--root", root});
      cases.push_back({args, 2, mention});
    }
  }
  cases.push_back({{"check", "--bundle", missing}, 2, missing});
  cases.push_back({{"check", "--bundle", junk}, 2, junk});
  // A system whose store is garbage has nothing to repair and nothing to undo.
  cases.push_back({{"repair", "--root", junkRoot, "--yes", "--no-pause"}, 1, "store"});
  cases.push_back({{"repair", "--root", junkRoot, "--undo"}, 1, "backup"});
  for (const auto& c : cases) expectOneLineFailure(c);
}

TEST_F(HostileArguments, WrongOptionsAreUsageErrors) {
  const Case cases[] = {
      {{}, 2, "subcommand"},
      {{"no-such-command"}, 2, "unknown command: no-such-command"},
      {{"inspect", "network", "--bogus"}, 2, "--bogus"},
      {{"inspect", "mail", "--root"}, 2, "--root"},
      {{"provider", "show"}, 2, "FILE"},
      {{"provider", "encode", "--format", "9", settings, folder.path() + "/x.idx"}, 2, "9"},
      {{"repair", "--bogus"}, 2, "--bogus"},
      {{"check", "--repair", "maybe"}, 2, "maybe"},
      {{"check", "--lang", "xx"}, 2, "xx"},
  };
  for (const auto& c : cases) expectOneLineFailure(c);
}

// Tool outputs and stores of garbage are read as the documented empty
// results: the inspect commands answer, they do not fail or crash.
TEST_F(HostileArguments, GarbageSystemIsReadAsEmpty) {
  for (const char* what : {"network", "tcpip", "system", "hardware", "browsers", "mail"}) {
    const CliRun run = runCli({"inspect", what, "--root", junkRoot}, folder);
    EXPECT_EQ(run.status, 0) << what << ": " << run.err;
    EXPECT_FALSE(run.out.empty()) << what;
  }
}

}  // namespace
}  // namespace corvane

// corvane-cli as a new user meets it: --version, help, and a mistyped command
// or option answered with one line naming it and exit status 2.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/sysroot_path.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

using testing::TempFolder;

using testing::CliRun;

CliRun runCli(const std::vector<std::string>& args) { return testing::runCorvaneCli(args); }

TEST(Usage, VersionPrintsTheVersion) {
  CliRun run = runCli({"--version"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string("corvane-cli ") + CORVANE_VERSION + "\n");
}

TEST(Usage, AnAnswerThatCannotBeWrittenIsAFailure) {
  const std::string root = testing::sysrootPath("net-10.6.8");
  const std::string idx = std::string(CORVANE_BUNDLE) + "/Contents/Resources/Corvane.idx";
  const std::vector<std::vector<std::string>> commands = {
      {"--version"},
      {"help"},
      {"help", "repair"},
      {"inspect", "network", "--root", root},
      {"inspect", "network", "--raw", "--root", root},
      {"inspect", "system", "--root", root},
      {"repair", "--backups", "--root", root},
      {"provider", "show", idx},
  };
  for (const auto& args : commands) {
    std::string shown;
    for (const auto& arg : args) shown += arg + " ";
    // The same command writes its answer where it can.
    ASSERT_FALSE(runCli(args).out.empty()) << shown;
    testing::CliRunOptions toFullDisk;
    toFullDisk.outputFile = "/dev/full";
    const CliRun run = testing::runCorvaneCli(args, toFullDisk);
    EXPECT_EQ(run.status, 1) << shown;
    EXPECT_NE(run.err.find("could not be written"), std::string::npos) << shown << run.err;
  }
}

TEST(Usage, HelpNamesTheCommandsAndTheExitStatuses) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"help"}, {"--help"}}) {
    CliRun run = runCli(args);
    EXPECT_EQ(run.status, 0) << args[0];
    for (const char* word : {"check", "inspect", "repair", "provider", "Exit status", "2  usage"})
      EXPECT_NE(run.out.find(word), std::string::npos) << args[0] << ": " << word;
  }
}

TEST(Usage, HelpOfACommandIsThatCommandsHelp) {
  CliRun check = runCli({"help", "check"});
  EXPECT_EQ(check.status, 0);
  EXPECT_NE(check.out.find("--line-only"), std::string::npos) << check.out;
  CliRun network = runCli({"help", "inspect", "network"});
  EXPECT_EQ(network.status, 0);
  EXPECT_NE(network.out.find("--raw"), std::string::npos) << network.out;
}

TEST(Usage, MistakesAreOneLineNamingTheWordAndStatusTwo) {
  struct Case {
    std::vector<std::string> args;
    std::string line;
  } cases[] = {
      {{"bogus"}, "corvane-cli: unknown command: bogus\n"},
      {{"inspect", "bogus"}, "corvane-cli: unknown command: bogus\n"},
      {{"help", "bogus"}, "corvane-cli: unknown command: bogus\n"},
      {{"check", "--bogus"}, "corvane-cli: unknown option: --bogus\n"},
      {{"--bogus"}, "corvane-cli: unknown option: --bogus\n"},
      {{"check", "--root", "/", "extra"}, "corvane-cli: unexpected argument: extra\n"},
  };
  for (const auto& c : cases) {
    CliRun run = runCli(c.args);
    EXPECT_EQ(run.status, 2) << c.line;
    EXPECT_EQ(run.err, c.line);
    EXPECT_EQ(run.out, "");
  }
}

TEST(Usage, AnOptionsValueIsNotTakenForACommand) {
  // "inspect" here is the value of --root, a folder that does not exist.
  CliRun run = runCli({"check", "--root", "inspect"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.find("unknown command"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace corvane

// Where the time of a check goes: the figures of corvane-cli check --timings.

#include "cli/check_timings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "support/cli_runner.h"
#include "support/sysroot_path.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

using Json = nlohmann::ordered_json;
using cli::CheckTimings;

TEST(CheckTimings, OwnTimeIsWhatTheWaitsLeave) {
  CheckTimings timings;
  timings.startSequence();
  timings.rowChecking(Row::Network);
  timings.addToolRun({"/sbin/ifconfig", {"-au"}, 0.002});
  timings.addToolRun({"/bin/ps", {"-a"}, 0.001});
  timings.addPause(0.004);
  timings.addDialog(0.003);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  timings.rowDone(Row::Network);
  timings.rowDone(Row::Tcpip);  // never set to "check": no figure
  timings.endSequence();

  Json figures = timings.json();
  const double total = figures["total"];
  EXPECT_GE(total, 0.020);
  EXPECT_DOUBLE_EQ(figures["toolRunsTotal"].get<double>(), 0.003);
  EXPECT_DOUBLE_EQ(figures["download"].get<double>(), 0.0);
  EXPECT_NEAR(figures["own"].get<double>(), total - 0.004 - 0.003 - 0.003, 1e-12);
  EXPECT_NEAR(figures["ownShare"].get<double>(), figures["own"].get<double>() / total, 1e-12);
  EXPECT_TRUE(figures["rows"].contains("network"));
  EXPECT_FALSE(figures["rows"].contains("tcpip"));
  EXPECT_EQ(figures["toolRuns"][0], (Json{{"tool", "/sbin/ifconfig"}, {"args", {"-au"}}, {"seconds", 0.002}}));
}

TEST(CheckTimings, ARowCheckedAgainAddsToItsTime) {
  CheckTimings timings;
  for (int run = 0; run < 2; ++run) {
    timings.rowChecking(Row::Tcpip);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    timings.rowDone(Row::Tcpip);
  }
  EXPECT_GE(timings.json()["rows"]["tcpip"].get<double>(), 0.020);
}

TEST(CheckTimings, ADownloadThatNeverReportsLastsUntilTheSequenceEnds) {
  CheckTimings timings;
  timings.startSequence();
  timings.downloadStarted();
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  timings.endSequence();
  const Json figures = timings.json();
  EXPECT_GE(figures["download"].get<double>(), 0.010);
  EXPECT_LE(figures["download"].get<double>(), figures["total"].get<double>());
}

TEST(CheckTimings, TheCheckReportsEveryToolRunAndRow) {
  TempFolder system;
  std::filesystem::copy(testing::sysrootPath("net-10.6.8"), system.path(), std::filesystem::copy_options::recursive);
  TempFolder temporary;  // where the line check saves its download
  const CliRunOptions options{.environment = {{"TMPDIR", temporary.path()}}};
  std::vector<std::string> args = {"check",    "--root", system.path(), "--bundle", CORVANE_BUNDLE, "--no-pause",
                                   "--repair", "no",     "--lang",      "C",        "--json"};
  Json plain = Json::parse(runCorvaneCli(args, options).out);
  EXPECT_FALSE(plain.contains("timings"));

  args.push_back("--timings");
  const CliRun timed = runCorvaneCli(args, options);
  Json report = Json::parse(timed.out);
  EXPECT_EQ(timed.status, 1);  // the captured system's faults
  const Json& timings = report["timings"];
  double tools = 0;
  bool ifconfig = false;
  for (const auto& run : timings["toolRuns"]) {
    tools += run["seconds"].get<double>();
    ifconfig |= run["tool"] == "/sbin/ifconfig" && run["args"] == Json{"-au"};
  }
  EXPECT_TRUE(ifconfig);
  EXPECT_NEAR(timings["toolRunsTotal"].get<double>(), tools, 1e-9);
  EXPECT_LE(tools, timings["total"].get<double>());
  EXPECT_NEAR(timings["own"].get<double>(),
              timings["total"].get<double>() - timings["pauses"].get<double>() - timings["dialogs"].get<double>() -
                  tools - timings["download"].get<double>(),
              1e-9);
  for (const char* row : {"system", "hardware", "network", "tcpip", "browser", "mail"})
    EXPECT_TRUE(timings["rows"].contains(row)) << row;
}

}  // namespace
}  // namespace corvane::testing

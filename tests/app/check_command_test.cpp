// corvane-cli check as a program: options, exit status and the JSON report.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

struct CliRun {
  int status = -1;
  std::string output;
};

// Runs corvane-cli with the arguments, standard input from /dev/null.
CliRun corvaneCli(const std::string& arguments) {
  static TempFolder temporary;  // where line checks save their download
  std::string command = "TMPDIR=" + temporary.path() + " " + std::string(CORVANE_BINARY_DIR) + "/src/cli/corvane-cli " + arguments + " </dev/null 2>/dev/null";
  CliRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class CheckCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(std::string(CORVANE_TESTDATA) + "/sysroots/demo", system.path(),
                          std::filesystem::copy_options::recursive);
  }
  std::string common() const {
    return "check --root " + system.path() + " --bundle " + CORVANE_BUNDLE + " --no-pause --lang C";
  }
  TempFolder system;
};

TEST_F(CheckCommand, UsageErrorsExitWithTwo) {
  for (std::string bad : {"check --repair maybe", "check --lang fr", "check --root /no/such/folder", "check extra"})
    EXPECT_EQ(corvaneCli(bad).status, 2) << bad;
}

TEST_F(CheckCommand, JsonReportOfAFaultWithoutTerminalAnswersNo) {
  std::string before = readHostFile(system.path() + "/Library/Preferences/SystemConfiguration/preferences.plist");
  CliRun run = corvaneCli(common() + " --json --details");
  EXPECT_EQ(run.status, 1);
  auto report = nlohmann::ordered_json::parse(run.output);
  EXPECT_EQ(report["title"], "Quorvalin光 インターネット接続診断");
  std::vector<std::string> rows;
  for (const auto& [name, row] : report["rows"].items()) rows.push_back(name);
  EXPECT_EQ(rows, (std::vector<std::string>{"system", "hardware", "network", "tcpip", "browser", "mail", "line"}));
  EXPECT_EQ(report["rows"]["network"]["code"], "03017");
  std::vector<nlohmann::ordered_json> offers;
  for (const auto& e : report["events"])
    if (e["event"] == "offer") offers.push_back(e);
  ASSERT_EQ(offers.size(), 1u);
  EXPECT_EQ(offers[0]["answer"], 0);  // "ask" without a terminal
  EXPECT_EQ(report["details"]["network"]["current"], "Automatic");
  EXPECT_EQ(report["details"]["mail"]["accounts"][0]["pop"], "pop.example.net");
  EXPECT_EQ(report["details"]["tcpip"]["ports"][0]["ipaddress"], "192.168.1.23");
  EXPECT_EQ(readHostFile(system.path() + "/Library/Preferences/SystemConfiguration/preferences.plist"), before);
}

TEST(CheckCommandDetails, EachPortShowsItsOwnTcpipRecord) {
  // The location orders Ethernet, a service the store lacks, then AirPort.
  CliRun run = corvaneCli("check --root " + std::string(CORVANE_TESTDATA) +
                          "/sysroots/net-10.2.8-dangling-service --bundle " + CORVANE_BUNDLE +
                          " --no-pause --lang C --json --details --repair no");
  auto report = nlohmann::ordered_json::parse(run.output);
  const auto& ports = report["details"]["tcpip"]["ports"];
  ASSERT_EQ(ports.size(), 3u) << run.output;
  EXPECT_EQ(ports[0]["name"], "Built-in Ethernet");
  EXPECT_EQ(ports[0]["ipaddress"], "192.168.1.23");
  EXPECT_EQ(ports[1]["name"], "");
  for (const char* field : {"use", "ipaddress", "subnetmask", "router", "dnsInUse", "ipv6address"})
    EXPECT_EQ(ports[1][field], "") << field;
  EXPECT_EQ(ports[2]["name"], "AirPort");
  EXPECT_EQ(ports[2]["ipaddress"], "10.0.1.2");
  EXPECT_EQ(ports[2]["subnetmask"], "255.255.255.0");
  EXPECT_EQ(ports[2]["router"], "10.0.1.255");
  EXPECT_EQ(ports[2]["dnsInUse"], "10.0.1.1");
}

TEST_F(CheckCommand, LineCheckAloneWithoutWebEngine) {
  std::filesystem::remove_all(system.path() + "/System/Library/Frameworks/WebKit.framework");
  CliRun run = corvaneCli(common() + " --line-only --json");
  EXPECT_EQ(run.status, 1);
  auto report = nlohmann::ordered_json::parse(run.output);
  EXPECT_EQ(report["rows"]["line"], (nlohmann::ordered_json{{"image", "before"}, {"text", ""}, {"code", "07012"}}));
  EXPECT_EQ(report["rows"]["network"]["image"], "before");
  EXPECT_EQ(report["events"], nlohmann::ordered_json::parse(R"([
    {"event":"arm","enabled":true}, {"event":"arm","enabled":false},
    {"event":"alert","message":"NoURLCheck"}, {"event":"arm","enabled":true}])"));
}

TEST_F(CheckCommand, TextModeShowsRowsInTheChosenLanguage) {
  std::filesystem::remove_all(system.path() + "/System/Library/Frameworks/WebKit.framework");
  CliRun japanese = corvaneCli("check --root " + system.path() + " --bundle " + CORVANE_BUNDLE +
                            " --no-pause --lang ja --repair no");
  EXPECT_EQ(japanese.status, 1);
  EXPECT_NE(japanese.output.find("プロキシ : あり"), std::string::npos) << japanese.output;
  EXPECT_NE(japanese.output.find("07012"), std::string::npos);
}

}  // namespace
}  // namespace corvane::testing

// corvane-cli check as a program: options, exit status and the JSON report.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "core/display_width.h"
#include "support/cli_runner.h"
#include "support/sysroot_path.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

using Args = std::vector<std::string>;

// Runs corvane-cli with the arguments, standard input empty; line checks save
// their download in a temporary folder of the tests.
CliRun corvaneCli(const Args& args) {
  static TempFolder temporary;
  return runCorvaneCli(args, {.environment = {{"TMPDIR", temporary.path()}}});
}

class CheckCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(testing::sysrootPath("demo"), system.path(), std::filesystem::copy_options::recursive);
  }
  Args common(const std::string& language = "C") const {
    return {"check", "--root", system.path(), "--bundle", CORVANE_BUNDLE, "--no-pause", "--lang", language};
  }
  TempFolder system;
};

TEST_F(CheckCommand, UsageErrorsExitWithTwo) {
  const Args bad[] = {{"check", "--repair", "maybe"},
                      {"check", "--lang", "fr"},
                      {"check", "--root", "/no/such/folder"},
                      {"check", "extra"}};
  for (const Args& args : bad) EXPECT_EQ(corvaneCli(args).status, 2) << args.back();
}

TEST_F(CheckCommand, JsonReportOfAFaultWithoutTerminalAnswersNo) {
  std::string before = readHostFile(system.path() + "/Library/Preferences/SystemConfiguration/preferences.plist");
  CliRun run = corvaneCli(common() + Args{"--json", "--details"});
  EXPECT_EQ(run.status, 1);
  auto report = nlohmann::ordered_json::parse(run.out);
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
  EXPECT_EQ(report["providerSettings"], true);
  EXPECT_EQ(offers[0]["plan"]["location"], "Quorvalin");  // what the repair would do
  EXPECT_EQ(report["details"]["network"]["current"], "Automatic");
  EXPECT_EQ(report["details"]["mail"]["accounts"][0]["pop"], "pop.example.net");
  EXPECT_EQ(report["details"]["tcpip"]["ports"][0]["ipaddress"], "192.168.1.23");
  EXPECT_EQ(readHostFile(system.path() + "/Library/Preferences/SystemConfiguration/preferences.plist"), before);
}

TEST_F(CheckCommand, WithoutProviderSettingsTheChecksRunAndNothingIsOffered) {
  TempFolder emptyBundle;
  CliRun run = corvaneCli({"check", "--root", system.path(), "--bundle", emptyBundle.path(), "--no-pause", "--lang",
                           "C", "--json", "--repair", "yes"});
  auto report = nlohmann::ordered_json::parse(run.out);
  EXPECT_EQ(report["providerSettings"], false);
  EXPECT_EQ(report["rows"]["network"]["image"], "err");
  for (const auto& e : report["events"]) EXPECT_NE(e["event"], "offer") << e.dump();
}

TEST(CheckCommandDetails, EachPortShowsItsOwnTcpipRecord) {
  // The location orders Ethernet, a service the store lacks, then AirPort.
  CliRun run = corvaneCli({"check", "--root", testing::sysrootPath("net-10.2.8-dangling-service"), "--bundle",
                           CORVANE_BUNDLE, "--no-pause", "--lang", "C", "--json", "--details", "--repair", "no"});
  auto report = nlohmann::ordered_json::parse(run.out);
  const auto& ports = report["details"]["tcpip"]["ports"];
  ASSERT_EQ(ports.size(), 3u) << run.out;
  EXPECT_EQ(ports[0]["name"], "Built-in Ethernet");
  EXPECT_EQ(ports[0]["ipaddress"], "192.168.1.23");
  EXPECT_EQ(ports[1]["name"], "");
  for (const char* field : {"use", "ipaddress", "subnetmask", "broadcast", "dnsInUse", "ipv6address"})
    EXPECT_TRUE(ports[1][field] == "" || ports[1][field].is_null()) << field << ": " << ports[1][field];
  EXPECT_EQ(ports[2]["name"], "AirPort");
  EXPECT_EQ(ports[2]["ipaddress"], "10.0.1.2");
  EXPECT_EQ(ports[2]["subnetmask"], "255.255.255.0");
  EXPECT_EQ(ports[2]["broadcast"], "10.0.1.255");
  EXPECT_EQ(ports[2]["dnsInUse"], "10.0.1.1");
}

TEST_F(CheckCommand, LineCheckAloneWithoutWebEngine) {
  std::filesystem::remove_all(system.path() + "/System/Library/Frameworks/WebKit.framework");
  CliRun run = corvaneCli(common() + Args{"--line-only", "--json"});
  EXPECT_EQ(run.status, 1);
  auto report = nlohmann::ordered_json::parse(run.out);
  const auto& line = report["rows"]["line"];
  EXPECT_EQ(line["image"], "before");
  EXPECT_EQ(line["text"], "");
  EXPECT_EQ(line["code"], "07012");
  EXPECT_EQ(line["status"], "err");
  EXPECT_EQ(line["cause"], "noWebEngine");
  EXPECT_EQ(report["rows"]["network"]["image"], "before");
  EXPECT_EQ(report["events"], nlohmann::ordered_json::parse(R"([
    {"event":"arm","enabled":true}, {"event":"arm","enabled":false},
    {"event":"alert","message":"NoURLCheck"}, {"event":"arm","enabled":true}])"));
}

// The column where the second field of each table line starts on screen.
std::vector<size_t> valueColumns(const std::string& text, const std::string& firstLine) {
  std::vector<size_t> columns;
  size_t start = text.find(firstLine);
  if (start == std::string::npos) return columns;
  std::istringstream lines(text.substr(start + firstLine.size()));
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line) && line.starts_with("    ")) {
    // Two-column rows: name, padding, value; a row without a value has none.
    size_t gap = line.find_first_not_of(' ', 4);
    gap = line.find("  ", gap);
    if (gap == std::string::npos) continue;
    size_t value = line.find_first_not_of(' ', gap);
    if (value == std::string::npos) continue;
    columns.push_back(displayWidth(line.substr(0, value)));
  }
  return columns;
}

TEST_F(CheckCommand, JapaneseOfferTableLinesUpOnScreen) {
  CliRun run = corvaneCli(common("ja") + Args{"--repair", "no"});
  std::vector<size_t> columns = valueColumns(run.out, "推奨設定に変更しますか？");
  ASSERT_GE(columns.size(), 3u) << run.out;
  for (size_t column : columns) EXPECT_EQ(column, columns.front()) << run.out;
  EXPECT_NE(run.out.find("除外するホスト"), std::string::npos);
}

TEST_F(CheckCommand, ControlCharactersFromTheStoreAreShownEscaped) {
  // A proxy exception with an escape sequence that would clear the terminal.
  std::string store = system.path() + "/Library/Preferences/SystemConfiguration/preferences.plist";
  std::string text = readHostFile(store);
  const std::string exception = "<string>intranet.example.com</string>";
  size_t at = text.find(exception);
  ASSERT_NE(at, std::string::npos);
  text.replace(at, exception.size(), "<string>intra\x1b[2Jnet</string>");
  std::ofstream(store, std::ios::binary) << text;
  CliRun run = corvaneCli(common() + Args{"--repair", "no"});
  EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
  EXPECT_NE(run.out.find("intra\\e[2Jnet"), std::string::npos) << run.out;
}

TEST_F(CheckCommand, AServiceNameWithATerminalSequenceIsPrintedEscaped) {
  // A service named so that printing it raw would retitle the terminal.
  const std::string store = system.path() + "/Library/Preferences/SystemConfiguration/preferences.plist";
  std::string text = readHostFile(store);
  const std::string name = "<string>AirPort</string>";
  size_t renamed = 0;
  for (size_t at; (at = text.find(name)) != std::string::npos; ++renamed)
    text.replace(at, name.size(), "<string>Air\x1b]0;pwned\x07Port\x7f</string>");
  ASSERT_GT(renamed, 0u);
  std::ofstream(store, std::ios::binary) << text;

  struct Case {
    Args args;
    std::string shown;
  } cases[] = {
      {common("en") + Args{"--repair", "no"}, "Air\\e]0;pwned\\x07Port\\x7f"},
      {{"inspect", "network", "--root", system.path()}, "Air\\u001b]0;pwned\\u0007Port"},
      {{"repair", "--dry-run", "--root", system.path(), "--bundle", CORVANE_BUNDLE},
       "Air\\e]0;pwned\\x07Port\\x7f will be turned off."},
  };
  for (const auto& c : cases) {
    const CliRun run = corvaneCli(c.args);
    const std::string command = c.args[0] + " " + c.args[1];
    for (char control : {'\x1b', '\x07'}) {
      EXPECT_EQ(run.out.find(control), std::string::npos) << command << ": " << run.out;
      EXPECT_EQ(run.err.find(control), std::string::npos) << command << ": " << run.err;
    }
    EXPECT_NE(run.out.find(c.shown), std::string::npos) << command << ": " << run.out;
  }
}

TEST_F(CheckCommand, AcceptedRepairOfACaptureNamesTheKitCommandAndChangesNothing) {
  system.write("corvane-capture/manifest.txt",
               "capture-time: 2026-12-10T04:45:15Z\nhost: customer-mac\nscript-version: 2\n");
  system.write("corvane-capture/runs/.none", "");
  const std::string store = system.path() + "/Library/Preferences/SystemConfiguration/preferences.plist";
  const std::string before = readHostFile(store);
  const CliRun run = corvaneCli(common("en") + Args{"--repair", "yes"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("corvane-cli repair --root CAPTURE --kit DIR"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("The network settings were"), std::string::npos) << run.out;
  EXPECT_TRUE(readHostFile(store) == before);
}

TEST_F(CheckCommand, TextModeShowsRowsInTheChosenLanguage) {
  std::filesystem::remove_all(system.path() + "/System/Library/Frameworks/WebKit.framework");
  CliRun japanese = corvaneCli(common("ja") + Args{"--repair", "no"});
  EXPECT_EQ(japanese.status, 1);
  EXPECT_NE(japanese.out.find("プロキシ : あり"), std::string::npos) << japanese.out;
  EXPECT_NE(japanese.out.find("07012"), std::string::npos);
}

}  // namespace
}  // namespace corvane::testing

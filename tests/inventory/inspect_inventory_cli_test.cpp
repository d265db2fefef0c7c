// corvane-cli inspect system|hardware|browsers|mail on captured systems.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "captured_system.h"
#include "support/cli_runner.h"

namespace corvane {
namespace {

using nlohmann::json;
using testing::CapturedSystem;
using testing::CliRun;
using testing::runCorvaneCli;

json inspect(const char* what, const CapturedSystem& system, bool raw = false) {
  std::vector<std::string> args = {"inspect", what, "--root", system.root(), "--home", "/Users/user"};
  if (raw) args.push_back("--raw");
  CliRun run = runCorvaneCli(args);
  EXPECT_EQ(run.status, 0) << what << ": " << run.err;
  return json::parse(run.out, nullptr, false);
}

TEST(InspectInventoryCliTest, PrintsEachReadersResultAsJson) {
  CapturedSystem system("inv-10.11");
  json sys = inspect("system", system);
  EXPECT_EQ(sys["os"], "MacOSX 10.11.6");
  EXPECT_NE(sys["hdd"].get<std::string>().find(" GB / "), std::string::npos);

  json hardware = inspect("hardware", system);
  ASSERT_TRUE(hardware.is_array());
  ASSERT_EQ(hardware.size(), 1u);
  EXPECT_EQ(hardware[0]["cpu_type"], "Intel Core i7");
  EXPECT_EQ(hardware[0]["number_processors"], 2);

  EXPECT_EQ(inspect("browsers", system, true), json::parse(R"(["0", "11.1.2", "0", "60.9.0"])"));

  EXPECT_EQ(inspect("mail", system, true), json::parse(R"([
    "9.3", "3", "Provider POP",
    [["Provider POP", "hanako@example.jp", "Hanako Yamada", "hanako", "pop.example.jp", "smtp.example.jp"],
     ["Second POP", "", "Yamada", "yamada", "pop2.example.jp", ""],
     ["No properties", "", "", "", "", ""]]])"));
}

TEST(InspectInventoryCliTest, BrowsersAndMailHaveNamedFields) {
  CapturedSystem system("inv-10.11");
  EXPECT_EQ(inspect("browsers", system),
            json::parse(R"({"internetExplorer": null, "safari": "11.1.2", "netscape": null, "firefox": "60.9.0"})"));
  EXPECT_EQ(inspect("mail", system), json::parse(R"({"mailVersion": "9.3", "accountCount": 3, "accounts": [
    {"name": "Provider POP", "address": "hanako@example.jp", "fullName": "Hanako Yamada", "user": "hanako",
     "incomingServer": "pop.example.jp", "outgoingServer": "smtp.example.jp"},
    {"name": "Second POP", "address": null, "fullName": "Yamada", "user": "yamada",
     "incomingServer": "pop2.example.jp", "outgoingServer": null},
    {"name": "No properties", "address": null, "fullName": null, "user": null,
     "incomingServer": null, "outgoingServer": null}]})"));
  // The system and hardware readers name their fields already: --raw changes nothing.
  EXPECT_EQ(inspect("system", system, true)["os"], inspect("system", system)["os"]);
}

TEST(InspectInventoryCliTest, BrowsersInFoldersOfTheirOwn) {
  // Internet Explorer, Safari and Netscape each in a folder below /Applications.
  CapturedSystem system("inv-10.4-app-folders");
  EXPECT_EQ(inspect("browsers", system, true), json::parse(R"(["5.2.3", "3.0.4", "7.2", "2.0.0.20"])"));
  EXPECT_EQ(
      inspect("browsers", system),
      json::parse(R"({"internetExplorer": "5.2.3", "safari": "3.0.4", "netscape": "7.2", "firefox": "2.0.0.20"})"));
}

TEST(InspectInventoryCliTest, MissingRootIsAUsageError) {
  EXPECT_EQ(runCorvaneCli({"inspect", "mail", "--root", "/nonexistent-corvane-root"}).status, 2);
  EXPECT_EQ(runCorvaneCli({"inspect", "nothing"}).status, 2);
}

}  // namespace
}  // namespace corvane

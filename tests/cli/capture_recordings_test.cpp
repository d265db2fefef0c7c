// A customer's capture is a recording, never a program: every command reads
// its tool runs, disks and line from the recordings and runs no file from
// it, archive or folder; a system folder without a manifest still runs its
// tools; a capture of the earlier format is refused in one line.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "capture_fixtures.h"
#include "support/cli_runner.h"
#include "support/loopback_server.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using testing::CliRun;
using testing::kCorvaneCli;
using testing::readHostFile;
using testing::runProgram;
using testing::TempFolder;

using testing::invoke;
using testing::kCapture;
using testing::kSysroots;

// What the Mac's `df -k` printed.
constexpr const char* kOneDiskDf =
    "#!/bin/sh\ncat <<'EOF'\n"
    "Filesystem              1024-blocks     Used    Avail Capacity  Mounted on\n"
    "/dev/disk0s2              244277768 97162316 146859452    40%    /\n"
    "EOF\n";

// Every tool a command may run, the repair's included.
const char* const kTools[] = {"/sbin/ifconfig",
                              "/bin/ps",
                              "/usr/bin/nslookup",
                              "/usr/bin/dig",
                              "/bin/df",
                              "/bin/cat",
                              "/bin/cp",
                              "/bin/mv",
                              "/bin/mkdir",
                              "/bin/kill",
                              "/usr/sbin/chown",
                              "/usr/sbin/scselect",
                              "/usr/sbin/ipconfigd",
                              "/usr/sbin/system_profiler"};

// A Mac (the demo system with a recorded df and the web engine) captured by
// corvane-capture into an archive and unpacked into a folder.
struct Captured {
  TempFolder scratch;
  std::string mac = scratch.path() + "/mac";
  std::string archive = scratch.path() + "/capture.tar.gz";
  std::string folder = scratch.path() + "/capture";

  explicit Captured(const std::vector<std::string>& extra = {}) {
    fs::copy(kSysroots + "/demo", mac, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    scratch.write("mac/bin/df", kOneDiskDf, true);
    fs::create_directories(mac + "/System/Library/Frameworks/WebKit.framework");
    std::vector<std::string> args{"dash", kCapture, "--root", mac, "--output", archive};
    args.insert(args.end(), extra.begin(), extra.end());
    const CliRun made = invoke(args);
    EXPECT_EQ(made.status, 0) << made.err;
    unpack();
  }
  void unpack() const {
    fs::remove_all(folder);
    fs::create_directories(folder);
    EXPECT_EQ(invoke({"tar", "xzf", archive, "-C", folder}).status, 0);
  }
  void pack() const { EXPECT_EQ(invoke({"tar", "czf", archive, "-C", folder, "."}).status, 0); }
};

// Puts at every tool path of the folder a program that leaves a marker and
// prints an address found nowhere else; the marker's host path.
std::string plantTools(const std::string& folder, const std::string& marker) {
  for (const char* tool : kTools) {
    const std::string path = folder + tool;
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << "#!/bin/sh\n: > '" << marker << "'\necho 'en0: inet 198.51.100.77 netmask 0xffffff00 EvilBook'\n";
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  }
  return marker;
}

std::vector<std::vector<std::string>> readingCommands() {
  return {{"check", "--no-pause", "--repair", "no", "--json", "--lang", "en"},
          {"inspect", "network"},
          {"inspect", "tcpip"},
          {"inspect", "system"},
          {"inspect", "hardware"},
          {"inspect", "browsers"},
          {"inspect", "mail"},
          {"repair", "--dry-run"}};
}

CliRun onRoot(std::vector<std::string> command, const std::string& root) {
  command.insert(command.begin(), kCorvaneCli);
  command.insert(command.end(), {"--root", root});
  return invoke(command);
}

// The report without what differs by nature between a system folder and its
// capture: the line (the desk's download against the recording), the root.
nlohmann::json rowsButLine(const std::string& out) {
  nlohmann::json report = nlohmann::json::parse(out, nullptr, false);
  if (!report.is_object()) return out;
  nlohmann::json rows = report["rows"];
  rows.erase("line");
  return rows;
}

class NoFileOfTheCaptureRuns : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(NoFileOfTheCaptureRuns, AndTheAnswersAreTheRecordings) {
  Captured captured;
  const std::string marker = plantTools(captured.folder, captured.scratch.path() + "/ran");
  captured.pack();
  {
    const std::vector<std::string>& command = GetParam();
    const std::string what = command[0] + " " + command[1];
    const CliRun fromMac = onRoot(command, captured.mac);
    for (const std::string& root : {captured.archive, captured.folder}) {
      const CliRun run = onRoot(command, root);
      EXPECT_FALSE(fs::exists(marker)) << what << " on " << root << " ran a file of the capture";
      EXPECT_EQ(run.out.find("198.51.100.77"), std::string::npos) << what << ": " << run.out;
      EXPECT_EQ(run.out.find("EvilBook"), std::string::npos) << what;
      if (command[0] == "check") {
        EXPECT_EQ(rowsButLine(run.out), rowsButLine(fromMac.out)) << what;
      } else {
        EXPECT_EQ(run.status, fromMac.status) << what << ": " << run.err;
      }
      if (command[0] == "inspect") {
        EXPECT_EQ(run.out, fromMac.out) << what << " answers what the Mac's own tools said";
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryReadingCommand, NoFileOfTheCaptureRuns, ::testing::ValuesIn(readingCommands()),
                         [](const auto& test) {
                           std::string name = test.param[0] + "_";
                           for (char c : test.param[1])
                             if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                           return name;
                         });

TEST(CaptureRecordings, ASystemFolderWithoutAManifestStillRunsItsTools) {
  Captured captured;
  const std::string marker = plantTools(captured.folder, captured.scratch.path() + "/ran");
  fs::remove_all(captured.folder + "/corvane-capture");
  const CliRun trusted = onRoot({"inspect", "tcpip"}, captured.folder);
  EXPECT_TRUE(fs::exists(marker)) << trusted.out << trusted.err;
}

TEST(CaptureRecordings, DiskFiguresComeFromTheRecordedDfOrAreUnknown) {
  Captured captured;
  CliRun run = onRoot({"inspect", "system"}, captured.folder);
  EXPECT_NE(run.out.find("150.38 GB / 250.14 GB"), std::string::npos) << run.out;
  // Without the recording the figures are unknown, never this machine's disk.
  for (const auto& entry : fs::directory_iterator(captured.folder + "/corvane-capture/runs"))
    if (readHostFile(entry.path().string() + "/command").rfind("/bin/df\n", 0) == 0) fs::remove_all(entry.path());
  run = onRoot({"inspect", "system"}, captured.folder);
  EXPECT_EQ(run.status, 0) << run.err;
  // (the system row shows unknown figures as zero, as on a Mac that cannot tell)
  EXPECT_NE(run.out.find("\"0.00 GB / 0.00 GB\""), std::string::npos) << run.out;
}

TEST(CaptureRecordings, CapturesOfTheEarlierFormatAreRefusedInOneLine) {
  struct Case {
    const char* what;
    std::string from, to;  // in the manifest
    bool dropRuns;
  };
  const Case cases[] = {{"version 1", "script-version: 2", "script-version: 1", false},
                        {"no version", "script-version: 2\n", "", false},
                        {"replay scripts, no recordings", "", "", true}};
  for (const Case& c : cases) {
    Captured captured;
    const std::string manifest = captured.folder + "/corvane-capture/manifest.txt";
    std::string text = readHostFile(manifest);
    if (!c.from.empty()) text.replace(text.find(c.from), c.from.size(), c.to);
    std::ofstream(manifest, std::ios::binary | std::ios::trunc) << text;
    if (c.dropRuns) {
      fs::remove_all(captured.folder + "/corvane-capture/runs");
      plantTools(captured.folder, captured.scratch.path() + "/ran");
    }
    captured.pack();
    for (const std::string& root : {captured.archive, captured.folder}) {
      const CliRun run = onRoot({"check", "--no-pause", "--repair", "no"}, root);
      EXPECT_EQ(run.status, 2) << c.what;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.what << ": " << run.err;
      EXPECT_NE(run.err.find("made by an earlier corvane-capture"), std::string::npos) << run.err;
      EXPECT_NE(run.err.find("capture again"), std::string::npos) << run.err;
      EXPECT_EQ(run.out, "") << c.what;
      EXPECT_FALSE(fs::exists(captured.scratch.path() + "/ran")) << c.what;
    }
  }
}

// A bundle whose provider's test address is `url`.
std::string bundleWithTestAddress(const TempFolder& scratch, const std::string& url) {
  const std::string bundle = scratch.path() + "/Corvane.app";
  fs::copy(CORVANE_BUNDLE, bundle, fs::copy_options::recursive);
  std::string settings = readHostFile(std::string(CORVANE_SOURCE_DIR) + "/resources/provider.txt");
  const size_t at = settings.find("http_access_url=");
  settings.replace(at, settings.find('\n', at) - at, "http_access_url=" + url);
  const std::string plain = scratch.write("provider.txt", settings);
  EXPECT_EQ(invoke({kCorvaneCli, "provider", "encode", plain, bundle + "/Contents/Resources/Corvane.idx"}).status, 0);
  return bundle;
}

nlohmann::json lineOf(const std::string& root, const std::string& bundle) {
  const CliRun run = invoke({kCorvaneCli, "check", "--line-only", "--no-pause", "--json", "--lang", "en", "--bundle",
                             bundle, "--root", root});
  const auto report = nlohmann::json::parse(run.out, nullptr, false);
  if (!report.is_object()) return run.out + run.err;
  return report["rows"]["line"];
}

TEST(CaptureRecordings, TheLineRowIsTheRecordedFetchNeverTheDesksConnection) {
  // The desk's own server: a check of a capture must never reach it.
  testing::HttpTestServer desk;
  std::atomic<int> deskRequests{0};
  desk.server.Get("/check.html", [&](const httplib::Request&, httplib::Response& response) {
    ++deskRequests;
    response.set_content("fine", "text/html");
  });
  // The customer's server, answering while the capture is made.
  testing::HttpTestServer mac;
  mac.server.Get("/check.html", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(std::string(1234, 'x'), "text/html");
  });
  TempFolder scratch;
  const std::string bundle = bundleWithTestAddress(scratch, desk.url("/check.html"));

  struct Case {
    const char* what;
    std::vector<std::string> captureArgs;
    std::string status, cause, textHas;
  };
  const Case cases[] = {
      {"recorded, fine", {"--test-url", mac.url("/check.html")}, "ok", "", "recorded on the customer's Mac"},
      {"recorded, refused",
       {"--test-url", testing::refusingUrl("/check.html")},
       "syserr",
       "lineRefused",
       "recorded on the customer's Mac"},
      {"not recorded", {}, "notRun", "lineNotRecorded", "Not run"},
  };
  for (const Case& c : cases) {
    Captured captured(c.captureArgs);
    const std::string manifest = readHostFile(captured.folder + "/corvane-capture/manifest.txt");
    const size_t at = manifest.find("capture-time: ") + 14;
    const std::string time = manifest.substr(at, manifest.find('\n', at) - at);
    for (const std::string& root : {captured.archive, captured.folder}) {
      const nlohmann::json line = lineOf(root, bundle);
      ASSERT_TRUE(line.is_object()) << c.what << ": " << line;
      EXPECT_EQ(line["status"], c.status) << c.what << ": " << line;
      EXPECT_EQ(line["cause"], c.cause.empty() ? nlohmann::json(nullptr) : nlohmann::json(c.cause)) << line;
      EXPECT_NE(line["text"].get<std::string>().find(c.textHas), std::string::npos) << c.what << ": " << line;
      if (c.status == "notRun") {
        EXPECT_NE(line["message"].get<std::string>().find("--test-url"), std::string::npos) << line;
        continue;
      }
      EXPECT_NE(line["text"].get<std::string>().find(time), std::string::npos) << line;
      const nlohmann::json& recorded = line["facts"]["recorded"];
      EXPECT_EQ(recorded["where"], "customer's Mac") << line;
      EXPECT_EQ(recorded["time"], time) << line;
      if (c.status == "ok") {
        EXPECT_EQ(recorded["bytes"], 1234) << line;
      } else {
        EXPECT_NE(line["message"].get<std::string>().find("Recorded on the customer's Mac"), std::string::npos);
      }
    }
    // The text form says it too.
    const CliRun text = invoke({kCorvaneCli, "check", "--line-only", "--no-pause", "--lang", "en", "--bundle", bundle,
                                "--root", captured.archive});
    EXPECT_NE(text.out.find(c.textHas), std::string::npos) << c.what << ": " << text.out;
  }
  EXPECT_EQ(deskRequests.load(), 0) << "a check of a capture downloaded from the desk's own connection";
  // The same system as a folder of the developer's own checks the desk's line.
  Captured captured;
  fs::remove_all(captured.folder + "/corvane-capture");
  EXPECT_EQ(lineOf(captured.folder, bundle)["status"], "ok");
  EXPECT_EQ(deskRequests.load(), 1);
}

}  // namespace
}  // namespace corvane

// corvane-cli repair, run as the user runs it.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "core/text.h"
#include "repair/repair_test_support.h"
#include "support/cli_runner.h"

namespace corvane {
namespace {

using testing::CliRun;
using testing::CopiedSystem;
using testing::readHostFile;
using testing::readPlistFile;
using testing::runCorvaneCli;
using testing::operator+;
using testing::TempFolder;

using testing::kPlist;
using Args = std::vector<std::string>;

// The words of a command line that holds no path.
Args words(const std::string& line) { return splitText(line, " "); }

// A bundle whose provider file prescribes the test proxies.
class ProviderBundle {
 public:
  ProviderBundle() {
    const std::string text =
        folder_.write("provider.txt", "proxy_http=proxy.example.jp:8080\nproxy_secure=proxy.example.jp:8443\n");
    std::filesystem::create_directories(path() + "/Contents/Resources");
    ok = runCorvaneCli({"provider", "encode", text, path() + "/Contents/Resources/Corvane.idx"}).status == 0;
  }
  std::string path() const { return folder_.path() + "/Corvane.app"; }
  bool ok = false;

 private:
  TempFolder folder_;
};

// Runs corvane-cli on the system with its temporary folder (or tmp).
CliRun corvane(const CopiedSystem& system, const Args& args, const std::string& tmp = "") {
  return runCorvaneCli(args + Args{"--root", system.root()},
                       {.environment = {{"TMPDIR", tmp.empty() ? system.tmp() : tmp}}});
}

size_t lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST(RepairCommand, RepairsAndUndoes) {
  ProviderBundle bundle;
  ASSERT_TRUE(bundle.ok);
  CopiedSystem system("repair-10.4-new-location");
  const std::string before = system.read(kPlist);

  const CliRun repaired = corvane(system, words("repair --yes --no-pause --verbose") + Args{"--bundle", bundle.path()});
  ASSERT_EQ(repaired.status, 0) << repaired.err;
  EXPECT_EQ(readPlistFile(system.host(kPlist)),
            readPlistFile(std::string(CORVANE_TESTDATA) + "/repair/expected/repair-10.4-new-location.plist"));
  EXPECT_NE(repaired.out.find("previous store kept at /Library/Application Support/Corvane/backups/"),
            std::string::npos);
  EXPECT_EQ(repaired.err, "ExceptionsList\n");  // the system-log texts

  const CliRun undone = corvane(system, words("repair --undo --yes --no-pause"));
  ASSERT_EQ(undone.status, 0) << undone.err;
  EXPECT_TRUE(system.read(kPlist) == before);
  // An undo ends with the restart steps of a repair.
  const auto log = system.toolLog();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(
      std::vector<std::string>(log.end() - 4, log.end()),
      (std::vector<std::string>{"scselect 0", "cat ROOT/var/run/lookupd.pid", "kill -HUP 197", "ipconfigd waitall"}));
}

TEST(RepairCommand, DryRunShowsTheCopyAndInstallsNothing) {
  ProviderBundle bundle;
  CopiedSystem system("repair-10.4-new-location");
  const std::string before = system.read(kPlist);
  const CliRun run = corvane(system, Args{"repair", "--dry-run", "--bundle", bundle.path()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("location \"Quorvalin\", set key 2, would replace " + kPlist + "\n")) << run.out;
  EXPECT_NE(run.out.find("It switches to the location \"Quorvalin\".\n"), std::string::npos) << run.out;
  // Nothing is written, not even the private copy.
  EXPECT_TRUE(std::filesystem::is_empty(system.tmp()));
  EXPECT_NE(run.out.find("~ CurrentSet: \"/Sets/0\" -> \"/Sets/2\""), std::string::npos);
  EXPECT_NE(run.out.find("+ Sets/2\n"), std::string::npos);
  EXPECT_TRUE(system.read(kPlist) == before);
  EXPECT_TRUE(system.toolLog().empty());
}

TEST(RepairCommand, FailuresSayWhyAndChangeNothing) {
  ProviderBundle bundle;
  struct Case {
    std::string what, args, because;
    std::function<void(CopiedSystem&)> spoil;
    bool unwritableTemporaryFolder = false;
  } cases[] = {
      {"not confirmed", "repair --no-pause", "not confirmed", [](CopiedSystem&) {}},
      {"failing mv", "repair --yes --no-pause", "/bin/mv failed", [](CopiedSystem& s) { s.breakTool("/bin/mv"); }},
      {"failing chown", "repair --yes --no-pause", "/usr/sbin/chown failed",
       [](CopiedSystem& s) { s.breakTool("/usr/sbin/chown"); }},
      {"unreadable store", "repair --yes --no-pause", "cannot be read",
       [](CopiedSystem& s) { s.write(kPlist, "not a property list"); }},
      {"unwritable temporary folder", "repair --yes --no-pause", "private folder", [](CopiedSystem&) {}, true},
      {"nothing to undo", "repair --undo", "no backup", [](CopiedSystem&) {}},
      {"undo not confirmed", "repair --undo", "not confirmed",
       [](CopiedSystem& s) {
         s.write("/Library/Application Support/Corvane/backups/preferences-20261210-044515-1.plist", s.read(kPlist));
       }},
  };
  for (auto& c : cases) {
    CopiedSystem system("repair-10.4-new-location");
    c.spoil(system);
    const std::string before = system.read(kPlist);
    const CliRun run = corvane(system, words(c.args) + Args{"--bundle", bundle.path()},
                               c.unwritableTemporaryFolder ? system.host(kPlist) : "");
    EXPECT_EQ(run.status, 1) << c.what;
    EXPECT_EQ(lines(run.err), 1u) << c.what << ": " << run.err;
    EXPECT_NE(run.err.find(c.because), std::string::npos) << c.what << ": " << run.err;
    EXPECT_TRUE(system.read(kPlist) == before) << c.what;
  }
}

TEST(RepairCommand, NoProviderSettingsNoRepair) {
  TempFolder empty;
  const std::string noProvider = empty.path() + "/Corvane.app";
  std::filesystem::create_directories(noProvider + "/Contents/Resources");
  for (const std::string& args : {std::string("repair --yes --no-pause"), std::string("repair --dry-run")}) {
    CopiedSystem system("real-macbookair6-2-wifi");
    const std::string before = system.read(kPlist);
    const CliRun run = corvane(system, words(args) + Args{"--bundle", noProvider});
    EXPECT_EQ(run.status, 1) << args;
    EXPECT_EQ(lines(run.err), 1u) << run.err;
    EXPECT_NE(run.err.find("provider file"), std::string::npos) << run.err;
    EXPECT_TRUE(system.read(kPlist) == before) << args;
    EXPECT_TRUE(system.toolLog().empty()) << args;
    EXPECT_TRUE(std::filesystem::is_empty(system.tmp())) << args;
  }
}

TEST(RepairCommand, SecondRepairSaysTheSettingsMatchAndDoesNothing) {
  ProviderBundle bundle;
  ASSERT_TRUE(bundle.ok);
  CopiedSystem system("real-macbookpro7-1-migrated");
  const Args bundleArg = {"--bundle", bundle.path()};
  ASSERT_EQ(corvane(system, words("repair --yes --no-pause") + bundleArg).status, 0);
  const std::string repaired = system.read(kPlist);
  const size_t toolRuns = system.toolLog().size();

  for (const std::string& args : {std::string("repair --yes --no-pause"), std::string("repair --dry-run")}) {
    const CliRun again = corvane(system, words(args) + bundleArg);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("already match"), std::string::npos) << again.out;
    EXPECT_TRUE(system.read(kPlist) == repaired);
    EXPECT_EQ(system.toolLog().size(), toolRuns);
    EXPECT_TRUE(std::filesystem::is_empty(system.tmp())) << args;
  }
}

TEST(RepairCommand, BackupsAreListedChosenDryRunAndPruned) {
  ProviderBundle bundle;
  ASSERT_TRUE(bundle.ok);
  CopiedSystem system("real-imac11-3-two-ethernet");
  const std::string original = system.read(kPlist);
  const Args bundleArg = {"--bundle", bundle.path()};
  const std::string folder = "/Library/Application Support/Corvane/backups";
  ASSERT_EQ(corvane(system, words("repair --yes --no-pause") + bundleArg).status, 0);
  const std::string repaired = system.read(kPlist);

  // A dry run of the undo names the backup and changes nothing.
  const CliRun dry = corvane(system, words("repair --undo --dry-run"));
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_NE(dry.out.find("would restore " + folder + "/preferences-"), std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find("(location \"Automatic\")"), std::string::npos) << dry.out;
  EXPECT_TRUE(system.read(kPlist) == repaired);

  ASSERT_EQ(corvane(system, words("repair --undo --yes --no-pause")).status, 0);
  EXPECT_TRUE(system.read(kPlist) == original);
  const CliRun listed = corvane(system, words("repair --backups"));
  EXPECT_EQ(listed.status, 0) << listed.err;
  ASSERT_EQ(lines(listed.out), 2u) << listed.out;
  const std::string firstLine = listed.out.substr(0, listed.out.find('\n'));
  const std::string secondLine = listed.out.substr(firstLine.size() + 1);
  EXPECT_NE(firstLine.find("repair"), std::string::npos) << firstLine;
  EXPECT_NE(firstLine.find("\"Automatic\""), std::string::npos) << firstLine;
  EXPECT_NE(firstLine.find(std::to_string(original.size()) + " bytes"), std::string::npos) << firstLine;
  EXPECT_NE(secondLine.find("undo"), std::string::npos) << secondLine;
  EXPECT_NE(secondLine.find("\"Quorvalin\""), std::string::npos) << secondLine;

  // The undo's own backup, chosen by its name, brings the repair back.
  const std::string undoBackup =
      secondLine.substr(secondLine.rfind(' ') + 1, secondLine.size() - secondLine.rfind(' ') - 2);
  const CliRun chosen = corvane(system, Args{"repair", "--undo", undoBackup, "--yes", "--no-pause"});
  EXPECT_EQ(chosen.status, 0) << chosen.err;
  EXPECT_TRUE(system.read(kPlist) == repaired);
  EXPECT_EQ(corvane(system, words("repair --undo nonesuch.plist --yes")).status, 1);

  // Three backups now; keeping the newest one keeps the oldest too.
  const CliRun pruned = corvane(system, words("repair --prune 1"));
  EXPECT_EQ(pruned.status, 0) << pruned.err;
  const CliRun after = corvane(system, words("repair --backups"));
  ASSERT_EQ(lines(after.out), 2u) << after.out;
  EXPECT_EQ(after.out.substr(0, after.out.find('\n')), firstLine);
  EXPECT_NE(after.out.find("undo"), std::string::npos) << after.out;
}

// A customer's capture laid out as a folder: a captured system with the
// manifest corvane-capture writes (the live store's checksum among its
// lines) and a backup that an undo or a prune would touch.
class CapturedFolder : public CopiedSystem {
 public:
  explicit CapturedFolder(const std::string& name) : CopiedSystem(name) {
    write("/corvane-capture/manifest.txt",
          "capture-time: 2026-12-10T04:45:15Z\nhost: customer-mac\nscript-version: 2\nstore: " + kPlist +
              " 1234567890 4096\n");
    write(kBackup, read(kPlist));
  }
  // Every file beneath the root, by its path, with its bytes.
  std::map<std::string, std::string> files() const {
    std::map<std::string, std::string> all;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root()))
      if (entry.is_regular_file()) all[entry.path().string()] = readHostFile(entry.path().string());
    return all;
  }
  static inline const std::string kBackup =
      "/Library/Application Support/Corvane/backups/preferences-20261210-044515-1.plist";
};

TEST(RepairCommand, ACaptureIsNeverRepairedInPlace) {
  ProviderBundle bundle;
  ASSERT_TRUE(bundle.ok);
  const char* changing[] = {
      "repair --yes --no-pause",
      "repair --no-pause",  // would ask first
      "repair --undo --yes --no-pause",
      "repair --undo preferences-20261210-044515-1.plist --yes --no-pause",
      "repair --prune 0",
      "repair --prune 0 --dry-run",  // a prune has no dry run
      "repair --prune 0 --kit kit",  // nor is it part of a kit
  };
  for (const char* args : changing) {
    CapturedFolder capture("repair-10.4-new-location");
    const auto before = capture.files();
    const CliRun run = corvane(capture, words(args) + Args{"--bundle", bundle.path()});
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_EQ(run.err, "corvane-cli: " + capture.root() +
                           " is a customer's capture: it is repaired through a fix kit (--kit DIR), never in place\n")
        << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_TRUE(capture.files() == before) << args;
    EXPECT_TRUE(capture.toolLog().empty()) << args;
    EXPECT_TRUE(std::filesystem::is_empty(capture.tmp())) << args;
  }
}

TEST(RepairCommand, ACapturesReadOnlyModesAndItsKitStillWork) {
  ProviderBundle bundle;
  ASSERT_TRUE(bundle.ok);
  TempFolder kits;
  struct Case {
    std::string args, says;
  } cases[] = {
      {"repair --dry-run", "would replace " + kPlist},
      {"repair --backups", "preferences-20261210-044515-1.plist"},
      {"repair --undo --dry-run", "would restore " + CapturedFolder::kBackup},
      {"repair --kit " + kits.path() + "/kit", "fix kit written to " + kits.path() + "/kit"},
  };
  for (const auto& c : cases) {
    CapturedFolder capture("repair-10.4-new-location");
    const auto before = capture.files();
    const CliRun run = corvane(capture, words(c.args) + Args{"--bundle", bundle.path()});
    EXPECT_EQ(run.status, 0) << c.args << ": " << run.err;
    EXPECT_NE(run.out.find(c.says), std::string::npos) << c.args << ": " << run.out;
    EXPECT_TRUE(capture.files() == before) << c.args;
    EXPECT_TRUE(capture.toolLog().empty()) << c.args;
  }
  EXPECT_TRUE(std::filesystem::exists(kits.path() + "/kit/apply.sh"));
}

TEST(RepairCommand, ACaptureArchiveIsNamedInTheRefusal) {
  CapturedFolder capture("repair-10.4-new-location");
  TempFolder archives;
  const std::string archive = archives.path() + "/capture.tar.gz";
  ASSERT_EQ(testing::runProgram("tar", {"-czf", archive, "-C", capture.root(), "."}).status, 0);
  const CliRun run = runCorvaneCli({"repair", "--yes", "--root", archive});
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_EQ(run.err, "corvane-cli: " + archive +
                         " is a customer's capture: it is repaired through a fix kit (--kit DIR), never in place\n");
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// Every file under a host folder with its bytes.
std::map<std::string, std::string> filesUnder(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    files[entry.path().string()] = entry.is_regular_file() ? testing::readHostFile(entry.path()) : "";
  return files;
}

TEST(RepairCommand, OneRepairAtATime) {
  ProviderBundle bundle;
  ASSERT_TRUE(bundle.ok);
  CopiedSystem system("repair-10.4-new-location");
  // A backup to undo and to prune, so that every command gets as far as the lock.
  const std::string backups = "/Library/Application Support/Corvane/backups";
  system.write(backups + "/preferences-20261201-000000-1.plist", system.read(testing::kPlist));
  system.write(backups + "/preferences-20261202-000000-1.plist", system.read(testing::kPlist));
  // The first repair's copy of the store waits, inside the lock, to be let go
  // (20 seconds at most).
  const std::string held = system.tmp() + "/held", release = system.tmp() + "/release";
  system.write("/bin/cp",
               "#!/bin/sh\ntouch '" + held + "'\ni=0\nwhile [ ! -e '" + release +
                   "' ] && [ $i -lt 200 ]; do sleep 0.1; i=$((i+1)); done\nexec /bin/cp \"$@\"\n",
               true);
  std::future<CliRun> first = std::async(std::launch::async, [&] {
    return corvane(system, words("repair --yes --no-pause") + Args{"--bundle", bundle.path()});
  });
  for (int i = 0; i < 300 && !std::filesystem::exists(held); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(std::filesystem::exists(held)) << "the first repair never reached its backup";

  const std::map<std::string, std::string> before = filesUnder(system.root());
  for (const Args& second : {words("repair --yes --no-pause") + Args{"--bundle", bundle.path()},
                             words("repair --undo --yes --no-pause"), words("repair --prune 0")}) {
    const CliRun run = corvane(system, second);
    EXPECT_EQ(run.status, 1) << second[1];
    EXPECT_NE(run.err.find("another repair is running"), std::string::npos) << second[1] << ": " << run.err;
    EXPECT_EQ(filesUnder(system.root()), before) << second[1];
  }

  std::ofstream(release).put('\n');
  const CliRun done = first.get();
  EXPECT_EQ(done.status, 0) << done.err;
  EXPECT_NE(system.read(testing::kPlist), before.at(system.host(testing::kPlist)));
}

}  // namespace
}  // namespace corvane

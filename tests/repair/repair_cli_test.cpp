// corvane-cli repair, run as the user runs it.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "repair/repair_test_support.h"

namespace corvane {
namespace {

using testing::CopiedSystem;
using testing::readHostFile;
using testing::readPlistFile;
using testing::TempFolder;

const std::string kPlist = "/Library/Preferences/SystemConfiguration/preferences.plist";
const std::string kCli = std::string(CORVANE_BINARY_DIR) + "/src/cli/corvane-cli";

struct CliRun {
  int status = -1;
  std::string out, err;
};

// A bundle whose provider file prescribes the test proxies.
class ProviderBundle {
 public:
  ProviderBundle() {
    const std::string text =
        folder_.write("provider.txt", "proxy_http=proxy.example.jp:8080\nproxy_secure=proxy.example.jp:8443\n");
    std::filesystem::create_directories(path() + "/Contents/Resources");
    const std::string command =
        kCli + " provider encode '" + text + "' '" + path() + "/Contents/Resources/Corvane.idx'";
    ok = std::system(command.c_str()) == 0;
  }
  std::string path() const { return folder_.path() + "/Corvane.app"; }
  bool ok = false;

 private:
  TempFolder folder_;
};

CliRun corvane(const CopiedSystem& system, const std::string& args, const std::string& tmp = "") {
  const std::string out = system.tmp() + "/../out.txt", err = system.tmp() + "/../err.txt";
  const std::string command = "TMPDIR='" + (tmp.empty() ? system.tmp() : tmp) + "' " + kCli + " " + args +
                              " --root '" + system.root() + "' < /dev/null > '" + out + "' 2> '" + err + "'";
  CliRun run;
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = readHostFile(out);
  run.err = readHostFile(err);
  return run;
}

size_t lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST(RepairCommand, RepairsAndUndoes) {
  ProviderBundle bundle;
  ASSERT_TRUE(bundle.ok);
  CopiedSystem system("repair-10.4-new-location");
  const std::string before = system.read(kPlist);

  const CliRun repaired = corvane(system, "repair --yes --no-pause --verbose --bundle '" + bundle.path() + "'");
  ASSERT_EQ(repaired.status, 0) << repaired.err;
  EXPECT_EQ(readPlistFile(system.host(kPlist)),
            readPlistFile(std::string(CORVANE_TESTDATA) + "/repair/expected/repair-10.4-new-location.plist"));
  EXPECT_NE(repaired.out.find("previous store kept at /Library/Application Support/Corvane/backups/"),
            std::string::npos);
  EXPECT_EQ(repaired.err, "ExceptionsList\n");  // the system-log texts

  const CliRun undone = corvane(system, "repair --undo");
  ASSERT_EQ(undone.status, 0) << undone.err;
  EXPECT_TRUE(system.read(kPlist) == before);
  EXPECT_EQ(system.toolLog().back(), "scselect 0");
}

TEST(RepairCommand, DryRunShowsTheCopyAndInstallsNothing) {
  ProviderBundle bundle;
  CopiedSystem system("repair-10.4-new-location");
  const std::string before = system.read(kPlist);
  const CliRun run = corvane(system, "repair --dry-run --bundle '" + bundle.path() + "'");
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string prefix = "repaired copy: ";
  ASSERT_TRUE(run.out.starts_with(prefix));
  const std::string copy = run.out.substr(prefix.size(), run.out.find('\n') - prefix.size());
  EXPECT_TRUE(std::filesystem::exists(copy)) << copy;
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
  };
  for (auto& c : cases) {
    CopiedSystem system("repair-10.4-new-location");
    c.spoil(system);
    const std::string before = system.read(kPlist);
    const CliRun run = corvane(system, c.args + " --bundle '" + bundle.path() + "'",
                            c.unwritableTemporaryFolder ? system.host(kPlist) : "");
    EXPECT_EQ(run.status, 1) << c.what;
    EXPECT_EQ(lines(run.err), 1u) << c.what << ": " << run.err;
    EXPECT_NE(run.err.find(c.because), std::string::npos) << c.what << ": " << run.err;
    EXPECT_TRUE(system.read(kPlist) == before) << c.what;
  }
}

}  // namespace
}  // namespace corvane

// The support desk's round trip on every captured system: corvane-capture
// (under dash) makes an archive, the archive checks like the folder, a fix
// kit built from it installs on a copy of the folder and undoes byte for byte;
// no secret travels in the archive.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>
#include <vector>

#include "core/plist_io.h"
#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using testing::CliRun;
using testing::kCorvaneCli;
using testing::readHostFile;
using testing::runProgram;
using testing::TempFolder;

const std::string kCapture = std::string(CORVANE_SOURCE_DIR) + "/scripts/corvane-capture";
const std::string kSysroots = std::string(CORVANE_TESTDATA) + "/sysroots";

// Runs a program (corvane-cli, or a tool found on the PATH) with standard
// input empty.
CliRun invoke(const std::vector<std::string>& args) {
  return runProgram(args.front(), std::vector<std::string>(args.begin() + 1, args.end()));
}

// What the Mac's `df -k` printed: the capture records it, the check reads
// the disk figures from it instead of the disk of the machine it runs on.
constexpr const char* kDfReplay =
    "#!/bin/sh\ncat <<'EOF'\n"
    "Filesystem              1024-blocks     Used    Avail Capacity  Mounted on\n"
    "/dev/disk0s2              244277768 97162316 146859452    40%    /\n"
    "devfs                           107      107        0   100%    /dev\n"
    "/dev/disk1s2              488050672 10240000 477810672     3%    /Volumes/Backup Disk\n"
    "EOF\n";

void copyTree(const std::string& from, const std::string& to) {
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

// The repair's tools as recording scripts, for systems captured without them.
void addRepairTools(const std::string& root) {
  const std::string tools = kSysroots + "/demo";
  for (const char* tool : {"/bin/cp", "/bin/mv", "/bin/mkdir", "/bin/cat", "/bin/kill", "/usr/sbin/chown",
                           "/usr/sbin/scselect", "/usr/sbin/ipconfigd"}) {
    if (fs::exists(root + tool)) continue;
    fs::create_directories(fs::path(root + tool).parent_path());
    fs::copy_file(tools + tool, root + tool);
  }
}

nlohmann::json checkJson(const std::string& root) {
  const CliRun run =
      invoke({kCorvaneCli, "check", "--no-pause", "--repair", "no", "--json", "--lang", "en", "--root", root});
  EXPECT_TRUE(run.status == 0 || run.status == 1) << root << ": " << run.err;
  return nlohmann::json::parse(run.out, nullptr, false);
}

// The values of secret keys in a property list's XML text.
std::vector<std::string> secretValues(const std::string& xml) {
  std::vector<std::string> values;
  static const std::regex secret(R"(<key>[^<]*(?:[Pp]assword|[Ss]ecret)[^<]*</key>\s*<string>([^<]+)</string>)");
  for (std::sregex_iterator it(xml.begin(), xml.end(), secret), end; it != end; ++it) values.push_back((*it)[1]);
  return values;
}

// Gives every secret value in the system's property lists a value of its
// own (a value such as a keychain reference may also appear in a tool's
// output, which is no secret) and answers the values.
std::vector<std::string> markSecrets(const std::string& root) {
  std::vector<std::string> all;
  static const std::regex secret(R"((<key>[^<]*(?:[Pp]assword|[Ss]ecret)[^<]*</key>\s*<string>)[^<]+(</string>))");
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".plist") continue;
    const std::string text = readHostFile(entry.path().string());
    if (secretValues(text).empty()) continue;
    std::string marked;
    std::string::const_iterator from = text.begin();
    for (std::sregex_iterator it(text.begin(), text.end(), secret), end; it != end; ++it) {
      const std::string value = "test-secret-" + std::to_string(all.size() + 1) + "-x";
      marked.append(from, (*it)[0].first);
      marked += (*it)[1].str() + value + (*it)[2].str();
      from = (*it)[0].second;
      all.push_back(value);
    }
    marked.append(from, text.end());
    std::ofstream(entry.path(), std::ios::binary | std::ios::trunc) << marked;
  }
  return all;
}

std::string storeOf(const std::string& root) {
  const std::string plist = root + "/Library/Preferences/SystemConfiguration/preferences.plist";
  const std::string xml = root + "/private/var/db/SystemConfiguration/preferences.xml";
  const std::string version = readHostFile(root + "/System/Library/CoreServices/SystemVersion.plist");
  const bool old = version.find("<string>10.2") != std::string::npos;
  return !old && fs::exists(plist) ? plist : xml;
}

class CaptureRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(CaptureRoundTrip, ArchiveChecksLikeTheFolderAndTheKitInstallsAndUndoes) {
  const std::string name = GetParam();
  TempFolder scratch;
  const std::string folder = scratch.path() + "/folder";
  copyTree(kSysroots + "/" + name, folder);
  scratch.write("folder/bin/df", kDfReplay, true);
  const std::vector<std::string> secrets = markSecrets(folder);

  const std::string archive = scratch.path() + "/capture.tar.gz";
  const CliRun capture = invoke({"dash", kCapture, "--root", folder, "--output", archive});
  ASSERT_EQ(capture.status, 0) << capture.err;
  EXPECT_NE(capture.out.find("collected /System/Library/CoreServices/SystemVersion.plist"), std::string::npos);

  // The same rows from the archive as from the folder, but the line: the
  // folder's is this machine's, the archive recorded none (no --test-url).
  // The report names the capture.
  const nlohmann::json fromFolder = checkJson(folder);
  const nlohmann::json fromArchive = checkJson(archive);
  ASSERT_TRUE(fromFolder.contains("rows")) << name;
  nlohmann::json rowsFromArchive = fromArchive["rows"], rowsFromFolder = fromFolder["rows"];
  const nlohmann::json folderLine = rowsFromFolder["line"], archiveLine = rowsFromArchive["line"];
  if (folderLine["cause"] == "noWebEngine" || folderLine["status"] == "notRun") {
    EXPECT_EQ(archiveLine["status"], folderLine["status"]) << name;
  } else {
    EXPECT_EQ(archiveLine["status"], "notRun") << name << ": " << archiveLine;
    EXPECT_EQ(archiveLine["cause"], "lineNotRecorded") << name;
  }
  rowsFromArchive.erase("line");
  rowsFromFolder.erase("line");
  EXPECT_EQ(rowsFromArchive, rowsFromFolder) << name;
  EXPECT_TRUE(fromArchive.contains("capture")) << name;
  // 146859452 KB free of 244277768 KB, in binary (before 10.6) or decimal units.
  const std::string systemRow = fromArchive["rows"]["system"]["text"].get<std::string>();
  EXPECT_TRUE(systemRow.find("140.06 GB / 232.96 GB") != std::string::npos ||
              systemRow.find("150.38 GB / 250.14 GB") != std::string::npos)
      << "the capture's recorded disk: " << systemRow;

  // No secret value is in the archive, compressed or not.
  const CliRun unpacked = invoke({"gzip", "-dc", archive});
  ASSERT_EQ(unpacked.status, 0);
  for (const auto& secret : secrets) EXPECT_EQ(unpacked.out.find(secret), std::string::npos) << name << ": " << secret;

  const std::string store = storeOf(folder);
  if (!fs::exists(store)) {
    const CliRun kit = invoke({kCorvaneCli, "repair", "--kit", scratch.path() + "/kit", "--root", archive});
    EXPECT_EQ(kit.status, 1) << name << ": a system without a store has nothing to repair";
    return;
  }

  const std::string kit = scratch.path() + "/kit";
  const CliRun made = invoke({kCorvaneCli, "repair", "--kit", kit, "--root", archive});
  ASSERT_EQ(made.status, 0) << name << ": " << made.err;
  for (const char* file : {"/apply.sh", "/undo.sh", "/README.txt"}) EXPECT_TRUE(fs::exists(kit + file)) << file;

  const std::string copy = scratch.path() + "/copy";
  copyTree(folder, copy);
  addRepairTools(copy);
  const std::string copyStore = storeOf(copy);
  const std::string before = readHostFile(copyStore);

  const CliRun apply = invoke({"dash", kit + "/apply.sh", "--root", copy});
  ASSERT_EQ(apply.status, 0) << name << ": " << apply.err;
  const std::string installed = readHostFile(copyStore);
  EXPECT_NE(installed, before);
  const Value repaired = parsePropertyList(installed);
  const std::string current = repaired["CurrentSet"].text();
  EXPECT_EQ(repaired["Sets"][current.substr(current.rfind('/') + 1)]["UserDefinedName"].text(), "Quorvalin") << name;
  for (const auto& secret : secretValues(before)) EXPECT_NE(installed.find(secret), std::string::npos) << secret;
  const std::string log = readHostFile(copy + "/var/log/corvane-tools.log");
  for (const char* step : {"chown root", "scselect", "ipconfigd waitall"})
    EXPECT_NE(log.find(step), std::string::npos) << name << ": " << step;

  // The fault of the network row is gone once the kit is in.
  const nlohmann::json after = checkJson(copy);
  if (fromFolder["rows"]["network"]["code"] == "03017") {
    EXPECT_NE(after["rows"]["network"]["code"], "03017") << name << ": " << after["rows"]["network"];
  }

  const CliRun undo = invoke({"dash", kit + "/undo.sh", "--root", copy});
  ASSERT_EQ(undo.status, 0) << name << ": " << undo.err;
  EXPECT_EQ(readHostFile(copyStore), before) << name << ": undo must restore the store byte for byte";
}

std::vector<std::string> capturedSystems() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kSysroots))
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(EveryCapturedSystem, CaptureRoundTrip, ::testing::ValuesIn(capturedSystems()),
                         [](const auto& test) {
                           std::string name = test.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

// A PPPoE password in the store and a Mail password: neither is in the
// archive; both are in the private file, readable by the user alone; the
// installed store holds the PPPoE password again.
TEST(CaptureSecrets, StayOnTheMacAndComeBackWithTheKit) {
  TempFolder scratch;
  const std::string folder = scratch.path() + "/folder";
  copyTree(kSysroots + "/net-10.4.11", folder);
  addRepairTools(folder);
  scratch.write("folder/Users/user/Library/Preferences/com.apple.mail.plist",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                "\t<key>MailAccounts</key>\n\t<array>\n\t\t<dict>\n"
                "\t\t\t<key>AccountType</key>\n\t\t\t<string>POPAccount</string>\n"
                "\t\t\t<key>Password</key>\n\t\t\t<string>mail-s3cret &amp; more</string>\n"
                "\t\t\t<key>Username</key>\n\t\t\t<string>taro</string>\n"
                "\t\t</dict>\n\t</array>\n</dict>\n</plist>\n");
  // The store's PPPoE password, given a value found nowhere else.
  const std::string pppoe = "pppoe-pa55word";
  {
    std::string store = readHostFile(storeOf(folder));
    const std::string reference = "2C1D5E8A-7B3F-4E21-9A6C-1F0E8D7C6B5A";
    const size_t at = store.find("<key>AuthPassword</key>");
    ASSERT_NE(at, std::string::npos);
    store.replace(store.find(reference, at), reference.size(), pppoe);
    std::ofstream(storeOf(folder), std::ios::binary | std::ios::trunc) << store;
  }

  const std::string archive = scratch.path() + "/capture.tar.gz";
  ASSERT_EQ(invoke({"dash", kCapture, "--root", folder, "--output", archive}).status, 0);
  const CliRun tar = invoke({"gzip", "-dc", archive});
  EXPECT_EQ(tar.out.find(pppoe), std::string::npos);
  EXPECT_EQ(tar.out.find("mail-s3cret"), std::string::npos);
  EXPECT_NE(tar.out.find("@@corvane-secret:"), std::string::npos);

  const std::string secretsFolder = folder + "/Users/user/Library/Application Support/Corvane";
  std::string secretsFile;
  for (const auto& entry : fs::directory_iterator(secretsFolder)) secretsFile = entry.path().string();
  ASSERT_FALSE(secretsFile.empty());
  struct stat st {};
  ASSERT_EQ(::stat(secretsFile.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_NE(readHostFile(secretsFile).find(pppoe), std::string::npos);
  EXPECT_NE(readHostFile(secretsFile).find("mail-s3cret &amp; more"), std::string::npos);

  // --no-mail leaves Mail's settings out altogether.
  const std::string noMail = scratch.path() + "/no-mail.tar.gz";
  const CliRun without = invoke({"dash", kCapture, "--no-mail", "--root", folder, "--output", noMail});
  ASSERT_EQ(without.status, 0);
  EXPECT_EQ(invoke({"tar", "tzf", noMail}).out.find("com.apple.mail.plist"), std::string::npos);

  const std::string kit = scratch.path() + "/kit";
  ASSERT_EQ(invoke({kCorvaneCli, "repair", "--kit", kit, "--root", archive}).status, 0);
  const std::string before = readHostFile(storeOf(folder));
  const CliRun apply = invoke({"dash", kit + "/apply.sh", "--root", folder});
  ASSERT_EQ(apply.status, 0) << apply.err;
  const std::string installed = readHostFile(storeOf(folder));
  EXPECT_NE(installed, before);
  EXPECT_NE(installed.find(pppoe), std::string::npos);
  EXPECT_EQ(installed.find("@@corvane-secret:"), std::string::npos);
}

// apply.sh installs only over the store that was captured; a missing private
// file is refused too. Either way the store is left as it is.
TEST(FixKit, RefusesAStoreChangedSinceTheCaptureOrMissingSecrets) {
  TempFolder scratch;
  const std::string folder = scratch.path() + "/folder";
  copyTree(kSysroots + "/net-10.4.11", folder);
  addRepairTools(folder);
  const std::string archive = scratch.path() + "/capture.tar.gz";
  ASSERT_EQ(invoke({"dash", kCapture, "--root", folder, "--output", archive}).status, 0);
  const std::string kit = scratch.path() + "/kit";
  ASSERT_EQ(invoke({kCorvaneCli, "repair", "--kit", kit, "--root", archive}).status, 0);

  const std::string store = storeOf(folder);
  const std::string changed = readHostFile(store) + "\n";
  { std::ofstream(store, std::ios::binary | std::ios::trunc) << changed; }
  CliRun apply = invoke({"dash", kit + "/apply.sh", "--root", folder});
  EXPECT_EQ(apply.status, 1);
  EXPECT_NE(apply.err.find("changed since the capture"), std::string::npos) << apply.err;
  EXPECT_EQ(readHostFile(store), changed);
  EXPECT_FALSE(fs::exists(folder + "/Library/Application Support/Corvane/backups"));

  // Back to the captured bytes, but the private file is gone.
  { std::ofstream(store, std::ios::binary | std::ios::trunc) << changed.substr(0, changed.size() - 1); }
  fs::remove_all(folder + "/Users/user/Library/Application Support/Corvane");
  apply = invoke({"dash", kit + "/apply.sh", "--root", folder});
  EXPECT_EQ(apply.status, 1);
  EXPECT_NE(apply.err.find("passwords"), std::string::npos) << apply.err;
  EXPECT_EQ(readHostFile(store), changed.substr(0, changed.size() - 1));
}

// A failing step of the install puts the backup back: the store is as it was.
TEST(FixKit, AFailedMoveOverTheStoreLeavesTheStoreAsItWas) {
  TempFolder scratch;
  const std::string folder = scratch.path() + "/folder";
  copyTree(kSysroots + "/repair-10.4-new-location", folder);
  const std::string archive = scratch.path() + "/capture.tar.gz";
  ASSERT_EQ(invoke({"dash", kCapture, "--root", folder, "--output", archive}).status, 0);
  const std::string kit = scratch.path() + "/kit";
  ASSERT_EQ(invoke({kCorvaneCli, "repair", "--kit", kit, "--root", archive}).status, 0);
  // mv moves, then fails when its target is the store: the store is replaced
  // by something, and mv reports failure.
  scratch.write("folder/bin/mv",
                "#!/bin/sh\n/bin/mv \"$@\" || exit 1\nonce=\"$(dirname \"$0\")/../mv-failed-once\"\n"
                "case \"$3\" in */preferences.plist) [ -e \"$once\" ] && exit 0; : > \"$once\"; "
                "echo broken > \"$3\"; exit 1;; esac\nexit 0\n",
                true);
  const std::string before = readHostFile(storeOf(folder));
  const CliRun apply = invoke({"dash", kit + "/apply.sh", "--root", folder});
  EXPECT_EQ(apply.status, 1);
  EXPECT_NE(apply.err.find("put back"), std::string::npos) << apply.err;
  EXPECT_EQ(readHostFile(storeOf(folder)), before);
}

TEST(FrontDoor, ARootThatIsNotAMacIsSaidInOneLine) {
  TempFolder scratch;
  const std::string empty = scratch.path() + "/linux";
  fs::create_directories(empty + "/etc");
  CliRun run = invoke({kCorvaneCli, "check", "--no-pause", "--root", empty});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "corvane-cli: " + empty + " is not a Mac system: give --root a captured system or a capture archive\n");
  run = invoke({kCorvaneCli, "check", "--no-pause", "--json", "--root", empty});
  EXPECT_EQ(run.status, 1);
  const auto json = nlohmann::json::parse(run.out, nullptr, false);
  ASSERT_TRUE(json.is_object()) << run.out;
  EXPECT_NE(json["error"].get<std::string>().find("is not a Mac system"), std::string::npos);
  for (const char* what : {"network", "system", "mail"}) {
    run = invoke({kCorvaneCli, "inspect", what, "--root", empty});
    EXPECT_EQ(run.status, 1) << what;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
  // An unreadable version file is still a Mac: the readers say what they found.
  scratch.write("linux/System/Library/CoreServices/SystemVersion.plist", "garbage");
  run = invoke({kCorvaneCli, "inspect", "system", "--root", empty});
  EXPECT_EQ(run.status, 0) << run.err;
}

}  // namespace
}  // namespace corvane

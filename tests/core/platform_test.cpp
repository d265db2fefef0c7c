#include "core/platform.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/capture_platform.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

TEST(Platform, HostPathStaysUnderTheRoot) {
  Platform platform({.root = "/srv/mac/", .syslog = false});
  EXPECT_EQ(platform.hostPath("/sbin/ifconfig"), "/srv/mac/sbin/ifconfig");
  EXPECT_EQ(platform.hostPath("/../../etc/passwd"), "/srv/mac/etc/passwd");
  EXPECT_EQ(platform.hostPath("/Users/user/./Library/../Mail"), "/srv/mac/Users/user/Mail");
  Platform system({.syslog = false});
  EXPECT_EQ(system.hostPath("/sbin/ifconfig"), "/sbin/ifconfig");
}

TEST(Platform, HomeFolderDefaults) {
  Platform captured({.root = "/srv/mac", .syslog = false});
  EXPECT_EQ(captured.homeFolder(), "/Users/user");
  Platform chosen({.root = "/srv/mac", .home = "/Users/hanako/", .syslog = false});
  EXPECT_EQ(chosen.homeFolder(), "/Users/hanako");
}

TEST(ToolRun, CapturesLargeOutputWholeAndCutsAtNul) {
  testing::TempFolder root;
  root.write("bin/big", "#!/bin/sh\nhead -c 3000000 /dev/zero | tr '\\0' 'x'\nprintf 'tail'\n", true);
  root.write("bin/nul", "#!/bin/sh\nprintf 'before\\000after'\nexit 3\n", true);
  root.write("bin/args", "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done\n", true);
  Platform platform({.root = root.path(), .syslog = false});

  ToolRun big = platform.runTool("/bin/big", {});
  EXPECT_EQ(big.output.size(), 3000004u);
  EXPECT_EQ(big.output.substr(big.output.size() - 4), "tail");

  ToolRun nul = platform.runTool("/bin/nul", {});
  EXPECT_EQ(nul.output, "before");
  EXPECT_EQ(nul.exitStatus, 3);

  EXPECT_EQ(platform.runTool("/bin/args", {"-a", "two words", ""}).output, "[-a][two words][]");
}

TEST(ToolRun, StandardErrorIsKeptApartAndNeverBlocksTheTool) {
  testing::TempFolder root;
  root.write("bin/complains", "#!/bin/sh\necho answer\necho 'no such key' >&2\nexit 4\n", true);
  // More on stderr than any pipe holds: the tool must still run to its end.
  root.write("bin/chatty", "#!/bin/sh\nhead -c 2000000 /dev/zero | tr '\\0' e >&2\necho done\n", true);
  Platform platform({.root = root.path(), .syslog = false});
  std::vector<std::string> verbose;
  platform.logSink = [&](const std::string& t) { verbose.push_back(t); };

  ToolRun complains = platform.runTool("/bin/complains", {});
  EXPECT_EQ(complains.output, "answer\n");
  EXPECT_EQ(complains.errorOutput, "no such key\n");
  EXPECT_EQ(complains.exitStatus, 4);
  ASSERT_FALSE(verbose.empty());
  EXPECT_NE(verbose.back().find("no such key"), std::string::npos) << verbose.back();

  ToolRun chatty = platform.runTool("/bin/chatty", {});
  EXPECT_FALSE(chatty.timedOut);
  EXPECT_EQ(chatty.output, "done\n");
  EXPECT_EQ(chatty.errorOutput.size(), 64u * 1024u);
}

TEST(ToolRun, MissingToolGivesEmptyOutput) {
  testing::TempFolder root;
  Platform platform({.root = root.path(), .syslog = false});
  ToolRun run = platform.runTool("/sbin/ifconfig", {"-a"});
  EXPECT_FALSE(run.started);
  EXPECT_EQ(run.output, "");
}

// Tools that misbehave: each run ends near its time limit or at its output
// cap, with what it printed so far as its answer.
TEST(ToolRun, MisbehavingToolsAreStoppedWithWhatTheyPrinted) {
  struct Case {
    const char* name;
    const char* script;
    const char* startOfOutput;
    bool timedOut;
    bool capped;
  };
  // Each script notes the process that would outlive it in "$0.pid".
  const Case cases[] = {
      {"never returns", "#!/bin/sh\necho $$ > \"$0.pid\"\necho partial\nexec sleep 1000\n", "partial\n", true, false},
      {"child holds its output", "#!/bin/sh\n(sleep 1000 & echo $! > \"$0.pid\")\necho answer\n", "answer\n", false,
       false},
      {"closes its output and stays", "#!/bin/sh\necho $$ > \"$0.pid\"\necho early\nexec >&-\nexec sleep 1000\n",
       "early\n", true, false},
      {"prints without end", "#!/bin/sh\necho $$ > \"$0.pid\"\nexec yes ifconfig\n", "ifconfig\nifconfig\n", false,
       true},
      {"its children print without end", "#!/bin/sh\nyes a & echo $! > \"$0.pid\"\nyes b\n", "", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder root;
    root.write("bin/tool", c.script, true);
    Platform platform({.root = root.path(), .syslog = false, .toolSeconds = 2, .toolOutputCap = 1 << 20});
    const auto start = std::chrono::steady_clock::now();
    ToolRun run = platform.runTool("/bin/tool", {});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.timedOut, c.timedOut);
    EXPECT_EQ(run.outputCapped, c.capped);
    EXPECT_TRUE(run.output.starts_with(c.startOfOutput)) << run.output.substr(0, 40);
    EXPECT_LE(run.output.size(), size_t{1} << 20);
    EXPECT_LT(seconds, 6.0);
    // Nothing the tool started is left running.
    const int left = std::atoi(platform.readFile("/bin/tool.pid").value_or("0").c_str());
    ASSERT_GT(left, 0);
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
      gone = ::kill(left, 0) != 0;
      if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(gone);
  }
}

TEST(ToolRun, AToolThatTimedOutIsNotRunAgainUntilForgotten) {
  testing::TempFolder root;
  root.write("bin/stuck", "#!/bin/sh\necho run >> \"$0.count\"\nexec sleep 1000\n", true);
  Platform platform({.root = root.path(), .syslog = false, .toolSeconds = 0.5});
  EXPECT_TRUE(platform.runTool("/bin/stuck", {}).timedOut);
  ToolRun again = platform.runTool("/bin/stuck", {"other"});
  EXPECT_TRUE(again.timedOut);
  EXPECT_FALSE(again.started);
  EXPECT_EQ(platform.takeUnansweredTools(), (std::vector<std::string>{"/bin/stuck", "/bin/stuck"}));
  EXPECT_TRUE(platform.takeUnansweredTools().empty());
  EXPECT_EQ(platform.readFile("/bin/stuck.count").value_or(""), "run\n");

  platform.forgetUnansweredTools();
  EXPECT_TRUE(platform.runTool("/bin/stuck", {}).started);
  EXPECT_EQ(platform.readFile("/bin/stuck.count").value_or(""), "run\nrun\n");
}

TEST(ToolRun, StoppingToolsEndsTheRunningOneAndStartsNoMore) {
  testing::TempFolder root;
  root.write("bin/stuck", "#!/bin/sh\nexec sleep 1000\n", true);
  Platform platform({.root = root.path(), .syslog = false, .toolSeconds = 60});
  std::vector<double> waited;
  platform.whileToolRuns = [&](const std::string& tool, double seconds) {
    EXPECT_EQ(tool, "/bin/stuck");
    waited.push_back(seconds);
    if (seconds > 0.3) platform.stopTools();
  };
  const auto start = std::chrono::steady_clock::now();
  ToolRun run = platform.runTool("/bin/stuck", {});
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
  EXPECT_TRUE(run.started);
  EXPECT_FALSE(run.timedOut);  // stopped, not a tool that did not answer
  EXPECT_FALSE(waited.empty());
  EXPECT_FALSE(platform.runTool("/bin/stuck", {}).started);
}

TEST(Platform, ReadsFilesButNotFolders) {
  testing::TempFolder root;
  root.write("etc/file", "abc");
  Platform platform({.root = root.path(), .syslog = false});
  EXPECT_EQ(platform.readFile("/etc/file").value_or("?"), "abc");
  EXPECT_FALSE(platform.readFile("/etc").has_value());
  EXPECT_FALSE(platform.readFile("/etc/missing").has_value());
  EXPECT_EQ(platform.listFolder("/etc"), (std::vector<std::string>{"file"}));
  EXPECT_TRUE(platform.diskFigures("/").known);
}

TEST(Platform, EntriesAndLinksWithoutLeavingTheRoot) {
  testing::TempFolder root;
  root.write("Volumes/Data/file", "x");
  root.write("Volumes/.DS_Store", "x");
  std::filesystem::create_directory_symlink("/", root.path() + "/Volumes/Macintosh HD");
  std::filesystem::create_directory_symlink("../Volumes/./Data/", root.path() + "/Volumes/Again");
  std::filesystem::create_directory_symlink("/../../etc", root.path() + "/Volumes/Out");
  Platform platform({.root = root.path(), .syslog = false});

  std::vector<std::pair<std::string, EntryKind>> entries;
  for (const auto& e : platform.listFolderEntries("/Volumes")) entries.emplace_back(e.name, e.kind);
  EXPECT_EQ(entries, (std::vector<std::pair<std::string, EntryKind>>{{".DS_Store", EntryKind::file},
                                                                     {"Again", EntryKind::link},
                                                                     {"Data", EntryKind::folder},
                                                                     {"Macintosh HD", EntryKind::link},
                                                                     {"Out", EntryKind::link}}));
  EXPECT_EQ(platform.linkTarget("/Volumes/Macintosh HD"), "/");
  EXPECT_EQ(platform.linkTarget("/Volumes/Again"), "/Volumes/Data");
  // An absolute target is a system path: it stays under the root.
  EXPECT_EQ(platform.linkTarget("/Volumes/Out"), "/etc");
  EXPECT_EQ(platform.linkTarget("/Volumes/Data"), std::nullopt);
  EXPECT_EQ(platform.linkTarget("/Volumes/None"), std::nullopt);
  EXPECT_EQ(platform.entryKind("/Volumes/Again"), EntryKind::link);
  EXPECT_EQ(platform.entryKind("/Volumes/Data/file"), EntryKind::file);
  EXPECT_EQ(platform.entryKind("/Volumes/None"), EntryKind::missing);
  EXPECT_TRUE(platform.listFolderEntries("/Volumes/None").empty());
  // A local disk is no network share.
  EXPECT_FALSE(platform.diskFigures("/Volumes/Data").networkShare);
}

TEST(Platform, VerboseLogReachesOnlyTheSink) {
  // A platform that notes what would go to the system log.
  class SystemLogPlatform : public Platform {
   public:
    SystemLogPlatform() : Platform({.syslog = false}) {}
    void log(std::string_view text) const override {
      systemLog.emplace_back(text);
      Platform::log(text);
    }
    mutable std::vector<std::string> systemLog;
  } platform;
  std::vector<std::string> seen;
  platform.logSink = [&](const std::string& t) { seen.push_back(t); };
  platform.verboseLog("why");
  platform.log("DHCP");
  EXPECT_EQ(seen, (std::vector<std::string>{"why", "DHCP"}));
  EXPECT_EQ(platform.systemLog, std::vector<std::string>{"DHCP"});
}

TEST(Platform, LogReachesTheSink) {
  Platform platform({.syslog = false});
  std::vector<std::string> seen;
  platform.logSink = [&](const std::string& t) { seen.push_back(t); };
  platform.log("Setup Ethernet");
  EXPECT_EQ(seen, (std::vector<std::string>{"Setup Ethernet"}));
}

// A capture folder as corvane-capture writes it: the manifest and each run
// recorded as data; at every tool path a program that would leave a marker.
struct CaptureFolder {
  testing::TempFolder root;
  std::string marker = root.path() + "/ran";
  int runs = 0;

  CaptureFolder() {
    root.write("corvane-capture/manifest.txt",
               "capture-time: 2026-12-10T16:05:00Z\nhost: Taro's iMac\nscript-version: 2\n");
  }
  void record(const std::string& command, const std::string& output, const std::string& status) {
    const std::string run = "corvane-capture/runs/" + std::to_string(++runs) + "/";
    root.write(run + "command", command);
    root.write(run + "output", output);
    root.write(run + "status", status);
  }
  void plant(const std::string& tool) {
    root.write(tool.substr(1), "#!/bin/sh\n: > '" + marker + "'\necho evil\n", true);
  }
};

TEST(CapturePlatform, ToolRunsAreAnsweredFromTheRecordingsAndNothingIsStarted) {
  CaptureFolder capture;
  capture.record("/sbin/ifconfig\n-au\n", "en0: inet 10.0.1.2\n", "started: yes\nexit: 0\ntimed-out: no\ncut: no\n");
  capture.record("/usr/bin/dig\n", std::string("partial\0rest", 12),
                 "started: yes\nexit: 9\ntimed-out: yes\ncut: yes\n");
  capture.record("/usr/bin/nslookup\nen0\n", "", "started: no\nexit: -1\ntimed-out: no\ncut: no\n");
  capture.record("/bin/ps\n-a\n", std::string(100, 'p'), "started: yes\nexit: 0\n");
  capture.record("/sbin/ifconfig\n-au\n", "a second run is not the answer", "started: yes\nexit: 1\n");
  for (const char* tool : {"/sbin/ifconfig", "/usr/bin/dig", "/usr/bin/nslookup", "/bin/ps", "/bin/df"})
    capture.plant(tool);
  auto platform = makeRootPlatform({.root = capture.root.path(), .syslog = false, .toolOutputCap = 64});
  ASSERT_NE(asCapture(*platform), nullptr);
  std::vector<std::string> verbose;
  platform->logSink = [&](const std::string& t) { verbose.push_back(t); };

  struct Case {
    const char* tool;
    std::vector<std::string> args;
    std::string output;
    int exit;
    bool started, timedOut, capped;
  };
  const Case cases[] = {
      {"/sbin/ifconfig", {"-au"}, "en0: inet 10.0.1.2\n", 0, true, false, false},
      {"/usr/bin/dig", {}, "partial", 9, true, true, true},
      {"/usr/bin/nslookup", {"en0"}, "", -1, false, false, false},
      {"/bin/ps", {"-a"}, std::string(64, 'p'), 0, true, false, true},  // past the output cap
      {"/sbin/ifconfig", {"-a"}, "", -1, false, false, false},          // other arguments: no recording
      {"/bin/df", {"-k"}, "", -1, false, false, false},                 // not recorded
  };
  for (const Case& c : cases) {
    const ToolRun run = platform->runTool(c.tool, c.args);
    EXPECT_EQ(run.output, c.output) << c.tool;
    EXPECT_EQ(run.exitStatus, c.exit) << c.tool;
    EXPECT_EQ(run.started, c.started) << c.tool;
    EXPECT_EQ(run.timedOut, c.timedOut) << c.tool;
    EXPECT_EQ(run.outputCapped, c.capped) << c.tool;
  }
  EXPECT_FALSE(std::filesystem::exists(capture.marker)) << "a file of the capture was run";
  EXPECT_NE(std::find(verbose.begin(), verbose.end(), "no recording of /sbin/ifconfig -a in the capture: not run"),
            verbose.end());

  // A system folder without the manifest is the developer's own: it runs.
  std::filesystem::remove_all(capture.root.path() + "/corvane-capture");
  auto system = makeRootPlatform({.root = capture.root.path(), .syslog = false});
  EXPECT_EQ(asCapture(*system), nullptr);
  EXPECT_EQ(system->runTool("/bin/ps", {"-a"}).output, "evil\n");
  EXPECT_TRUE(std::filesystem::exists(capture.marker));
}

TEST(CapturePlatform, DiskFiguresAreTheRecordedDfOrUnknown) {
  CaptureFolder recorded;
  recorded.record("/bin/df\n-k\n",
                  "Filesystem 1024-blocks Used Avail Capacity Mounted on\n"
                  "/dev/disk0s2 1000 400 600 40% /\n",
                  "started: yes\nexit: 0\n");
  CaptureFolder unrecorded;
  for (CaptureFolder* capture : {&recorded, &unrecorded}) capture->plant("/bin/df");
  auto withDf = makeRootPlatform({.root = recorded.root.path(), .syslog = false});
  DiskFigures figures = withDf->diskFigures("/Users/user");
  EXPECT_TRUE(figures.known);
  EXPECT_EQ(figures.totalBytes, 1000u * 1024);
  EXPECT_EQ(figures.freeBytes, 600u * 1024);
  // No recording: unknown, never the disk of the machine reading the capture.
  auto withoutDf = makeRootPlatform({.root = unrecorded.root.path(), .syslog = false});
  EXPECT_FALSE(withoutDf->diskFigures("/").known);
  EXPECT_TRUE(withoutDf->recordedVolumes().has_value());
  for (CaptureFolder* capture : {&recorded, &unrecorded}) EXPECT_FALSE(std::filesystem::exists(capture->marker));
}

TEST(CapturePlatform, RecordingsAreReadAsData) {
  EXPECT_EQ(parseRecordedCommand("/usr/sbin/system_profiler\n-xml\nSPHardwareDataType\n"),
            (std::vector<std::string>{"/usr/sbin/system_profiler", "-xml", "SPHardwareDataType"}));
  EXPECT_EQ(parseRecordedCommand("/usr/bin/dig\n"), (std::vector<std::string>{"/usr/bin/dig"}));
  EXPECT_EQ(parseRecordedCommand("/bin/x\n\nlast\n"), (std::vector<std::string>{"/bin/x", "", "last"}));
  EXPECT_TRUE(parseRecordedCommand("").empty());
  EXPECT_TRUE(parseRecordedCommand("relative/tool\n").empty());

  const auto line = parseLineRecording(
      "url: http://example.jp/check.html\nhttp-status: 404\nbytes: 1234\nseconds: 0.53\ncurl-exit: 0\nerror: \n");
  ASSERT_TRUE(line);
  EXPECT_EQ(line->url, "http://example.jp/check.html");
  EXPECT_EQ(line->httpStatus, 404);
  EXPECT_EQ(line->bytes, 1234u);
  EXPECT_DOUBLE_EQ(line->seconds, 0.53);
  EXPECT_FALSE(line->ok());
  const auto garbage = parseLineRecording("url: x\nhttp-status: 000\nbytes: lots\ncurl-exit: 7\nerror: refused\n");
  ASSERT_TRUE(garbage);
  EXPECT_EQ(garbage->httpStatus, 0);
  EXPECT_EQ(garbage->bytes, 0u);
  EXPECT_EQ(garbage->curlExit, 7);
  EXPECT_FALSE(parseLineRecording("http-status: 200\n"));
}

}  // namespace
}  // namespace corvane

// Captured systems whose tools or files misbehave, against every command that
// reads them: a tool that never returns, one that answers but leaves a child
// holding its output, one that prints without end, and property lists nested
// far deeper than any real one. Each command still answers: exit status 0 or
// 1, valid JSON where JSON is asked for, within 90 seconds and 300 MB.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <ostream>
#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/sysroot_path.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

using testing::TempFolder;

constexpr const char* kStore = "Library/Preferences/SystemConfiguration/preferences.plist";
constexpr const char* kSystemVersion = "System/Library/CoreServices/SystemVersion.plist";

using testing::CliRun;

// Runs the program with args, standard input empty, and measures its time
// and peak memory.
CliRun runCli(const std::vector<std::string>& args) {
  // Under AddressSanitizer freed memory waits in a quarantine of 256 MB
  // before it is reused; the program holds none of it, so it is kept small
  // here to let the peak measure what the program itself uses.
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string options = std::string(asan ? asan : "") + (asan && *asan ? ":" : "") + "quarantine_size_mb=16";
  return testing::runCorvaneCli(args, {.environment = {{"ASAN_OPTIONS", options}}});
}

std::string nestedXml(int depth) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>Sets</key>";
  xml.reserve(xml.size() + depth * 15);
  for (int i = 0; i < depth; ++i) xml += "<array>";
  for (int i = 0; i < depth; ++i) xml += "</array>";
  return xml + "</dict></plist>\n";
}

void appendBigEndian(std::string& out, uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Arrays of one element each, `depth` deep, in the binary form.
std::string nestedBinary(uint64_t depth) {
  std::string bytes = "bplist00";
  std::vector<uint64_t> offsets;
  for (uint64_t i = 0; i < depth; ++i) {
    offsets.push_back(bytes.size());
    if (i + 1 == depth) {
      bytes += '\xA0';
    } else {
      bytes += '\xA1';
      appendBigEndian(bytes, i + 1, 4);
    }
  }
  const uint64_t table = bytes.size();
  for (uint64_t offset : offsets) appendBigEndian(bytes, offset, 4);
  bytes += std::string(6, '\0');
  bytes += '\x04';
  bytes += '\x04';
  appendBigEndian(bytes, depth, 8);
  appendBigEndian(bytes, 0, 8);
  appendBigEndian(bytes, table, 8);
  return bytes;
}

// Replaces the tool at a path of the system with a script; the real tool
// stays beside it as "<tool>.real".
void replaceTool(const TempFolder& system, const std::string& tool, const std::string& body) {
  const std::string path = system.path() + "/" + tool;
  std::filesystem::rename(path, path + ".real");
  system.write(tool, "#!/bin/sh\n" + body + "\n", true);
}

struct HostileCase {
  const char* name;
  // The tool that does not answer, when the case has one.
  const char* unansweredTool;
  std::function<void(const TempFolder& system)> spoil;
};

// Test logs name the case, not its bytes.
void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

const HostileCase kCases[] = {
    {"ifconfig never returns", "/sbin/ifconfig",
     [](const TempFolder& s) { replaceTool(s, "sbin/ifconfig", "exec sleep 1000"); }},
    {"nslookup never returns", "/usr/bin/nslookup",
     [](const TempFolder& s) { replaceTool(s, "usr/bin/nslookup", "exec sleep 1000"); }},
    {"system_profiler never returns", "/usr/sbin/system_profiler",
     [](const TempFolder& s) { replaceTool(s, "usr/sbin/system_profiler", "exec sleep 1000"); }},
    {"ifconfig leaves a child holding its output", nullptr,
     [](const TempFolder& s) { replaceTool(s, "sbin/ifconfig", "(sleep 1000 &)\nexec \"$0.real\" \"$@\""); }},
    {"nslookup leaves a child holding its output", nullptr,
     [](const TempFolder& s) { replaceTool(s, "usr/bin/nslookup", "(sleep 1000 &)\nexec \"$0.real\" \"$@\""); }},
    {"system_profiler leaves a child holding its output", nullptr,
     [](const TempFolder& s) {
       replaceTool(s, "usr/sbin/system_profiler", "(sleep 1000 &)\nexec \"$0.real\" \"$@\"");
     }},
    {"ifconfig prints without end", nullptr,
     [](const TempFolder& s) { replaceTool(s, "sbin/ifconfig", "exec yes 'en0: flags=8863<UP,BROADCAST> mtu 1500'"); }},
    {"nslookup prints without end", nullptr,
     [](const TempFolder& s) { replaceTool(s, "usr/bin/nslookup", "exec yes 'Server:  192.168.1.1'"); }},
    {"system_profiler prints without end", nullptr,
     [](const TempFolder& s) { replaceTool(s, "usr/sbin/system_profiler", "exec yes '<array><dict>'"); }},
    {"store nested 300000 deep", nullptr, [](const TempFolder& s) { s.write(kStore, nestedXml(300000)); }},
    {"binary store nested 300000 deep", nullptr, [](const TempFolder& s) { s.write(kStore, nestedBinary(300000)); }},
    {"system version nested 300000 deep", nullptr,
     [](const TempFolder& s) { s.write(kSystemVersion, nestedXml(300000)); }},
};

class HostileSystems : public ::testing::TestWithParam<HostileCase> {};

struct Command {
  std::vector<std::string> args;
  bool json;  // standard output is one JSON document
};

// Every command that reads the system at root.
std::vector<Command> commandsOn(const std::string& root) {
  return {
      {{"check", "--root", root, "--bundle", CORVANE_BUNDLE, "--no-pause", "--lang", "C", "--repair", "no", "--json"},
       true},
      {{"check", "--root", root, "--bundle", CORVANE_BUNDLE, "--no-pause", "--lang", "C", "--repair", "no"}, false},
      {{"inspect", "network", "--root", root}, true},
      {{"inspect", "tcpip", "--root", root}, true},
      {{"inspect", "system", "--root", root}, true},
      {{"inspect", "hardware", "--root", root}, true},
      {{"repair", "--dry-run", "--root", root, "--bundle", CORVANE_BUNDLE}, false},
  };
}

TEST_P(HostileSystems, EveryCommandAnswers) {
  const HostileCase& c = GetParam();
  // The commands run side by side, each on a spoiled system of its own, so
  // that a stuck tool holds up the case for its time limit once.
  const std::size_t count = commandsOn("").size();
  std::vector<TempFolder> systems(count);
  std::vector<Command> commands;
  std::vector<std::future<CliRun>> runs;
  for (std::size_t i = 0; i < count; ++i) {
    std::filesystem::copy(testing::sysrootPath("demo"), systems[i].path(), std::filesystem::copy_options::recursive);
    c.spoil(systems[i]);
    commands.push_back(commandsOn(systems[i].path())[i]);
    runs.push_back(std::async(std::launch::async, [args = commands.back().args] { return runCli(args); }));
  }

  for (std::size_t i = 0; i < count; ++i) {
    const Command& command = commands[i];
    std::string line;
    for (const auto& a : command.args) line += a + " ";
    SCOPED_TRACE(line);
    const CliRun run = runs[i].get();
    EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status;
    EXPECT_LT(run.seconds, 90.0);
    EXPECT_LT(run.peakKilobytes, 300 * 1024);
    if (!command.json) continue;
    const auto report = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_FALSE(report.is_discarded()) << run.out.substr(0, 200);
    if (c.unansweredTool && command.args[0] == "check") {
      // Some row names the tool that did not answer.
      std::string causes;
      for (const auto& [name, row] : report["rows"].items())
        if (row["unanswered"].is_string()) causes += row["unanswered"].get<std::string>() + "\n";
      EXPECT_NE(causes.find(c.unansweredTool), std::string::npos) << causes;
      // One stuck tool costs its time limit once, not once per run.
      EXPECT_LT(run.seconds, 30.0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileSystems, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HostileCase>& test) {
                           std::string name;
                           for (const char* p = test.param.name; *p; ++p)
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return name;
                         });

}  // namespace
}  // namespace corvane

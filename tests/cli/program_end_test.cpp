// However corvane-cli ends, the private folder it unpacked a capture archive
// into is gone: a signal while it unpacks, a signal while a check waits for a
// tool, a reader that closes the pipe, and a run killed outright (the next
// run removes what it left, never a live run's folder). A signal also ends
// the tool and what the tool left running, and the exit status is the
// signal's.

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/cli_runner.h"
#include "support/sysroot_path.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

constexpr const char* kPrefix = "corvane-capture-";

// Writes the folder's files (and, for a slow unpacking, `fillers` more small
// ones) into a gzip'd tar archive.
void writeArchive(const std::string& folder, const std::string& path, int fillers = 0) {
  archive* out = archive_write_new();
  archive_write_add_filter_gzip(out);
  archive_write_set_format_pax_restricted(out);
  archive_write_open_filename(out, path.c_str());
  auto add = [out](const std::string& name, mode_t type, mode_t perm, const std::string& data) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, name.c_str());
    archive_entry_set_filetype(entry, type);
    archive_entry_set_perm(entry, perm);
    archive_entry_set_size(entry, static_cast<int64_t>(data.size()));
    archive_write_header(out, entry);
    if (!data.empty()) archive_write_data(out, data.data(), data.size());
    archive_entry_free(entry);
  };
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(item.path(), folder).string();
    const auto perm = static_cast<mode_t>(fs::status(item.path()).permissions()) & 0777;
    if (item.is_directory())
      add(name, AE_IFDIR, perm, "");
    else if (item.is_regular_file())
      add(name, AE_IFREG, perm, testing::readHostFile(item.path().string()));
  }
  add("zz-fillers", AE_IFDIR, 0755, "");
  for (int i = 0; i < fillers; ++i) add("zz-fillers/" + std::to_string(i), AE_IFREG, 0644, std::string(64, 'x'));
  archive_write_close(out);
  archive_write_free(out);
}

// The demo system whose ifconfig records its process id and that of a
// process it leaves running in a session of its own, then never answers.
void writeStuckSystem(const TempFolder& system, const std::string& marks) {
  fs::copy(testing::sysrootPath("demo"), system.path(), fs::copy_options::recursive);
  const std::string tool = system.path() + "/sbin/ifconfig";
  fs::remove(tool);
  system.write("sbin/ifconfig",
               "#!/bin/sh\n"
               "setsid sleep 1000 </dev/null >/dev/null 2>&1 &\n"
               "echo $! > '" +
                   marks +
                   "/detached.pid'\n"
                   "echo $$ > '" +
                   marks +
                   "/tool.pid.new'\n"
                   "mv '" +
                   marks + "/tool.pid.new' '" + marks +
                   "/tool.pid'\n"
                   "exec sleep 1000\n",
               true);
}

std::vector<std::string> privateFolders(const std::string& temporary) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(temporary))
    if (entry.path().filename().string().starts_with(kPrefix)) names.push_back(entry.path().filename());
  return names;
}

bool waitFor(const std::function<bool()>& condition, double seconds = 60) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// A process that runs no more: gone, or a zombie no one has reaped yet.
bool processEnded(pid_t pid) {
  const std::string stat = testing::readHostFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t close = stat.rfind(')');
  return close == std::string::npos || stat.compare(close, 3, ") Z") == 0;
}

pid_t readPid(const std::string& path) {
  const std::string text = testing::readHostFile(path);
  return text.empty() ? 0 : static_cast<pid_t>(std::stol(text));
}

// corvane-cli started in the background with TMPDIR set, standard output to
// outFd (or /dev/null), no core file.
pid_t startCli(const std::vector<std::string>& args, const std::string& temporary, int outFd = -1) {
  std::vector<std::string> environment{"TMPDIR=" + temporary, "PATH=/usr/bin:/bin", "LC_ALL=C"};
  std::vector<char*> envp;
  for (auto& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<char*> argv{const_cast<char*>(testing::kCorvaneCli.c_str())};
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (outFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  // SIGQUIT ends a program with a core file; none here.
  const rlimit noCore{0, 0};
  rlimit saved{};
  ::getrlimit(RLIMIT_CORE, &saved);
  ::setrlimit(RLIMIT_CORE, &noCore);
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  ::setrlimit(RLIMIT_CORE, &saved);
  posix_spawn_file_actions_destroy(&actions);
  return spawned == 0 ? pid : 0;
}

// Waits for the program; its raw wait status, or -1 when it ran on past a minute (it is killed then).
int waitForCli(pid_t pid) {
  int status = 0;
  if (!waitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; })) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
  }
  return status;
}

std::vector<std::string> checkArgs(const std::string& root) {
  return {"check", "--root", root, "--bundle", CORVANE_BUNDLE, "--no-pause", "--lang", "C", "--repair", "no"};
}

// The same check with its one-second pauses between rows.
std::vector<std::string> pausingCheckArgs(const std::string& root) {
  std::vector<std::string> args = checkArgs(root);
  args.erase(std::find(args.begin(), args.end(), "--no-pause"));
  return args;
}

struct SignalCase {
  const char* name;
  int signal;
};

const SignalCase kSignals[] = {
    {"INT", SIGINT}, {"TERM", SIGTERM}, {"HUP", SIGHUP}, {"QUIT", SIGQUIT}, {"PIPE", SIGPIPE},
};

class ProgramEnd : public ::testing::TestWithParam<SignalCase> {
 protected:
  TempFolder temporary;  // the program's TMPDIR
  TempFolder work;       // archives, systems and the tool's marks
};

// The archive is large enough that unpacking takes a while; the signal comes
// as soon as the private folder appears.
TEST_P(ProgramEnd, SignalWhileUnpackingLeavesNothing) {
  TempFolder system;
  fs::copy(testing::sysrootPath("demo"), system.path(), fs::copy_options::recursive);
  const std::string archive = work.path() + "/capture.tar.gz";
  writeArchive(system.path(), archive, 40000);
  const pid_t pid = startCli({"inspect", "network", "--root", archive}, temporary.path());
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(waitFor([&] { return !privateFolders(temporary.path()).empty(); }));
  ::kill(pid, GetParam().signal);
  const int status = waitForCli(pid);
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(WTERMSIG(status), GetParam().signal);
  EXPECT_EQ(privateFolders(temporary.path()), std::vector<std::string>{});
}

// A system folder's tool that never returns: the signal stops it and what it
// left behind.
TEST_P(ProgramEnd, SignalWhileAToolRunsStopsItAndLeavesNothing) {
  TempFolder system;
  writeStuckSystem(system, work.path());
  const pid_t pid = startCli(checkArgs(system.path()), temporary.path());
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(waitFor([&] { return fs::exists(work.path() + "/tool.pid"); }));
  const pid_t tool = readPid(work.path() + "/tool.pid");
  const pid_t detached = readPid(work.path() + "/detached.pid");
  ::kill(pid, GetParam().signal);
  const int status = waitForCli(pid);
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(WTERMSIG(status), GetParam().signal);
  EXPECT_EQ(privateFolders(temporary.path()), std::vector<std::string>{});
  EXPECT_TRUE(waitFor([&] { return processEnded(tool); }, 5)) << "the tool runs on";
  EXPECT_TRUE(waitFor([&] { return processEnded(detached); }, 5)) << "what the tool left runs on";
  ::kill(tool, SIGKILL);
  ::kill(detached, SIGKILL);
}

// An archive's tools never run; the signal comes while the check of the
// unpacked capture pauses between its rows.
TEST_P(ProgramEnd, SignalAfterUnpackingLeavesNothing) {
  TempFolder system;
  fs::copy(testing::sysrootPath("demo"), system.path(), fs::copy_options::recursive);
  const std::string archive = work.path() + "/capture.tar.gz";
  writeArchive(system.path(), archive);
  const pid_t pid = startCli(pausingCheckArgs(archive), temporary.path());
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(waitFor([&] { return !privateFolders(temporary.path()).empty(); }));
  ::usleep(1500 * 1000);
  ::kill(pid, GetParam().signal);
  const int status = waitForCli(pid);
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(WTERMSIG(status), GetParam().signal);
  EXPECT_EQ(privateFolders(temporary.path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramEnd, ::testing::ValuesIn(kSignals),
                         [](const auto& test) { return std::string(test.param.name); });

// `check --root ARCHIVE | head -1`: the reader goes after one line.
TEST(ProgramEndPipe, ClosedOutputLeavesNothing) {
  TempFolder temporary, work, system;
  fs::copy(testing::sysrootPath("demo"), system.path(), fs::copy_options::recursive);
  const std::string archive = work.path() + "/capture.tar.gz";
  writeArchive(system.path(), archive);
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t pid = startCli(checkArgs(archive), temporary.path(), fds[1]);
  ::close(fds[1]);
  char byte = 0;
  while (::read(fds[0], &byte, 1) == 1 && byte != '\n') {
  }
  ::close(fds[0]);
  waitForCli(pid);
  EXPECT_EQ(privateFolders(temporary.path()), std::vector<std::string>{});
}

// A run killed outright cannot clean up: the next run that unpacks removes
// its folder, and leaves the folder of a run still going.
TEST(ProgramEndKilled, NextRunRemovesTheKilledRunsFolderOnly) {
  TempFolder temporary, work, plain;
  fs::copy(testing::sysrootPath("demo"), plain.path(), fs::copy_options::recursive);
  const std::string archive = work.path() + "/capture.tar.gz";
  writeArchive(plain.path(), archive);
  // A run with pauses is still going a few seconds after it unpacked.
  const auto startSlowRun = [&] {
    const pid_t pid = startCli(pausingCheckArgs(archive), temporary.path());
    const std::string own = kPrefix + std::to_string(pid) + "-";
    EXPECT_TRUE(waitFor([&] {
      for (const auto& name : privateFolders(temporary.path()))
        if (name.starts_with(own)) return true;
      return false;
    }));
    ::usleep(500 * 1000);
    return pid;
  };

  const pid_t killed = startSlowRun();
  ::kill(killed, SIGKILL);
  waitForCli(killed);
  const auto left = privateFolders(temporary.path());
  ASSERT_EQ(left.size(), 1u);
  EXPECT_TRUE(left[0].starts_with(kPrefix + std::to_string(killed) + "-")) << left[0];

  const pid_t live = startSlowRun();
  const testing::CliRun next = testing::runCorvaneCli({"inspect", "network", "--root", archive},
                                                      {.environment = {{"TMPDIR", temporary.path()}}});
  EXPECT_EQ(next.status, 0) << next.err;
  const auto kept = privateFolders(temporary.path());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_TRUE(kept[0].starts_with(kPrefix + std::to_string(live) + "-")) << kept[0];

  ::kill(live, SIGTERM);
  waitForCli(live);
  EXPECT_EQ(privateFolders(temporary.path()), std::vector<std::string>{});
}

}  // namespace
}  // namespace corvane

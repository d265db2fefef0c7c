#include "core/platform.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>
#include <utility>

#include "core/file_read.h"
#include "core/platform_signals.h"
#include "core/text.h"

extern char** environ;

// Running the system's tools: each in a process group of its own, its output
// read while it runs, within a time limit and an output cap.

namespace corvane {

namespace {

using ToolClock = std::chrono::steady_clock;

double secondsSince(ToolClock::time_point start) {
  return std::chrono::duration<double>(ToolClock::now() - start).count();
}

// A descriptor that becomes readable when the process exits; -1 where the
// kernel has none (the wait then falls back to short sleeps).
int processExitDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

// What a pipe reader does once it has kept `cap` bytes: stop reading (the
// tool is then stopped), or read on and drop the rest, so that a tool that
// talks on never blocks on the pipe.
enum class PastCap { Stop, Drop };

// Reads what the pipe holds now, keeping at most `cap` bytes; capped tells
// that the cap stopped it. False at the end of the pipe (every writer closed it).
bool readAvailable(int fd, std::string& kept, size_t cap, PastCap past, bool& capped) {
  char buffer[65536];
  for (;;) {
    if (past == PastCap::Stop && kept.size() >= cap) {
      capped = true;
      return true;
    }
    const size_t room = past == PastCap::Stop ? std::min(sizeof buffer, cap - kept.size()) : sizeof buffer;
    ssize_t n = ::read(fd, buffer, room);
    if (n > 0) {
      if (kept.size() < cap) kept.append(buffer, std::min(static_cast<size_t>(n), cap - kept.size()));
    } else if (n == 0) {
      return false;
    } else if (errno == EINTR) {
      continue;
    } else {
      return errno == EAGAIN || errno == EWOULDBLOCK;
    }
  }
}

constexpr size_t kToolErrorCap = 64 * 1024;

// A started tool: its process (and group) and the read ends of its standard
// output and error, both non-blocking.
struct SpawnedTool {
  pid_t pid = -1;
  int out = -1;
  int err = -1;
};

// Starts the tool at its host path in a process group of its own, so that a
// time-out stops whatever it started; nullopt when it cannot start.
std::optional<SpawnedTool> spawnTool(std::string path, const std::vector<std::string>& args) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
  int errFds[2];
  if (::pipe2(errFds, O_CLOEXEC) != 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return std::nullopt;
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errFds[1], STDERR_FILENO);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  short flags = POSIX_SPAWN_SETPGROUP;
  giveChildDefaultSignals(attributes, flags);
  posix_spawnattr_setflags(&attributes, flags);
  posix_spawnattr_setpgroup(&attributes, 0);

  pid_t pid = -1;
  int err = ENOMEM;
  try {
    std::vector<char*> argv;
    argv.push_back(path.data());
    std::vector<std::string> argCopies(args);
    for (auto& a : argCopies) argv.push_back(a.data());
    argv.push_back(nullptr);
    err = ::posix_spawn(&pid, path.c_str(), &actions, &attributes, argv.data(), environ);
  } catch (...) {
    err = ENOMEM;
  }
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(fds[1]);
  ::close(errFds[1]);
  if (err != 0) {
    ::close(fds[0]);
    ::close(errFds[0]);
    return std::nullopt;
  }
  ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
  ::fcntl(errFds[0], F_SETFL, ::fcntl(errFds[0], F_GETFL) | O_NONBLOCK);
  return SpawnedTool{pid, fds[0], errFds[0]};
}

std::atomic<bool> programStop{false};

// The ids of this process's living children (not those that wait to be
// reaped), from /proc: tools, and what they left behind once this process
// adopted it.
std::vector<pid_t> livingChildren() {
  std::vector<pid_t> children;
  const std::string parent = std::to_string(::getpid());
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    // "pid (name) state ppid ...": the name may hold spaces and parentheses.
    const std::string stat = readWholeFile("/proc/" + name + "/stat", 4096).value_or("");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    const auto fields = splitText(stat.substr(close + 1), " ");
    if (fields.size() > 2 && fields[2] == parent && fields[1] != "Z")
      children.push_back(static_cast<pid_t>(std::stol(name)));
  }
  return children;
}

}  // namespace

void requestProgramStop() {
  programStop = true;
  // Each tool leads a process group of its own; an adopted process may too.
  // What a killed tool left in another group becomes this process's child
  // only once the tool is gone: a few rounds, each short, until none lives.
  for (int round = 0; round < 50; ++round) {
    const std::vector<pid_t> children = livingChildren();
    if (children.empty()) return;
    for (pid_t child : children) {
      ::kill(-child, SIGKILL);
      ::kill(child, SIGKILL);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool programStopRequested() { return programStop.load(); }

ToolRun Platform::runToolWithin(double seconds, std::string_view systemPath, const std::vector<std::string>& args) {
  const double saved = toolSeconds_;
  toolSeconds_ = seconds;
  ToolRun run = runTool(systemPath, args);
  toolSeconds_ = saved;
  return run;
}

std::vector<std::string> Platform::takeUnansweredTools() {
  std::lock_guard lock(unansweredMutex_);
  return std::exchange(unanswered_, {});
}

void Platform::forgetUnansweredTools() {
  std::lock_guard lock(unansweredMutex_);
  timedOutTools_.clear();
  unanswered_.clear();
}

void Platform::stopTools() {
  toolsStopped_ = true;
  if (int group = runningGroup_.load(); group > 0) ::kill(-group, SIGKILL);
}

ToolRun Platform::runTool(std::string_view systemPath, const std::vector<std::string>& args) {
  ToolRun run;
  if (toolsStopped_ || programStopRequested()) return run;
  const std::string tool(systemPath);
  if (didNotAnswerBefore(tool)) {
    // Waiting again would only double the wait.
    run.timedOut = true;
    return run;
  }
  // The tool's path is resolved under the root, so that a link among the
  // system's folders never starts a program outside it.
  const std::optional<std::string> host = resolvedHostPath(systemPath);
  const std::optional<SpawnedTool> spawned = host ? spawnTool(*host, args) : std::nullopt;
  if (!spawned) return run;
  run.started = true;
  runningGroup_ = spawned->pid;

  std::string output;
  int status = 0;
  const bool exited = readWhileToolRuns(tool, spawned->pid, spawned->out, spawned->err, run, output, status);
  // The group goes too when the tool exited by itself: what it left behind
  // (a child holding its output, one that prints on) belongs to no one.
  ::kill(-spawned->pid, SIGKILL);
  if (!exited) {
    while (::waitpid(spawned->pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  runningGroup_ = 0;
  ::close(spawned->out);
  ::close(spawned->err);
  if (!run.errorOutput.empty()) verboseLog(tool + " said: " + run.errorOutput);

  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  noteToolEnd(tool, run);
  // Cut at the first NUL in place: a second copy of a large answer is memory
  // for nothing.
  output.resize(untilNul(output).size());
  run.output = std::move(output);
  return run;
}

bool Platform::didNotAnswerBefore(const std::string& tool) {
  std::lock_guard lock(unansweredMutex_);
  if (!timedOutTools_.count(tool)) return false;
  unanswered_.push_back(tool);
  return true;
}

bool Platform::readWhileToolRuns(const std::string& tool, int pid, int outFd, int errFd, ToolRun& run,
                                 std::string& output, int& status) {
  // Read while the tool runs, so that it never blocks on a full pipe; stop
  // once it has exited (a process it left behind may hold the pipe open for
  // ever), at the time limit or at the output cap.
  const auto started = ToolClock::now();
  const size_t cap = options_.toolOutputCap;
  const int exitFd = processExitDescriptor(pid);
  bool pipeOpen = true;
  bool errOpen = true;
  bool errorCapped = false;  // the error output past its cap is dropped, not a reason to stop
  bool exited = false;
  auto lastReport = started;
  try {
    for (;;) {
      if (::waitpid(pid, &status, WNOHANG) == pid) {
        exited = true;
        if (pipeOpen) readAvailable(outFd, output, cap, PastCap::Stop, run.outputCapped);
        if (errOpen) readAvailable(errFd, run.errorOutput, kToolErrorCap, PastCap::Drop, errorCapped);
        break;
      }
      if (run.outputCapped) break;
      const bool stopped = toolsStopped_ || programStopRequested();
      if (stopped || secondsSince(started) >= toolSeconds_) {
        run.timedOut = !stopped;
        break;
      }
      pollfd waits[3];
      nfds_t count = 0;
      if (pipeOpen) waits[count++] = pollfd{outFd, POLLIN, 0};
      if (errOpen) waits[count++] = pollfd{errFd, POLLIN, 0};
      if (exitFd >= 0) waits[count++] = pollfd{exitFd, POLLIN, 0};
      const int waitMs = count == 0 || (exitFd < 0 && !pipeOpen) ? 5 : 100;
      if (count == 0 || (exitFd < 0 && !pipeOpen)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
      } else {
        ::poll(waits, count, waitMs);
      }
      if (pipeOpen && !readAvailable(outFd, output, cap, PastCap::Stop, run.outputCapped)) pipeOpen = false;
      if (errOpen && !readAvailable(errFd, run.errorOutput, kToolErrorCap, PastCap::Drop, errorCapped)) errOpen = false;
      if (whileToolRuns && secondsSince(lastReport) >= 0.1) {
        lastReport = ToolClock::now();
        whileToolRuns(tool, secondsSince(started));
      }
    }
  } catch (...) {
    // Out of memory, or a failure in the waiting callback: what was read so
    // far is the answer.
    run.outputCapped = true;
  }
  if (exitFd >= 0) ::close(exitFd);
  return exited;
}

void Platform::noteToolEnd(const std::string& tool, const ToolRun& run) {
  if (run.timedOut) {
    log("tool " + tool + " did not answer within " + std::to_string(static_cast<int>(toolSeconds_)) +
        " seconds; stopped");
    std::lock_guard lock(unansweredMutex_);
    timedOutTools_.insert(tool);
    unanswered_.push_back(tool);
  } else if (run.outputCapped) {
    log("tool " + tool + " printed more than " + std::to_string(options_.toolOutputCap >> 20) + " MB; stopped");
  }
}

}  // namespace corvane

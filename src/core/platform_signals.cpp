#include "core/platform_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>

// The front ends' watch over the ending signals: blocked in every thread,
// read by one thread of its own from a signalfd, so that no handler runs in
// the middle of the program's work.

namespace corvane {
namespace {

sigset_t endingSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : endingSignals()) sigaddset(&set, signal);
  return set;
}

// SIGPIPE is mostly sent to the thread that wrote to a closed pipe, which a
// signalfd never sees: a handler records it in a pipe the watcher reads.
std::atomic<int> recordFd{-1};

void recordSignal(int signal) {
  const int saved = errno;
  const char number = static_cast<char>(signal);
  const int fd = recordFd.load();
  if (fd >= 0 && ::write(fd, &number, 1) < 0) {
    // A full pipe: the watcher has a signal to act on already.
  }
  errno = saved;
}

}  // namespace

const std::vector<int>& endingSignals() {
  static const std::vector<int> signals{SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};
  return signals;
}

void giveChildDefaultSignals(posix_spawnattr_t& attributes, short& flags) {
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  const sigset_t ending = endingSet();
  posix_spawnattr_setsigdefault(&attributes, &ending);
  flags = static_cast<short>(flags | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
}

SignalWatch::SignalWatch(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
  sigset_t set = endingSet();
  sigdelset(&set, SIGPIPE);
  ::pthread_sigmask(SIG_BLOCK, &set, &previousMask_);
  signalFd_ = ::signalfd(-1, &set, SFD_CLOEXEC);
  if (::pipe2(wake_, O_CLOEXEC) != 0) wake_[0] = wake_[1] = -1;
  if (::pipe2(record_, O_CLOEXEC | O_NONBLOCK) == 0) {
    recordFd = record_[1];
    struct sigaction action {};
    action.sa_handler = recordSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGPIPE, &action, &previousPipeAction_);
  } else {
    record_[0] = record_[1] = -1;
  }
#ifdef PR_SET_CHILD_SUBREAPER
  ::prctl(PR_GET_CHILD_SUBREAPER, &previousSubreaper_);
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
#endif
  if (wake_[0] >= 0) thread_ = std::thread([this] { watch(); });
}

SignalWatch::~SignalWatch() {
  if (wake_[1] >= 0) {
    const char byte = 0;
    while (::write(wake_[1], &byte, 1) < 0 && errno == EINTR) {
    }
  }
  if (thread_.joinable()) thread_.join();
  if (record_[1] >= 0) {
    ::sigaction(SIGPIPE, &previousPipeAction_, nullptr);
    recordFd = -1;
  }
  for (int fd : {wake_[0], wake_[1], signalFd_, record_[0], record_[1]})
    if (fd >= 0) ::close(fd);
#ifdef PR_SET_CHILD_SUBREAPER
  ::prctl(PR_SET_CHILD_SUBREAPER, previousSubreaper_);
#endif
  ::pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void SignalWatch::watch() {
  for (;;) {
    pollfd waits[3] = {{wake_[0], POLLIN, 0}, {signalFd_, POLLIN, 0}, {record_[0], POLLIN, 0}};
    if (::poll(waits, 3, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (waits[0].revents != 0) return;
    int signal = 0;
    signalfd_siginfo info{};
    char number = 0;
    if (waits[1].revents != 0 && ::read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
      signal = static_cast<int>(info.ssi_signo);
    else if (waits[2].revents != 0 && ::read(record_[0], &number, 1) == 1)
      signal = number;
    if (signal == 0) continue;
    received_ = signal;
    requestProgramStop();
    if (onSignal_) onSignal_(received_);
    return;
  }
}

void SignalWatch::endBySignal(int signal) {
  // A tool started while the front end cleaned up is stopped too.
  requestProgramStop();
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::raise(signal);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::_exit(128 + signal);
}

}  // namespace corvane

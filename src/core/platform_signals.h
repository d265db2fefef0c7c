#pragma once
// Ending the program on a signal. The library installs nothing by itself: a
// front end makes one SignalWatch at the start of main, which owns the
// ending signals while it lives and gives them back as they were. Its
// watcher only records the signal and asks the program to stop; the front
// end removes what the program made and then ends as the signal would have
// ended it.

#include <signal.h>
#include <spawn.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace corvane {

// The signals that end the program: SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE.
const std::vector<int>& endingSignals();

// Asks the program to end: no tool starts any more, the running ones are
// killed with their process groups (and, where the system adopts them for
// us, the processes they left behind), and an unpacking capture stops at its
// next entry. Safe from any thread (not from a signal handler).
void requestProgramStop();
bool programStopRequested();

// The child of a spawn starts with the signal mask and the ending signals'
// actions a program expects, whatever the parent blocked.
void giveChildDefaultSignals(posix_spawnattr_t& attributes, short& flags);

class SignalWatch {
 public:
  // Blocks the ending signals in the calling thread, and so in every thread
  // started after it (make it first in main), and starts a thread that waits
  // for them; SIGPIPE, which goes to the thread that wrote, gets a handler
  // that only records it for that thread. On the first: requestProgramStop(), then onSignal(signal) on
  // that thread. Where the system offers it, this process also adopts the
  // processes its tools leave behind, so that a stop reaches them.
  explicit SignalWatch(std::function<void(int signal)> onSignal = {});
  // Stops the waiting thread (after onSignal has returned) and restores the
  // signal mask and SIGPIPE's action; a signal that came after is then
  // delivered as usual.
  ~SignalWatch();
  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;

  // The signal received, 0 while none.
  int received() const { return received_.load(); }

  // Ends the process as the signal's default action does: the exit status
  // a shell and a parent see is the signal's.
  [[noreturn]] static void endBySignal(int signal);

 private:
  void watch();

  std::function<void(int)> onSignal_;
  std::atomic<int> received_{0};
  int wake_[2] = {-1, -1};
  int signalFd_ = -1;
  // SIGPIPE's record (written by its handler).
  int record_[2] = {-1, -1};
  struct sigaction previousPipeAction_ {};
  sigset_t previousMask_{};
  int previousSubreaper_ = 0;
  std::thread thread_;
};

}  // namespace corvane

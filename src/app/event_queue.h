#pragma once
// A run loop for front ends without one (the command line, the tests): posted
// tasks and due timers run on the thread that calls runUntil.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "app/corvane_view.h"

namespace corvane {

class EventQueue : public RunLoop {
 public:
  void post(std::function<void()> task) override;
  TimerId startTimer(double seconds, std::function<void()> task) override;
  void cancelTimer(TimerId id) override;

  // Runs posted tasks and due timers, in order, until done() holds. Waits
  // for tasks from other threads meanwhile: the caller makes sure that
  // something will post while done() is false.
  void runUntil(const std::function<bool()>& done);

  // Runs what is posted now, and the timers that are due, without waiting.
  void runPending();

 private:
  using Clock = std::chrono::steady_clock;
  struct Timer {
    Clock::time_point due;
    std::function<void()> task;
  };
  // Takes the next runnable task, waiting for one when wait is set; empty
  // when there is nothing (more) to run.
  std::function<void()> next(bool wait);

  std::mutex mutex_;
  std::condition_variable wakeup_;
  std::deque<std::function<void()>> tasks_;
  std::map<TimerId, Timer> timers_;
  TimerId lastTimer_ = 0;
};

}  // namespace corvane

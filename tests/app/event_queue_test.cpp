// The event queue of the command line and the tests.

#include <gtest/gtest.h>

#include <thread>

#include "app/event_queue.h"

namespace corvane {
namespace {

TEST(EventQueue, RunsPostsFromOtherThreadsOnTheWaitingThread) {
  EventQueue queue;
  std::thread::id ranOn;
  bool done = false;
  std::thread worker([&] {
    queue.post([&] {
      ranOn = std::this_thread::get_id();
      done = true;
    });
  });
  queue.runUntil([&] { return done; });
  worker.join();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(EventQueue, CancelledTimerNeverFiresAndTimersRunInDueOrder) {
  EventQueue queue;
  std::vector<int> fired;
  auto cancelled = queue.startTimer(0.0, [&] { fired.push_back(0); });
  queue.startTimer(0.02, [&] { fired.push_back(2); });
  queue.startTimer(0.01, [&] { fired.push_back(1); });
  queue.cancelTimer(cancelled);
  queue.cancelTimer(999);  // unknown: nothing happens
  queue.runUntil([&] { return fired.size() == 2; });
  EXPECT_EQ(fired, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace corvane

#include "app/event_queue.h"

namespace corvane {

void EventQueue::post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wakeup_.notify_all();
}

RunLoop::TimerId EventQueue::startTimer(double seconds, std::function<void()> task) {
  auto delay = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  std::lock_guard lock(mutex_);
  TimerId id = ++lastTimer_;
  timers_[id] = Timer{Clock::now() + delay, std::move(task)};
  wakeup_.notify_all();
  return id;
}

void EventQueue::cancelTimer(TimerId id) {
  std::lock_guard lock(mutex_);
  timers_.erase(id);
}

std::function<void()> EventQueue::next(bool wait) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (!tasks_.empty()) {
      auto task = std::move(tasks_.front());
      tasks_.pop_front();
      return task;
    }
    auto earliest = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it)
      if (earliest == timers_.end() || it->second.due < earliest->second.due) earliest = it;
    if (earliest != timers_.end() && earliest->second.due <= Clock::now()) {
      auto task = std::move(earliest->second.task);
      timers_.erase(earliest);
      return task;
    }
    if (!wait) return {};
    if (earliest != timers_.end()) {
      Clock::time_point due = earliest->second.due;
      wakeup_.wait_until(lock, due);
    } else {
      wakeup_.wait(lock);
    }
  }
}

void EventQueue::runUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (auto task = next(true)) task();
  }
}

void EventQueue::runPending() {
  while (auto task = next(false)) task();
}

}  // namespace corvane

#include "gui/qt_run_loop.h"

#include <QMetaObject>

namespace corvane {

QtRunLoop::QtRunLoop() = default;

QtRunLoop::~QtRunLoop() {
  for (auto& [id, timer] : timers_) delete timer;
}

void QtRunLoop::post(std::function<void()> task) {
  QMetaObject::invokeMethod(
      &context_, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

RunLoop::TimerId QtRunLoop::startTimer(double seconds, std::function<void()> task) {
  const TimerId id = ++lastTimer_;
  auto* timer = new QTimer(&context_);
  timer->setSingleShot(true);
  timer->setInterval(static_cast<int>(seconds * 1000.0));
  QObject::connect(timer, &QTimer::timeout, &context_, [this, id, task = std::move(task)] {
    auto found = timers_.find(id);
    if (found == timers_.end()) return;
    found->second->deleteLater();
    timers_.erase(found);
    task();
  });
  timers_[id] = timer;
  timer->start();
  return id;
}

void QtRunLoop::cancelTimer(TimerId id) {
  auto found = timers_.find(id);
  if (found == timers_.end()) return;
  found->second->stop();
  found->second->deleteLater();
  timers_.erase(found);
}

}  // namespace corvane

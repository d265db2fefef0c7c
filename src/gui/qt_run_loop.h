#pragma once
// The controller's run loop on the Qt event loop: posted tasks and timers run
// on the thread that owns this object (the window's thread), whichever
// thread posted them.

#include <QObject>
#include <QTimer>
#include <map>

#include "app/corvane_view.h"

namespace corvane {

class QtRunLoop : public RunLoop {
 public:
  QtRunLoop();
  ~QtRunLoop() override;

  void post(std::function<void()> task) override;
  TimerId startTimer(double seconds, std::function<void()> task) override;
  void cancelTimer(TimerId id) override;

 private:
  QObject context_;
  std::map<TimerId, QTimer*> timers_;
  TimerId lastTimer_ = 0;
};

}  // namespace corvane

// corvane-bench-window [--empty | --run] [--root DIR] [--bundle DIR]: starts
// the window as the corvane program does (or, with --empty, a bare Qt widget
// of the same size), and prints the wall clock (nanoseconds since the epoch)
// once the main window has been painted for the first time; then quits.
// bench/window_start.py subtracts the moment it started the program.
// With --run it then presses start, answers every panel as a user who
// declines the repair would, and quits when the line check has ended: a
// whole run, for the window's peak memory.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "gui/corvane_app.h"
#include "gui/image_button.h"
#include "gui/network_err_panel.h"
#include "gui/screenshot_script.h"

namespace {

// Calls `then` once the watched widget's first paint has been handled.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(std::function<void()> then) : then_(std::move(then)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      QTimer::singleShot(0, [this] {
        auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("%lld\n",
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
        then_();
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> then_;
  bool seen_ = false;
};

// Quits when the sequence and its line check have ended.
void quitWhenDone(corvane::CorvaneApp& app) {
  if (app.controller().lineCheckRunning() || app.window().busy()) {
    QTimer::singleShot(50, [&app] { quitWhenDone(app); });
    return;
  }
  QCoreApplication::quit();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  corvane::GuiOptions options;
  options.pauses = false;
  options.syslog = false;
  bool empty = false, run = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--empty")
      empty = true;
    else if (arg == "--run")
      run = true;
    else if (arg == "--root" && i + 1 < argc)
      options.root = argv[++i];
    else if (arg == "--bundle" && i + 1 < argc)
      options.bundle = argv[++i];
  }
  corvane::CorvaneApp* started = nullptr;
  FirstPaint firstPaint([&] {
    if (!run || !started) return QCoreApplication::quit();
    corvane::clickWidget(started->window().button(1));
    quitWhenDone(*started);
  });
  if (empty) {
    QWidget widget;
    widget.resize(640, 480);
    widget.installEventFilter(&firstPaint);
    widget.show();
    return QCoreApplication::exec();
  }
  corvane::CorvaneApp app(options);
  started = &app;
  app.window().panelWillRun = [](QDialog* panel, const char*) {
    QTimer::singleShot(0, panel, [panel] {
      if (auto* repair = qobject_cast<corvane::NetworkErrPanel*>(panel))
        repair->OnNo();
      else
        panel->done(0);
    });
  };
  app.window().installEventFilter(&firstPaint);
  app.start();
  return QCoreApplication::exec();
}

// corvane-bench-window [--empty] [--root DIR] [--bundle DIR]: starts the
// window as the corvane program does (or, with --empty, a bare Qt widget of
// the same size), and prints the wall clock (nanoseconds since the epoch)
// once the main window has been painted for the first time; then quits.
// bench/window_start.py subtracts the moment it started the program.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "gui/corvane_app.h"

namespace {

// Quits once the watched widget's first paint has been handled.
class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      QTimer::singleShot(0, [] {
        auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("%lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
        QCoreApplication::quit();
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  corvane::GuiOptions options;
  options.pauses = false;
  options.syslog = false;
  bool empty = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--empty") empty = true;
    else if (arg == "--root" && i + 1 < argc) options.root = argv[++i];
    else if (arg == "--bundle" && i + 1 < argc) options.bundle = argv[++i];
  }
  FirstPaint firstPaint;
  if (empty) {
    QWidget widget;
    widget.resize(640, 480);
    widget.installEventFilter(&firstPaint);
    widget.show();
    return QCoreApplication::exec();
  }
  corvane::CorvaneApp app(options);
  app.window().installEventFilter(&firstPaint);
  app.start();
  return QCoreApplication::exec();
}

// The controller's run loop on Qt's event loop, and the window's pause that
// keeps that loop running.

#include "gui/qt_run_loop.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <thread>

#include "core/plist_io.h"
#include "gui_fixture.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

TEST(QtRunLoopTest, TasksPostedFromAnotherThreadRunOnTheWindowsThread) {
  QtRunLoop loop;
  QThread* ranOn = nullptr;
  std::thread poster([&] { loop.post([&] { ranOn = QThread::currentThread(); }); });
  poster.join();
  EXPECT_EQ(ranOn, nullptr);  // not before the event loop runs
  ASSERT_TRUE(QTest::qWaitFor([&] { return ranOn != nullptr; }, 2000));
  EXPECT_EQ(ranOn, QThread::currentThread());
}

TEST(QtRunLoopTest, TimersFireOnceAndCancelledOnesNever) {
  QtRunLoop loop;
  int fired = 0;
  int cancelled = 0;
  loop.startTimer(0.05, [&] { ++fired; });
  RunLoop::TimerId id = loop.startTimer(0.05, [&] { ++cancelled; });
  loop.cancelTimer(id);
  loop.cancelTimer(id);     // twice: nothing
  loop.cancelTimer(12345);  // unknown: nothing
  QTest::qWait(200);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(cancelled, 0);
}

TEST(MainWindowPauseTest, APauseWaitsWhileTheEventLoopKeepsRunning) {
  testing::TempFolder root;
  Dictionary version;
  version.set("ProductVersion", Value(std::string("10.6.8")));
  root.write("System/Library/CoreServices/SystemVersion.plist", toXmlPropertyList(Value(std::move(version))));
  GuiOptions options = testing::optionsFor(root.path());
  options.pauses = true;
  CorvaneApp app(options, {}, std::make_unique<testing::FailingDownloader>());
  app.start();

  QtRunLoop loop;
  bool ran = false;
  loop.post([&] { ran = true; });
  QElapsedTimer clock;
  clock.start();
  app.window().pause(0.3);
  EXPECT_TRUE(ran);
  EXPECT_GE(clock.elapsed(), 290);

  // Without pauses the same call returns at once.
  GuiOptions quick = testing::optionsFor(root.path());
  CorvaneApp quickApp(quick, {}, std::make_unique<testing::FailingDownloader>());
  clock.restart();
  quickApp.window().pause(5.0);
  EXPECT_LT(clock.elapsed(), 1000);
}

}  // namespace
}  // namespace corvane

// A root that is no Mac system opens on the page asking for a capture; a
// capture opened from it starts the window on that capture.

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>

#include <gtest/gtest.h>

#include "gui/front_door.h"
#include "support/sysroot_path.h"

namespace corvane {
namespace {

GuiOptions optionsFor(const std::string& root, const std::string& lang) {
  GuiOptions options;
  options.root = root;
  options.bundle = CORVANE_BUNDLE;
  options.lang = lang;
  options.pauses = false;
  options.syslog = false;
  return options;
}

TEST(OpenCapture, NonMacRootShowsThePageInEachLanguage) {
  QTemporaryDir empty;
  struct Case {
    std::string lang;
    QString explanation;
    QString button;
  };
  for (const Case& c : {Case{"en", "is not a Mac system", "Open Capture…"},
                        Case{"ja", "Mac のシステムではありません", "取り込みを開く…"}}) {
    FrontDoor door(optionsFor(empty.path().toStdString(), c.lang));
    door.start();
    EXPECT_EQ(door.app(), nullptr) << c.lang;
    ASSERT_NE(door.page(), nullptr) << c.lang;
    EXPECT_TRUE(door.page()->isVisible());
    EXPECT_TRUE(door.page()->explanation().contains(c.explanation)) << door.page()->explanation().toStdString();
    EXPECT_TRUE(door.page()->explanation().contains(empty.path())) << door.page()->explanation().toStdString();
    EXPECT_EQ(door.page()->openButton()->text(), c.button);
    EXPECT_TRUE(door.page()->acceptDrops());
  }
}

TEST(OpenCapture, MacRootOpensTheWindowAtOnce) {
  FrontDoor door(optionsFor(testing::sysrootPath("demo"), "en"));
  door.start();
  EXPECT_EQ(door.page(), nullptr);
  ASSERT_NE(door.app(), nullptr);
  EXPECT_TRUE(door.app()->window().isVisible());
}

TEST(OpenCapture, OpeningACapturedSystemReplacesThePageWithTheWindow) {
  QTemporaryDir empty;
  FrontDoor door(optionsFor(empty.path().toStdString(), "en"));
  door.start();
  ASSERT_NE(door.page(), nullptr);
  QPointer<QWidget> page = door.page();

  EXPECT_TRUE(door.openCapture(testing::sysrootPath("demo")));
  ASSERT_NE(door.app(), nullptr);
  EXPECT_TRUE(door.app()->window().isVisible());
  EXPECT_EQ(door.app()->platform().root(), testing::sysrootPath("demo"));
  FrontDoor direct(optionsFor(testing::sysrootPath("demo"), "en"));
  direct.start();
  EXPECT_FALSE(door.app()->window().windowTitle().isEmpty());
  EXPECT_EQ(door.app()->window().windowTitle(), direct.app()->window().windowTitle());
  EXPECT_EQ(door.page(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(page.isNull());
}

TEST(OpenCapture, WhatCannotBeOpenedKeepsThePageAndSaysWhy) {
  QTemporaryDir empty, other;
  const std::string broken = empty.path().toStdString() + "/broken.tar.gz";
  std::ofstream(broken) << "not an archive";
  FrontDoor door(optionsFor(empty.path().toStdString(), "en"));
  door.start();

  EXPECT_FALSE(door.openCapture(broken));
  EXPECT_EQ(door.app(), nullptr);
  ASSERT_NE(door.page(), nullptr);
  EXPECT_TRUE(door.page()->failure().contains("broken.tar.gz")) << door.page()->failure().toStdString();

  // Another folder that is no Mac either: the page names it now.
  EXPECT_FALSE(door.openCapture(other.path().toStdString()));
  EXPECT_EQ(door.app(), nullptr);
  EXPECT_TRUE(door.page()->failure().isEmpty());
  EXPECT_TRUE(door.page()->explanation().contains(other.path())) << door.page()->explanation().toStdString();
}

}  // namespace
}  // namespace corvane

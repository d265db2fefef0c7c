// The window without a mouse and for a support desk: Tab order, Return and
// Space, what a screen reader is told, the saved and copied report, rows that
// grow to fit, and the Japanese font.

#include <gtest/gtest.h>

#include <algorithm>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "gui/language_setup.h"
#include "gui_fixture.h"
#include "support/sysroot_path.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

using testing::GuiRun;

std::string demoRoot() { return testing::sysrootPath("demo"); }

// The focusable widgets after `from` in Tab order, until it comes round.
std::vector<QWidget*> tabOrderFrom(QWidget* from) {
  std::vector<QWidget*> order{from};
  for (QWidget* w = from->nextInFocusChain(); w != from && order.size() < 100; w = w->nextInFocusChain())
    if (w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(from->window())) order.push_back(w);
  return order;
}

TEST(KeyboardTest, TabReachesEveryButtonInRowOrderAfterARun) {
  GuiRun run(demoRoot());
  ASSERT_TRUE(run.click(1));
  MainWindow& window = run.app->window();
  std::vector<QWidget*> expected;
  for (int tag : {5, 7, 6, 8, 1, 2, 3, 4}) expected.push_back(window.button(tag));
  expected.push_back(window.copyReportButton());
  expected.push_back(window.saveReportButton());
  std::vector<QWidget*> order = tabOrderFrom(window.button(5));
  order.resize(std::min(order.size(), expected.size()));
  EXPECT_EQ(order, expected);
}

TEST(KeyboardTest, DetailButtonsAreDisabledUntilTheyCanDoSomething) {
  GuiRun run(demoRoot());
  MainWindow& window = run.app->window();
  for (int tag = 5; tag <= 8; ++tag) {
    EXPECT_FALSE(window.button(tag)->isEnabled()) << tag;
    EXPECT_EQ(window.button(tag)->focusPolicy(), Qt::NoFocus) << tag;
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(window.button(tag))->state().disabled) << tag;
  }
  for (int tag = 1; tag <= 4; ++tag) EXPECT_TRUE(window.button(tag)->isEnabled()) << tag;
  ASSERT_TRUE(run.click(1));
  for (int tag = 5; tag <= 8; ++tag) EXPECT_TRUE(window.button(tag)->isEnabled()) << tag;
}

TEST(KeyboardTest, ReturnAndSpacePressTheFocusedButton) {
  GuiRun run(demoRoot());
  MainWindow& window = run.app->window();
  // Return on the line check button runs the line check.
  QTest::keyClick(window.button(2), Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !run.app->controller().lineCheckRunning(); }, 10000));
  EXPECT_EQ(window.rowWidgets(Row::Line).code->text(), "07029");
  // Space on the start button runs the sequence; then Space on a detail
  // button opens its panel.
  QTest::keyClick(window.button(1), Qt::Key_Space);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !run.app->controller().lineCheckRunning() && !window.busy(); }, 10000));
  run.opened.clear();
  QTest::keyClick(window.button(5), Qt::Key_Space);
  EXPECT_EQ(run.opened, (std::vector<std::string>{"hardware"}));
  // Other keys press nothing.
  run.opened.clear();
  QTest::keyClick(window.button(5), Qt::Key_A);
  EXPECT_TRUE(run.opened.empty());
}

TEST(KeyboardTest, ReturnAndEnterPressEveryFocusedPushButton) {
  GuiRun run(demoRoot());
  ASSERT_TRUE(run.click(1));
  MainWindow& window = run.app->window();
  window.askReportPath = [](const QString&) { return QString(); };
  const QList<QPushButton*> buttons = window.findChildren<QPushButton*>();
  ASSERT_TRUE(buttons.contains(window.saveReportButton()));
  ASSERT_TRUE(buttons.contains(window.copyReportButton()));
  for (QPushButton* button : buttons) {
    if (!button->isVisibleTo(&window) || !button->isEnabled()) continue;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
      QSignalSpy clicked(button, &QPushButton::clicked);
      button->setFocus();
      QTest::keyClick(button, key);
      EXPECT_TRUE(QTest::qWaitFor([&] { return clicked.count() == 1; }, 2000))
          << button->text().toStdString() << " key " << key;
    }
  }
}

TEST(AccessibilityTest, ImageButtonsAreNamedButtonsWithAPressAction) {
  for (const std::string lang : {"en", "ja"}) {
    SCOPED_TRACE(lang);
    GuiRun run(demoRoot(), lang);
    MainWindow& window = run.app->window();
    for (int tag = 1; tag <= 8; ++tag) {
      QAccessibleInterface* button = QAccessible::queryAccessibleInterface(window.button(tag));
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->role(), QAccessible::Button) << tag;
      EXPECT_FALSE(button->text(QAccessible::Name).isEmpty()) << tag;
      EXPECT_NE(button->text(QAccessible::Name), QString("button%1").arg(tag)) << "a key, not a text";
      EXPECT_FALSE(button->text(QAccessible::Description).isEmpty()) << tag;
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.button(1))->text(QAccessible::Name),
              lang == "en" ? QString("Start") : QString("開始"));
    // The press action of the line check button runs the line check.
    QAccessibleActionInterface* actions = QAccessible::queryAccessibleInterface(window.button(2))->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !run.app->controller().lineCheckRunning(); }, 10000));
    // Rows tell their name, their status and their text.
    MainWindow::RowWidgets line = window.rowWidgets(Row::Line);
    QAccessibleInterface* image = QAccessible::queryAccessibleInterface(line.image);
    QAccessibleInterface* text = QAccessible::queryAccessibleInterface(line.text);
    EXPECT_EQ(image->text(QAccessible::Name),
              lang == "en" ? QString("Line: System fault") : QString("回線: システムの異常"));
    EXPECT_EQ(text->text(QAccessible::Name), lang == "en" ? QString("Line") : QString("回線"));
    EXPECT_EQ(text->text(QAccessible::Description), line.text->text());
  }
}

TEST(ReportTest, SaveWritesTheJsonReportAndTheHtmlReportBesideIt) {
  testing::TempFolder folder;
  GuiRun run(demoRoot(), "ja");
  ASSERT_TRUE(run.click(1));
  MainWindow& window = run.app->window();
  QString suggested;
  const QString chosen = QString::fromStdString(folder.path()) + "/support.json";
  window.askReportPath = [&](const QString& proposal) {
    suggested = proposal;
    return chosen;
  };
  QTest::mouseClick(window.saveReportButton(), Qt::LeftButton);
  EXPECT_TRUE(suggested.endsWith(".json")) << suggested.toStdString();
  EXPECT_TRUE(suggested.contains("corvane-report-")) << suggested.toStdString();

  std::string json = testing::readHostFile(folder.path() + "/support.json");
  ASSERT_FALSE(json.empty());
  EXPECT_EQ(json.find("----------"), std::string::npos);
  auto report = nlohmann::json::parse(json);
  EXPECT_EQ(report["program"], "corvane");
  EXPECT_EQ(report["formatVersion"], 1);
  EXPECT_EQ(report["language"], "ja");
  EXPECT_EQ(report["rows"]["network"]["code"], window.rowWidgets(Row::Network).code->text().toStdString());
  EXPECT_EQ(report["rows"]["network"]["status"], "err");
  EXPECT_EQ(report["rows"]["network"]["cause"], "proxiesDiffer");
  ASSERT_EQ(report["offers"].size(), 1u);
  EXPECT_EQ(report["offers"][0]["accepted"], false);
  EXPECT_TRUE(report["details"].contains("tcpip"));

  std::string html = testing::readHostFile(folder.path() + "/support.html");
  EXPECT_NE(html.find("<html lang=\"ja\">"), std::string::npos);
  EXPECT_NE(html.find("ネットワーク"), std::string::npos);
  EXPECT_NE(html.find("03017"), std::string::npos);
}

TEST(ReportTest, SaveIntoAFolderThatCannotBeWrittenSaysSo) {
  GuiRun run(demoRoot());
  ASSERT_TRUE(run.click(1));
  MainWindow& window = run.app->window();
  EXPECT_FALSE(window.saveReport("/no/such/folder/report.json"));
  window.askReportPath = [](const QString&) { return QString("/no/such/folder/report.json"); };
  run.opened.clear();
  QTest::mouseClick(window.saveReportButton(), Qt::LeftButton);
  EXPECT_EQ(run.opened, (std::vector<std::string>{"alert"}));
}

TEST(ReportTest, CopyPutsTheTextReportOnTheClipboard) {
  GuiRun run(demoRoot());
  ASSERT_TRUE(run.click(1));
  QApplication::clipboard()->clear();
  QTest::mouseClick(run.app->window().copyReportButton(), Qt::LeftButton);
  const QString text = QApplication::clipboard()->text();
  EXPECT_TRUE(text.contains("03017")) << text.toStdString();
  EXPECT_TRUE(text.contains("Network [Fault] 03017")) << text.toStdString();
  EXPECT_TRUE(text.contains(run.app->window().windowTitle())) << text.toStdString();
}

TEST(LayoutTest, RowsGrowToFitALongText) {
  for (const std::string lang : {"en", "ja"}) {
    SCOPED_TRACE(lang);
    GuiRun run(demoRoot(), lang);
    MainWindow& window = run.app->window();
    const std::string text =
        "IP アドレス : 203.0.113.45   DHCP サーバを参照\nDNS サーバ : 198.51.100.53\n"
        "IPv6 アドレス : 2001:db8:85a3:1234:5678:8a2e:370:7334 2001:db8:85a3:1234:5678:8a2e:370:7335   自動\n"
        "fe80::21f:5bff:fe3c:9a01%en0";
    window.setRowText(Row::Tcpip, text);
    QApplication::processEvents();
    QLabel* label = window.rowWidgets(Row::Tcpip).text;
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    // The label lies inside the window.
    const QRect inWindow(label->mapTo(&window, QPoint(0, 0)), label->size());
    EXPECT_TRUE(window.rect().contains(inWindow)) << window.height() << " " << inWindow.bottom();
  }
}

TEST(LayoutTest, JapaneseUsesAJapaneseFontForTheWholeWindow) {
  const QString family = japaneseFontFamily();
  if (family.isEmpty()) GTEST_SKIP() << "no Japanese font installed (scripts/install-deps installs one)";
  GuiRun run(demoRoot(), "ja");
  const QFont font = run.app->window().rowWidgets(Row::Network).text->font();
  EXPECT_EQ(font.family(), family);
  // A proportional face: Latin text is not spread out at the width of
  // Japanese characters.
  const QFontMetrics metrics(font);
  EXPECT_LT(metrics.horizontalAdvance("iiii"), metrics.horizontalAdvance("WWWW")) << family.toStdString();
}

TEST(LayoutTest, QtsOwnDialogsSpeakTheWindowsLanguage) {
  {
    GuiRun run(demoRoot(), "ja");
    // The file dialogs of Save Report and Open Capture, and the buttons of
    // Qt's dialogs.
    for (const auto& [context, english] : {std::pair{"QFileDialog", "Look in:"},
                                           {"QFileDialog", "File &name:"},
                                           {"QPlatformTheme", "Cancel"},
                                           {"QPlatformTheme", "Save"}}) {
      const QString shown = QCoreApplication::translate(context, english);
      EXPECT_NE(shown, english) << context << " " << english;
      EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](QChar c) { return c.unicode() >= 0x3000; }))
          << shown.toStdString();
    }
  }
  // A window in English afterwards has Qt's English texts again.
  GuiRun run(demoRoot(), "en");
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
}

}  // namespace
}  // namespace corvane

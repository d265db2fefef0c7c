// The main window on captured systems: it shows the rows the controller
// gives, its buttons are armed and disarmed as the controller says, repair
// offers are answered through the repair panel, and quitting works from the
// button and the close box.

#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "app/event_queue.h"
#include "app/recording_view.h"
#include "core/plist_io.h"
#include "gui/help_window.h"
#include "gui/network_err_panel.h"
#include "gui/screenshot_script.h"
#include "gui/set_image.h"
#include "gui_fixture.h"
#include "provider/provider_datas.h"
#include "support/sysroot_path.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

using testing::GuiRun;

std::vector<std::string> capturedSystems() {
  std::vector<std::string> roots;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(CORVANE_TESTDATA "/sysroots", ignored))
    if (entry.is_directory()) roots.push_back(entry.path().string());
  std::sort(roots.begin(), roots.end());
  return roots;
}

// What the controller gives for the start button on a root, through the
// command line's view, with every repair offer answered no.
nlohmann::json controllerRows(const std::string& root, const std::string& lang) {
  testing::FixedDiskPlatform platform(testing::platformOptionsFor(root));
  Bundle bundle(CORVANE_BUNDLE);
  LocalizedStrings strings = LocalizedStrings::load(bundle, lang);
  RecordingView view(platform, RepairAnswer::No);
  EventQueue queue;
  auto readers = makeSystemReaders(platform);
  testing::FailingDownloader downloader;
  Corvane corvane(CorvaneServices{view, queue, platform, *readers, downloader, strings, bundle},
                  ProviderDatas::load(bundle));
  corvane.awakeFromNib();
  corvane.applicationDidFinishLaunching();
  corvane.OnButton(Button::Start);
  queue.runUntil([&] { return !corvane.lineCheckRunning(); });
  return nlohmann::json::parse(view.rowsJson().dump());
}

nlohmann::json windowRows(CorvaneApp& app) {
  QByteArray json = windowRowsJson(app);
  return nlohmann::json::parse(json.toStdString());
}

// A root with nothing but a system version and the help registrations.
struct QuietRoot {
  QuietRoot() {
    Dictionary version;
    version.set("ProductVersion", Value(std::string("10.4.11")));
    root.write("System/Library/CoreServices/SystemVersion.plist", toXmlPropertyList(Value(std::move(version))));
    Dictionary help;
    help.set(std::string(Bundle::identifier), Value(std::string("Corvane Help")));
    help.set("com.other.App", Value(std::string("Other Help")));
    root.write("Users/user/Library/Preferences/com.apple.help.plist", toXmlPropertyList(Value(std::move(help))));
  }
  Value helpRegistrations() const {
    return parsePropertyList(
        testing::readHostFile(root.path() + "/Users/user/Library/Preferences/com.apple.help.plist"));
  }
  testing::TempFolder root;
};

TEST(MainWindowTest, AfterStartUpEveryRowIsUncheckedAndOnlyTheMainButtonsAreArmed) {
  ASSERT_FALSE(capturedSystems().empty());
  GuiRun run(capturedSystems().front());
  MainWindow& window = run.app->window();
  for (Row row : kAllRows) {
    MainWindow::RowWidgets widgets = window.rowWidgets(row);
    EXPECT_EQ(imageName(widgets.image), "before") << rowName(row);
    EXPECT_FALSE(widgets.image->pixmap().isNull());
    EXPECT_TRUE(widgets.text->text().isEmpty());
    EXPECT_TRUE(widgets.code->text().isEmpty());
  }
  for (int tag = 1; tag <= 4; ++tag) EXPECT_EQ(window.button(tag)->tag(), tag);
  for (int tag = 5; tag <= 8; ++tag) {
    EXPECT_EQ(window.button(tag)->tag(), 0);
    EXPECT_EQ(imageName(window.button(tag)), "details");
  }
  EXPECT_EQ(imageName(window.button(1)), "start");
  // The provider's title.
  EXPECT_FALSE(window.windowTitle().isEmpty());
  // A detail button does nothing before the first sequence.
  run.click(7);
  EXPECT_TRUE(run.opened.empty());
}

TEST(MainWindowTest, StartOnEachCapturedSystemShowsTheRowsTheControllerGives) {
  for (const std::string& root : capturedSystems()) {
    for (const std::string lang : {"en", "ja"}) {
      SCOPED_TRACE(root + " " + lang);
      GuiRun run(root, lang);
      ASSERT_TRUE(run.click(1));
      nlohmann::json shown = windowRows(*run.app);
      nlohmann::json expected = controllerRows(root, lang);
      for (Row row : kAllRows) {
        const std::string name(rowName(row));
        EXPECT_EQ(shown[name]["image"], expected[name]["image"]) << name;
        EXPECT_EQ(shown[name]["text"], expected[name]["text"]) << name;
        EXPECT_EQ(shown[name]["code"], expected[name]["code"]) << name;
        // Every row was checked; only a line check that cannot run leaves its image.
        if (row != Row::Line) {
          EXPECT_NE(shown[name]["image"], "before") << name;
        }
        EXPECT_FALSE(run.app->window().rowWidgets(row).image->pixmap().isNull()) << name;
      }
      // After the line check every button is armed again.
      for (int tag = 1; tag <= 8; ++tag) EXPECT_EQ(run.app->window().button(tag)->tag(), tag);
    }
  }
}

TEST(MainWindowTest, TheButtonsStayDisarmedWhileTheSequenceRuns) {
  for (const std::string& root : capturedSystems()) {
    GuiRun run(root);
    std::vector<int> tagsWhilePanelOpen;
    run.answer = [&](QDialog* panel, const std::string&) {
      for (int tag = 1; tag <= 8; ++tag) tagsWhilePanelOpen.push_back(run.app->window().button(tag)->tag());
      EXPECT_TRUE(run.app->window().busy());
      panel->done(0);
    };
    ASSERT_TRUE(run.click(1));
    if (run.opened.empty()) continue;  // this system has no fault that opens a panel
    for (int tag : tagsWhilePanelOpen) EXPECT_EQ(tag, 0);
    EXPECT_EQ(imageName(run.app->window().button(1)), "start");
    return;
  }
  GTEST_SKIP() << "no captured system opens a panel during the sequence";
}

// The first captured system on which the sequence offers a repair.
std::string systemWithRepairOffer() {
  for (const std::string& root : capturedSystems()) {
    GuiRun run(root);
    run.click(1);
    if (std::find(run.opened.begin(), run.opened.end(), "repair") != run.opened.end()) return root;
  }
  return "";
}

TEST(MainWindowTest, ARepairOfferAnsweredNoChangesNothingAndYesRunsTheRepair) {
  const std::string root = systemWithRepairOffer();
  if (root.empty()) GTEST_SKIP() << "no captured system has a repairable fault";

  GuiRun declined(root);
  std::vector<std::string> codesShown;
  declined.answer = [&](QDialog* panel, const std::string& kind) {
    if (kind == "repair") {
      auto* repair = static_cast<NetworkErrPanel*>(panel);
      EXPECT_GT(repair->ResultView()->rowCount(), 0);
      EXPECT_FALSE(repair->AlertView()->toPlainText().isEmpty());
      repair->OnNo();
    } else {
      panel->done(0);
    }
  };
  ASSERT_TRUE(declined.click(1));
  EXPECT_EQ(declined.readers->repairs, 0);
  const std::string networkCode = declined.app->window().rowWidgets(Row::Network).code->text().toStdString();
  const std::string tcpipCode = declined.app->window().rowWidgets(Row::Tcpip).code->text().toStdString();
  EXPECT_TRUE(networkCode == "03017" || networkCode == "03024" || tcpipCode == "04017");

  GuiRun accepted(root);
  int offers = 0;
  accepted.answer = [&](QDialog* panel, const std::string& kind) {
    if (kind == "repair") {
      // Accept the first offer; a repair that does not cure the fault is
      // offered again by the re-check, and declined then.
      auto* repair = static_cast<NetworkErrPanel*>(panel);
      if (offers++ == 0) {
        repair->OnYes();
      } else {
        repair->OnNo();
      }
    } else {
      panel->done(0);
    }
  };
  accepted.readers->repairSucceeds = true;
  ASSERT_TRUE(accepted.click(1));
  EXPECT_EQ(accepted.readers->repairs, 1);
  EXPECT_GE(offers, 2);  // the re-checks after the repair found the same canned fault
  EXPECT_FALSE(accepted.app->window().waitPanel()->isVisible());
}

// On a customer's capture (the demo system with the manifest corvane-capture
// writes) the repair panel's yes button makes a fix kit: the window asks for
// a folder, writes the kit there and says where; nothing is repaired.
TEST(MainWindowTest, OnACaptureTheRepairPanelMakesAFixKit) {
  struct Case {
    std::string lang, button;
  } cases[] = {{"en", "Make Fix Kit…"}, {"ja", "修復キットを作成…"}};
  for (const auto& c : cases) {
    testing::TempFolder folder;
    const std::string root = folder.path() + "/capture";
    std::filesystem::copy(testing::sysrootPath("demo"), root, std::filesystem::copy_options::recursive);
    const std::string storePath = "/Library/Preferences/SystemConfiguration/preferences.plist";
    folder.write("capture/corvane-capture/manifest.txt",
                 "capture-time: 2026-12-10T04:45:15Z\nhost: customer-mac\nscript-version: 2\nstore: " + storePath +
                     " 1234567890 4096\n");
    const std::string store = testing::readHostFile(root + storePath);
    const std::string kit = folder.path() + "/kit";

    GuiRun run(root, c.lang);
    run.app->window().askKitFolder = [&] { return QString::fromStdString(kit); };
    QString yes, said;
    run.answer = [&](QDialog* panel, const std::string& kind) {
      if (kind == "repair" && yes.isEmpty()) {
        auto* repair = static_cast<NetworkErrPanel*>(panel);
        yes = repair->YesButton()->text();
        repair->OnYes();
        return;
      }
      if (auto* box = qobject_cast<QMessageBox*>(panel)) said += box->text();
      panel->done(0);
    };
    ASSERT_TRUE(run.click(1)) << c.lang;
    EXPECT_EQ(yes.toStdString(), c.button);
    EXPECT_TRUE(std::filesystem::exists(kit + "/apply.sh")) << c.lang;
    EXPECT_TRUE(said.contains(QString::fromStdString(kit))) << said.toStdString();
    EXPECT_EQ(run.readers->repairs, 0) << c.lang;
    EXPECT_TRUE(testing::readHostFile(root + storePath) == store) << c.lang;
  }
}

TEST(MainWindowTest, TheCloseBoxQuitsAndRemovesTheHelpRegistration) {
  QuietRoot quiet;
  GuiRun run(quiet.root.path());
  bool terminated = false;
  run.app->window().terminate = [&] { terminated = true; };
  run.app->window().close();
  EXPECT_TRUE(terminated);
  Value help = quiet.helpRegistrations();
  EXPECT_TRUE(help[Bundle::identifier].isAbsent());
  EXPECT_TRUE(help["com.other.App"].equals("Other Help"));
}

// A check waiting for a tool that never answers: the window keeps handling
// its events, the row names the tool after a few seconds, and the close box
// quits at once, killing the tool, long before the tool's time limit.
TEST(MainWindowTest, AStuckToolIsNamedAndTheCloseBoxStillQuits) {
  testing::TempFolder system;
  std::filesystem::copy(testing::sysrootPath("demo"), system.path(), std::filesystem::copy_options::recursive);
  std::filesystem::remove(system.path() + "/usr/bin/nslookup");
  system.write("usr/bin/nslookup", "#!/bin/sh\nexec sleep 1000\n", true);

  CorvaneApp app(testing::optionsFor(system.path()), {}, std::make_unique<testing::FailingDownloader>());
  app.window().panelWillRun = [](QDialog* panel, const char*) {
    QTimer::singleShot(0, panel, [panel] { panel->done(0); });
  };
  bool terminated = false;
  app.window().terminate = [&] { terminated = true; };
  app.start();

  QString named;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    const QString text = app.window().rowWidgets(Row::Tcpip).text->text();
    if (named.isEmpty() && text.contains("nslookup")) {
      named = text;
      app.window().close();
    }
  });
  watch.start(100);
  const auto start = std::chrono::steady_clock::now();
  QTest::mouseClick(app.window().button(1), Qt::LeftButton);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  watch.stop();

  EXPECT_FALSE(named.isEmpty());
  EXPECT_TRUE(terminated);
  EXPECT_LT(seconds, 8.0);  // the tool's own limit is 10 seconds
  EXPECT_TRUE(app.platform().toolsStopped());
}

TEST(MainWindowTest, TheCloseBoxDuringAnActionQuitsWhenTheActionReturns) {
  for (const std::string& root : capturedSystems()) {
    GuiRun run(root);
    bool terminated = false;
    bool closedDuringAction = false;
    run.app->window().terminate = [&] { terminated = true; };
    run.answer = [&](QDialog* panel, const std::string&) {
      if (!closedDuringAction) {
        closedDuringAction = true;
        run.app->window().close();
        EXPECT_FALSE(terminated);  // not in the middle of the action
      }
      panel->done(0);
    };
    run.click(1);
    if (!closedDuringAction) continue;  // this system opens no panel during the sequence
    EXPECT_TRUE(terminated);
    // The sequence ran to its end before the quit.
    EXPECT_NE(imageName(run.app->window().rowWidgets(Row::Mail).image), "before");
    return;
  }
  GTEST_SKIP() << "no captured system opens a panel during the sequence";
}

TEST(MainWindowTest, TheQuitButtonQuitsTheSameWay) {
  QuietRoot quiet;
  GuiRun run(quiet.root.path());
  bool terminated = false;
  run.app->window().terminate = [&] { terminated = true; };
  run.click(4);
  EXPECT_TRUE(terminated);
  EXPECT_TRUE(quiet.helpRegistrations()[Bundle::identifier].isAbsent());
}

TEST(MainWindowTest, TheHelpButtonOpensTheBundledHelpInTheUsersLanguage) {
  QuietRoot quiet;
  for (const std::string lang : {"en", "ja"}) {
    GuiRun run(quiet.root.path(), lang);
    run.click(3);
    HelpWindow* help = run.app->window().helpWindow();
    ASSERT_TRUE(help->isVisible());
    const QString text = help->toPlainText();
    for (const char* code : {"03017", "03024", "03031", "04017", "04024", "06012", "07012", "07029"})
      EXPECT_TRUE(text.contains(code)) << lang << " " << code;
    EXPECT_TRUE(text.contains("Quorvalin"));
    EXPECT_EQ(text.contains(QString::fromUtf8("修正")), lang == "ja");
  }
}

TEST(MainWindowTest, JapaneseButtonsShowTheirOwnImages) {
  QuietRoot quiet;
  GuiRun run(quiet.root.path(), "ja");
  for (int tag = 1; tag <= 4; ++tag) EXPECT_FALSE(run.app->window().button(tag)->pixmap().isNull()) << tag;
  EXPECT_EQ(imageName(run.app->window().button(1)), "start_ja");
  EXPECT_EQ(imageName(run.app->window().button(6)), "details_ja");
}

}  // namespace
}  // namespace corvane

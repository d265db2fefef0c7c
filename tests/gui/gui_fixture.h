#pragma once
// The window put together on a captured system, with the line check's
// download failing at once (no network in tests) and the repair replaced by
// a counter, and a way to answer the modal panels as they open.

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/system_readers.h"
#include "gui/corvane_app.h"
#include "gui/image_button.h"
#include "support/test_platforms.h"

namespace corvane::testing {

class FailingDownloader : public HttpDownloader {
 public:
  class Job : public DownloadJob {
   public:
    explicit Job(Completion done)
        : thread_([done = std::move(done)] {
            done(DownloadResult{false, "", 0, "offline"});
          }) {}
    ~Job() override {
      if (thread_.joinable()) thread_.join();
    }
    void cancel() override {}

   private:
    std::thread thread_;
  };
  std::unique_ptr<DownloadJob> start(const DownloadRequest&, Completion done) override {
    return std::make_unique<Job>(std::move(done));
  }
};

// The system's readers, but a repair that only counts and answers as told.
class CountingRepairReaders : public CheckReaders {
 public:
  explicit CountingRepairReaders(const std::string& root)
      : platform_(platformOptionsFor(root)), real_(makeSystemReaders(platform_)) {}
  std::string getOS() override { return real_->getOS(); }
  std::string getHDD() override { return real_->getHDD(); }
  Value getSystemProfile(std::string_view type) override { return real_->getSystemProfile(type); }
  Value getNetwork() override { return real_->getNetwork(); }
  Value getTCPIP() override { return real_->getTCPIP(); }
  Value getBrowser() override { return real_->getBrowser(); }
  Value getMail() override { return real_->getMail(); }
  std::vector<std::string> mountedLocalVolumePaths() override { return real_->mountedLocalVolumePaths(); }
  bool OnRepair(ProviderDatas&) override {
    ++repairs;
    return repairSucceeds;
  }

  int repairs = 0;
  bool repairSucceeds = false;

 private:
  FixedDiskPlatform platform_;
  std::unique_ptr<CheckReaders> real_;
};

inline GuiOptions optionsFor(const std::string& root, const std::string& lang = "en") {
  GuiOptions options;
  options.root = root;
  options.home = "/Users/user";
  options.bundle = CORVANE_BUNDLE;
  options.lang = lang;
  options.pauses = false;
  options.syslog = false;
  return options;
}

// One application on a root; `answer` decides each modal panel as it opens
// (by default: repair offers no, every other panel closed).
struct GuiRun {
  explicit GuiRun(const std::string& root, const std::string& lang = "en") {
    auto makeReaders = [this, root](Platform&) -> std::unique_ptr<CheckReaders> {
      auto counting = std::make_unique<CountingRepairReaders>(root);
      readers = counting.get();
      return counting;
    };
    app = std::make_unique<CorvaneApp>(optionsFor(root, lang), makeReaders, std::make_unique<FailingDownloader>());
    app->window().panelWillRun = [this](QDialog* panel, const char* kind) {
      opened.push_back(kind);
      QTimer::singleShot(0, panel, [this, panel, kind = std::string(kind)] {
        if (answer) {
          answer(panel, kind);
        } else {
          panel->done(0);
        }
      });
    };
    app->start();
  }

  // Clicks a button as the user would and waits until the line check ended.
  bool click(int tag) {
    QTest::mouseClick(app->window().button(tag), Qt::LeftButton);
    return QTest::qWaitFor([this] { return !app->controller().lineCheckRunning(); }, 10000);
  }

  CountingRepairReaders* readers = nullptr;
  std::unique_ptr<CorvaneApp> app;
  std::vector<std::string> opened;
  std::function<void(QDialog*, const std::string&)> answer;
};

}  // namespace corvane::testing

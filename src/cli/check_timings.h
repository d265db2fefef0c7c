#pragma once
// Where the time of a check goes: the whole sequence, each row, each tool
// run, the pauses, the dialogs and the test download. What is left when
// the waits are taken away is the program's own work. The command line
// times every check this way and shows the figures with --timings.
//
// The figures are taken at three seams, so that the controller knows
// nothing of them: the platform (tool runs and pauses), the view (rows and
// dialogs) and the downloader.

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/corvane_view.h"
#include "core/capture_platform.h"
#include "core/http_download.h"
#include "core/platform.h"

namespace corvane::cli {

class CheckTimings {
 public:
  using Clock = std::chrono::steady_clock;

  struct ToolTime {
    std::string tool;
    std::vector<std::string> args;
    double seconds = 0;
  };

  // The sequence: from the button press until the line check has ended.
  void startSequence() { sequenceStart_ = Clock::now(); }
  void endSequence() { sequenceEnd_ = Clock::now(); }

  void addToolRun(ToolTime run);
  void addPause(double seconds) { pauses_ += seconds; }
  // Dialogs wait for the user (alerts, repair panels, detail panels).
  void addDialog(double seconds) { dialogs_ += seconds; }
  // A row set to "check" starts its clock; its verdict stops it. A row
  // checked again (after a repair) adds to its time.
  void rowChecking(Row row);
  void rowDone(Row row);
  // The test download: from its start until it reports (or the sequence ends).
  void downloadStarted();
  void downloadEnded();

  // {"total", "pauses", "dialogs", "toolRunsTotal", "download", "own",
  //  "ownShare", "rows": {...}, "toolRuns": [...]}, in seconds.
  nlohmann::ordered_json json() const;
  // The same as a short table for the terminal.
  std::string text() const;

 private:
  static double seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
  }
  double total() const { return seconds(sequenceStart_, sequenceEnd_); }
  double download() const;

  Clock::time_point sequenceStart_{}, sequenceEnd_{};
  std::vector<ToolTime> toolRuns_;
  double pauses_ = 0;
  double dialogs_ = 0;
  std::map<Row, double> rowSeconds_;
  std::map<Row, Clock::time_point> rowStarted_;
  // The download reports on its own thread.
  mutable std::mutex downloadMutex_;
  std::optional<Clock::time_point> downloadStart_, downloadEnd_;
};

// Times a call on the steady clock.
template <class F>
double timed(F&& call) {
  auto start = CheckTimings::Clock::now();
  call();
  return std::chrono::duration<double>(CheckTimings::Clock::now() - start).count();
}

// The platform (Platform for a system folder, CapturePlatform for a capture)
// with every tool run and pause timed.
template <class Base>
class TimedPlatform : public Base {
 public:
  TimedPlatform(PlatformOptions options, CheckTimings& timings) : Base(std::move(options)), timings_(timings) {}
  ToolRun runTool(std::string_view systemPath, const std::vector<std::string>& args) override {
    ToolRun run;
    const double seconds = timed([&] { run = Base::runTool(systemPath, args); });
    timings_.addToolRun({std::string(systemPath), args, seconds});
    return run;
  }
  void pause(double seconds) override {
    timings_.addPause(timed([&] { Base::pause(seconds); }));
  }

 private:
  CheckTimings& timings_;
};

// A view that times the rows and the dialogs and hands everything on.
class TimedView : public CorvaneView {
 public:
  TimedView(CorvaneView& view, CheckTimings& timings) : view_(view), timings_(timings) {}

  void setTitle(std::string_view title) override { view_.setTitle(title); }
  void setRowImage(Row row, RowImage image) override;
  void setRowText(Row row, std::string_view text) override { view_.setRowText(row, text); }
  void setRowCode(Row row, std::string_view code) override { view_.setRowCode(row, code); }
  void showAlert(const Alert& alert) override;
  bool runRepairPanel(const RepairOffer& offer) override;
  void runHardwarePanel(const std::vector<VolumeRow>& volumes) override;
  void runNetworkPanel(const Value& networks, bool hasAutomatic) override;
  void runTcpipPanel(const Value& tcpips, const Value& networks) override;
  void runMailPanel(const Value& accounts) override;
  void armButtons(const std::vector<Button>& buttons, bool enabled) override { view_.armButtons(buttons, enabled); }
  void pause(double seconds) override { view_.pause(seconds); }
  void redraw() override { view_.redraw(); }
  void showWaitPanel(bool shown) override { view_.showWaitPanel(shown); }
  void repairFinished(Button detail, bool ok) override { view_.repairFinished(detail, ok); }
  std::string chooseKitFolder() override { return view_.chooseKitFolder(); }
  void openHelp() override { view_.openHelp(); }
  void quit() override { view_.quit(); }
  void setRowCause(Row row, std::string_view cause) override { view_.setRowCause(row, cause); }
  void keepResponsive() override { view_.keepResponsive(); }

 private:
  CorvaneView& view_;
  CheckTimings& timings_;
};

// A downloader that times its downloads.
class TimedDownloader : public HttpDownloader {
 public:
  TimedDownloader(HttpDownloader& downloader, CheckTimings& timings) : downloader_(downloader), timings_(timings) {}
  std::unique_ptr<DownloadJob> start(const DownloadRequest& request, Completion done) override;

 private:
  HttpDownloader& downloader_;
  CheckTimings& timings_;
};

}  // namespace corvane::cli

#pragma once
// The line check's machinery: one download of the provider's test address at
// a time, the one-shot timer that may end it, and the record of why the last
// one failed. What the check shows is the controller's; this class only tells
// it how the check ended, on the thread of its RunLoop, and only for the check
// still current (a replaced or retired download reports nothing).

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/corvane_view.h"
#include "core/http_download.h"
#include "core/platform.h"
#include "core/private_folders.h"

namespace corvane {

// Why the last line check failed: its download's failure (TimedOut too when
// the line check's own timer fired first), the HTTP status of an answer and
// the address tried. failure is None while nothing failed.
struct LineFailure {
  DownloadFailure failure = DownloadFailure::None;
  long status = 0;
  std::string address;
  std::string error;
};

// The test page is small: a longer answer ends the download as a failure.
inline constexpr uint64_t kTestPageCap = 16u << 20;

class LineCheck {
 public:
  // finished: the download arrived; failed: it failed or the timer fired
  // (failure() says which). Each is called at most once per check.
  LineCheck(RunLoop& runLoop, Platform& platform, HttpDownloader& downloader, std::function<void()> finished,
            std::function<void()> failed);
  // Cancels a running download and waits for its thread; stops the timer.
  ~LineCheck();
  LineCheck(const LineCheck&) = delete;
  LineCheck& operator=(const LineCheck&) = delete;

  // Forgets why the last check failed (before a new one is shown as running).
  void clearFailure() { failure_ = LineFailure{}; }
  // Starts the download, replacing a check still running: the earlier
  // download is cancelled and its timer stopped, so it reports nothing.
  // The page goes to a private folder made for this check inside the
  // request's destinationFolder, under a fixed name, at most kTestPageCap
  // bytes; the folder goes when the check ends in any way.
  // With timerSeconds, a one-shot timer ends the check as a time-out.
  void start(const DownloadRequest& request, std::optional<double> timerSeconds);
  // Ends the running check, if any, without a word: its download and timer
  // are dropped and whatever it reports later is ignored.
  void retire();
  // Drops the download and timer of a check that has reported its end
  // (nothing is cancelled: the download is over).
  void end();
  // The timer's end of the check: the download is cancelled and the check
  // reported failed with TimedOut.
  void timeOut();

  bool running() const { return running_; }
  const LineFailure& failure() const { return failure_; }

 private:
  void stopTimer();
  // Ends the download (waiting for its thread) and removes its folder.
  void dropDownload();
  void report(unsigned long generation, const DownloadResult& result);

  RunLoop& runLoop_;
  Platform& platform_;
  HttpDownloader& downloader_;
  std::function<void()> finished_;
  std::function<void()> failed_;

  std::unique_ptr<PrivateFolder> folder_;
  std::unique_ptr<DownloadJob> download_;
  bool running_ = false;
  LineFailure failure_;
  unsigned long generation_ = 0;
  bool timerRunning_ = false;
  RunLoop::TimerId timer_ = 0;
  // Posted reports and the timer check it, so that none reaches a destroyed check.
  std::shared_ptr<LineCheck*> self_;
};

}  // namespace corvane

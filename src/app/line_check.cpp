#include "app/line_check.h"

#include <utility>

namespace corvane {

LineCheck::LineCheck(RunLoop& runLoop, Platform& platform, HttpDownloader& downloader, std::function<void()> finished,
                     std::function<void()> failed)
    : runLoop_(runLoop),
      platform_(platform),
      downloader_(downloader),
      finished_(std::move(finished)),
      failed_(std::move(failed)),
      self_(std::make_shared<LineCheck*>(this)) {}

LineCheck::~LineCheck() {
  stopTimer();
  download_.reset();  // cancels and waits for the download's thread
}

void LineCheck::start(const DownloadRequest& request, std::optional<double> timerSeconds) {
  stopTimer();
  if (download_) download_->cancel();
  download_.reset();
  unsigned long generation = ++generation_;
  failure_.address = request.url;
  std::weak_ptr<LineCheck*> self = self_;
  RunLoop& runLoop = runLoop_;
  Platform& platform = platform_;
  download_ = downloader_.start(request, [self, generation, &runLoop, &platform](const DownloadResult& result) {
    if (!result.ok) platform.verboseLog("line check: " + result.error);
    runLoop.post([self, generation, result] {
      if (auto alive = self.lock()) (*alive)->report(generation, result);
    });
  });
  if (timerSeconds) {
    timer_ = runLoop_.startTimer(*timerSeconds, [self] {
      if (auto alive = self.lock()) (*alive)->timeOut();
    });
    timerRunning_ = true;
  }
}

void LineCheck::report(unsigned long generation, const DownloadResult& result) {
  if (generation != generation_ || !download_) return;  // replaced or timed out
  if (result.ok) {
    finished_();
    return;
  }
  failure_.failure = result.failure == DownloadFailure::None ? DownloadFailure::Other : result.failure;
  failure_.status = result.status;
  failure_.error = result.error;
  failed_();
}

void LineCheck::retire() {
  stopTimer();
  if (download_) download_->cancel();
  download_.reset();
  ++generation_;
}

void LineCheck::end() {
  stopTimer();
  download_.reset();
}

void LineCheck::timeOut() {
  timerRunning_ = false;  // the one-shot timer has fired
  if (download_) download_->cancel();
  failure_.failure = DownloadFailure::TimedOut;
  failure_.error = "no answer within the line check's time limit";
  failed_();
}

void LineCheck::stopTimer() {
  if (timerRunning_) runLoop_.cancelTimer(timer_);
  timerRunning_ = false;
}

}  // namespace corvane

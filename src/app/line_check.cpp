#include "app/line_check.h"

#include <utility>

namespace corvane {
namespace {

constexpr std::string_view kFolderPrefix = "corvane-download-";
// Never the name the server suggests: that could be any file's.
constexpr const char* kPageName = "test-page";

}  // namespace

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
  dropDownload();
}

void LineCheck::dropDownload() {
  download_.reset();  // cancels and waits for the download's thread
  folder_.reset();
  running_ = false;
}

void LineCheck::start(const DownloadRequest& request, std::optional<double> timerSeconds) {
  stopTimer();
  if (download_) download_->cancel();
  dropDownload();
  running_ = true;
  unsigned long generation = ++generation_;
  failure_.address = request.url;
  std::weak_ptr<LineCheck*> self = self_;
  RunLoop& runLoop = runLoop_;
  Platform& platform = platform_;
  auto done = [self, generation, &runLoop, &platform](const DownloadResult& result) {
    if (!result.ok) platform.verboseLog("line check: " + result.error);
    runLoop.post([self, generation, result] {
      if (auto alive = self.lock()) (*alive)->report(generation, result);
    });
  };
  // What a killed run left goes first.
  removeAbandonedFolders(request.destinationFolder, kFolderPrefix);
  DownloadRequest page = request;
  std::string why;
  const auto made = platform_.makePrivateHostFolder(request.destinationFolder, ownedPrefix(kFolderPrefix), &why);
  if (!made) {
    done(DownloadResult{false, "", 0, why, DownloadFailure::Other});
  } else {
    folder_ = std::make_unique<PrivateFolder>(
        *made, [&platform](const std::string& folder) { platform.removeHostTree(folder); });
    page.destinationFolder = *made;
    page.fileName = kPageName;
    page.maxBytes = kTestPageCap;
    download_ = downloader_.start(page, done);
  }
  if (timerSeconds) {
    timer_ = runLoop_.startTimer(*timerSeconds, [self] {
      if (auto alive = self.lock()) (*alive)->timeOut();
    });
    timerRunning_ = true;
  }
}

void LineCheck::report(unsigned long generation, const DownloadResult& result) {
  if (generation != generation_ || !running_) return;  // replaced or timed out
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
  dropDownload();
  ++generation_;
}

void LineCheck::end() {
  stopTimer();
  dropDownload();
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

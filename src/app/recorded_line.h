#pragma once
// The line check of a capture: the customer's line, as corvane-capture
// recorded its fetch of the test address on the customer's Mac. The check
// of a capture never downloads anything from the machine reading it.

#include <memory>
#include <optional>

#include "core/capture_platform.h"
#include "core/http_download.h"

namespace corvane {

// What the recorded fetch comes to as a download's result: ok for an answer
// below status 400, else the failure curl's exit status or the HTTP status
// names (curl's error text as the error).
DownloadResult recordedDownloadResult(const LineRecording& line);

// A downloader that answers every request with the recorded fetch, at once,
// and never touches the network; without a recording every request fails.
class RecordedLineDownloader : public HttpDownloader {
 public:
  explicit RecordedLineDownloader(std::optional<LineRecording> line) : line_(std::move(line)) {}
  std::unique_ptr<DownloadJob> start(const DownloadRequest& request, Completion done) override;

 private:
  std::optional<LineRecording> line_;
};

}  // namespace corvane

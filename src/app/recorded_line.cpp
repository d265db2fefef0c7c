#include "app/recorded_line.h"

namespace corvane {
namespace {

// curl's exit statuses, by the failure they name.
DownloadFailure failureOfCurlExit(int exit) {
  switch (exit) {
    case 6: return DownloadFailure::NameNotFound;  // could not resolve host
    case 7: return DownloadFailure::Refused;       // could not connect
    case 28: return DownloadFailure::TimedOut;     // operation timed out
    case 22: return DownloadFailure::HttpStatus;   // HTTP error (with --fail)
    case 35:                                       // SSL connect error
    case 51:                                       // peer certificate
    case 58:                                       // local certificate
    case 60:                                       // CA certificate
    case 77:                                       // CA file
    case 83:                                       // issuer check
    case 90:                                       // pinned key
    case 91: return DownloadFailure::Tls;          // certificate status
    default: return DownloadFailure::Other;
  }
}

class FinishedJob : public DownloadJob {
 public:
  void cancel() override {}
};

}  // namespace

DownloadResult recordedDownloadResult(const LineRecording& line) {
  DownloadResult result;
  result.status = line.httpStatus;
  if (line.ok()) {
    result.ok = true;
    return result;
  }
  if (line.curlExit == 0 && line.httpStatus >= 400) {
    result.failure = DownloadFailure::HttpStatus;
    result.error = "HTTP status " + std::to_string(line.httpStatus);
  } else {
    result.failure = line.curlExit == 0 ? DownloadFailure::Other : failureOfCurlExit(line.curlExit);
    result.error = line.error.empty() ? "curl exit status " + std::to_string(line.curlExit) : line.error;
  }
  return result;
}

std::unique_ptr<DownloadJob> RecordedLineDownloader::start(const DownloadRequest&, Completion done) {
  DownloadResult result;
  if (line_) {
    result = recordedDownloadResult(*line_);
  } else {
    result.failure = DownloadFailure::Other;
    result.error = "no fetch of the test address was recorded in the capture";
  }
  // The completion posts to the run loop, so answering before start returns
  // is safe.
  done(result);
  return std::make_unique<FinishedJob>();
}

}  // namespace corvane

#include "core/http_download.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <thread>

#include "core/download_transfer.h"
#include "core/platform_files.h"
#include "core/text.h"

namespace corvane {
namespace {

// The filename parameter of a Content-Disposition value, unquoted.
std::string dispositionFileName(const std::string& value) {
  std::string lower = asciiLowercase(value);
  auto at = lower.find("filename=");
  if (at == std::string::npos) return "";
  std::string rest = value.substr(at + 9);
  if (!rest.empty() && rest[0] == '"') {
    auto end = rest.find('"', 1);
    return rest.substr(1, end == std::string::npos ? std::string::npos : end - 1);
  }
  auto end = rest.find(';');
  std::string name = rest.substr(0, end);
  while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
  return name;
}

std::string urlPathLastComponent(const std::string& url) {
  std::string rest = url;
  auto scheme = rest.find("://");
  if (scheme != std::string::npos) rest = rest.substr(scheme + 3);
  auto slash = rest.find('/');
  if (slash == std::string::npos) return "";
  rest = rest.substr(slash);
  rest = rest.substr(0, rest.find_first_of("?#"));
  return lastPathComponent(rest);
}

enum class Route { PlainFirst, CurlOnly };

class DownloadThread : public DownloadJob {
 public:
  DownloadThread(DownloadRequest request, Route route, HttpDownloader::Completion done)
      : request_(std::move(request)), route_(route), done_(std::move(done)) {
    thread_ = std::thread([this] { run(); });
  }
  ~DownloadThread() override {
    cancel();
    if (thread_.joinable()) thread_.join();
  }
  void cancel() override {
    {
      std::lock_guard lock(mutex_);
      cancelled_ = true;
    }
    cancellation_.cancel();
  }

 private:
  void run() {
    DownloadResult result = download();
    std::lock_guard lock(mutex_);
    if (!cancelled_) done_(result);
  }

  // The body goes to a hidden file of its own and takes its suggested name
  // only once it arrived whole, so a failed download leaves nothing behind
  // and never half-replaces an earlier file.
  DownloadResult download() {
    DownloadResult result;
    // Mode 0644: a downloaded file, readable like any other.
    const auto reservedFile = reserveHostFile(request_.destinationFolder, ".corvane-download-", 0644);
    if (!reservedFile) {
      result.error = "cannot create a file in " + request_.destinationFolder;
      result.failure = DownloadFailure::Other;
      return result;
    }
    const std::string reserved = *reservedFile;

    TransferRequest transfer;
    transfer.url = request_.url;
    auto span = [](double seconds) {
      return std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
    };
    transfer.idleLimit = span(request_.timeoutSeconds);
    transfer.deadline = std::chrono::steady_clock::now() + span(std::max(request_.totalSeconds, 0.0));
    transfer.reloadIgnoringCache = request_.reloadIgnoringCache;
    transfer.filePath = reserved;
    transfer.maxBytes = request_.maxBytes;
    TransferOutcome outcome = route_ == Route::PlainFirst && isPlainHttpUrl(transfer.url)
                                  ? plainHttpTransfer(transfer, cancellation_)
                                  : curlTransfer(transfer, cancellation_);
    if (!outcome.handOverUrl.empty()) {
      transfer.url = outcome.handOverUrl;
      outcome = curlTransfer(transfer, cancellation_);
    }

    result.status = outcome.status;
    if (!outcome.finished) {
      result.error = outcome.error;
      result.failure = outcome.failure == DownloadFailure::None ? DownloadFailure::Other : outcome.failure;
    } else if (outcome.status >= 400) {
      result.error = "HTTP status " + std::to_string(outcome.status);
      result.failure = DownloadFailure::HttpStatus;
    } else {
      std::string name = request_.fileName.empty() ? suggestedFileName(outcome.finalUrl, outcome.contentDisposition)
                                                   : request_.fileName;
      std::string destination = request_.destinationFolder + "/" + name;
      std::string why;
      if (renameHostPath(reserved, destination, &why)) {
        result.ok = true;
        result.savedPath = destination;
        return result;
      }
      result.error = "cannot save " + destination + ": " + why;
      result.failure = DownloadFailure::Other;
    }
    removeHostFile(reserved);
    return result;
  }

  DownloadRequest request_;
  Route route_;
  HttpDownloader::Completion done_;
  TransferCancellation cancellation_;
  std::mutex mutex_;
  bool cancelled_ = false;
  std::thread thread_;
};

class Downloader : public HttpDownloader {
 public:
  explicit Downloader(Route route) : route_(route) {}
  std::unique_ptr<DownloadJob> start(const DownloadRequest& request, Completion done) override {
    return std::make_unique<DownloadThread>(request, route_, std::move(done));
  }

 private:
  Route route_;
};

}  // namespace

void TransferCancellation::cancel() {
  std::lock_guard lock(mutex_);
  cancelled_ = true;
  if (interrupt_) interrupt_();
}

bool TransferCancellation::cancelled() const {
  std::lock_guard lock(mutex_);
  return cancelled_;
}

void TransferCancellation::setInterrupt(std::function<void()> interrupt) {
  std::lock_guard lock(mutex_);
  interrupt_ = std::move(interrupt);
  if (cancelled_ && interrupt_) interrupt_();
}

const char* downloadFailureName(DownloadFailure failure) {
  switch (failure) {
    case DownloadFailure::None: return "";
    case DownloadFailure::HttpStatus: return "httpStatus";
    case DownloadFailure::NameNotFound: return "nameNotFound";
    case DownloadFailure::Refused: return "refused";
    case DownloadFailure::TimedOut: return "timedOut";
    case DownloadFailure::Tls: return "tls";
    case DownloadFailure::TooLarge: return "tooLarge";
    case DownloadFailure::Other: return "other";
  }
  return "other";
}

std::string suggestedFileName(const std::string& url, const std::string& contentDisposition) {
  std::string name = dispositionFileName(contentDisposition);
  if (name.empty()) name = urlPathLastComponent(url);
  // Only the last component of either kind of separator counts.
  auto separator = name.find_last_of("/\\");
  if (separator != std::string::npos) name = name.substr(separator + 1);
  std::string plain;
  for (char c : name)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) plain += c;
  if (plain.empty() || plain == "." || plain == ".." || plain[0] == '.') {
    // Hidden names and dot names are not plain file names either.
    while (!plain.empty() && plain[0] == '.') plain.erase(0, 1);
  }
  return plain.empty() ? "index.html" : plain;
}

std::unique_ptr<HttpDownloader> makeHttpDownloader() { return std::make_unique<Downloader>(Route::PlainFirst); }

std::unique_ptr<HttpDownloader> makeCurlDownloader() { return std::make_unique<Downloader>(Route::CurlOnly); }

}  // namespace corvane

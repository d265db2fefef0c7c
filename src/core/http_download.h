#pragma once
// Downloading one address into a folder, in the background: the line check's
// test download. An interface, so that tests can replace the network.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace corvane {

struct DownloadRequest {
  std::string url;
  // The request's own limit, an idle one: a connection, a name lookup or an
  // answer that brings no byte for so long is a failure.
  double timeoutSeconds = 10.0;
  // Reload from the origin, ignoring cached data.
  bool reloadIgnoringCache = true;
  // Host folder the file is saved in.
  std::string destinationFolder;
  // The whole transfer's limit, so that a server trickling bytes cannot
  // hold the download for ever.
  double totalSeconds = 60.0;
  // The saved file's name there; empty: the name the download suggests.
  std::string fileName;
  // The most bytes of body taken; past them the download stops and fails
  // with TooLarge. 0: no limit.
  uint64_t maxBytes = 0;
};

// Why a download failed, for the report: each names what the user or the
// support desk would do next.
enum class DownloadFailure {
  None,          // it did not fail
  HttpStatus,    // an answer came with status 400 or more (status holds it)
  NameNotFound,  // the host name has no address
  Refused,       // the host refused the connection
  TimedOut,      // no whole answer within the limit
  Tls,           // the secure connection could not be set up or trusted
  TooLarge,      // the body was longer than the request's maxBytes
  Other,         // anything else (a broken answer, a local file error)
};

// "httpStatus", "nameNotFound", "refused", "timedOut", "tls", "tooLarge", "other"
// ("" for None).
const char* downloadFailureName(DownloadFailure failure);

struct DownloadResult {
  bool ok = false;
  // Host path of the saved file (when ok).
  std::string savedPath;
  // HTTP status, 0 when no answer came.
  long status = 0;
  // Why it failed, for the log; the empty text when ok.
  std::string error;
  DownloadFailure failure = DownloadFailure::None;
};

// A running download. Destroying it cancels it and waits for its thread.
class DownloadJob {
 public:
  virtual ~DownloadJob() = default;
  // After cancel the completion is never called.
  virtual void cancel() = 0;
};

class HttpDownloader {
 public:
  using Completion = std::function<void(const DownloadResult&)>;
  virtual ~HttpDownloader() = default;
  // Starts the download at once; done is called exactly once, on another
  // thread, unless the job is cancelled first.
  virtual std::unique_ptr<DownloadJob> start(const DownloadRequest& request, Completion done) = 0;
};

// The downloader: plain "http://" addresses through a small client of its
// own, everything else (https, and a redirect to it) through libcurl, which
// is loaded only then. An HTTP status of 400 or more is a failure; the file
// lands in the destination folder only when the whole body arrived,
// replacing a file of the same name.
std::unique_ptr<HttpDownloader> makeHttpDownloader();

// The same with every address through libcurl.
std::unique_ptr<HttpDownloader> makeCurlDownloader();

// The name a download suggests, reduced to a plain file name: the
// Content-Disposition filename when given, else the last component of the
// address's path; folder parts, "..", "." and control characters are
// dropped; "index.html" when nothing usable is left.
std::string suggestedFileName(const std::string& url, const std::string& contentDisposition);

}  // namespace corvane

#pragma once
// One transfer of a download: fetching an address into a file the download
// has reserved. Plain HTTP goes through a small client of its own
// (Boost.Beast); libcurl, with its TLS libraries, is loaded only for the
// addresses that need it.

#include <chrono>
#include <functional>
#include <mutex>
#include <string>

#include "core/http_download.h"

namespace corvane {

// Cancelling a transfer from another thread. A transfer that waits inside a
// call of its own registers how to interrupt that wait.
class TransferCancellation {
 public:
  void cancel();
  bool cancelled() const;
  // Runs the interrupt at once when already cancelled; nullptr unregisters.
  // Registered and run under one lock, so an interrupt never runs after it
  // was unregistered.
  void setInterrupt(std::function<void()> interrupt);

 private:
  mutable std::mutex mutex_;
  bool cancelled_ = false;
  std::function<void()> interrupt_;
};

struct TransferRequest {
  std::string url;
  // The whole transfer ends by then.
  std::chrono::steady_clock::time_point deadline;
  // No step (name lookup, connection, each piece of the answer) may wait
  // longer than this for progress.
  std::chrono::steady_clock::duration idleLimit = std::chrono::seconds(10);
  bool reloadIgnoringCache = true;
  // Host path of the reserved file; each answer's body replaces its content.
  std::string filePath;
  // The most bytes of body written; 0: no limit.
  uint64_t maxBytes = 0;
};

struct TransferOutcome {
  // A final answer arrived whole (whatever its status).
  bool finished = false;
  // Why not, when not finished.
  std::string error;
  DownloadFailure failure = DownloadFailure::None;
  long status = 0;
  // The address the final answer came from, after redirects.
  std::string finalUrl;
  std::string contentDisposition;
  // Set by the plain transfer when redirected to an address it does not
  // speak (https): the transfer is to go on there through libcurl.
  std::string handOverUrl;
};

// Whether the address's scheme is plain "http" (in any case).
bool isPlainHttpUrl(const std::string& url);

TransferOutcome plainHttpTransfer(const TransferRequest& request, TransferCancellation& cancellation);
TransferOutcome curlTransfer(const TransferRequest& request, TransferCancellation& cancellation);

}  // namespace corvane

// The transfer on libcurl: every address the plain client does not speak
// (https above all). Polls for cancellation between steps.

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "core/download_transfer.h"
#include "core/platform_files.h"
#include "core/text.h"

namespace corvane {
namespace {

struct Transfer {
  FILE* file = nullptr;
  std::string contentDisposition;
  uint64_t written = 0;
  uint64_t maxBytes = 0;
  bool tooLarge = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  // Writing less than was given stops the transfer.
  if (transfer->maxBytes != 0 && transfer->written + bytes > transfer->maxBytes) {
    transfer->tooLarge = true;
    return 0;
  }
  transfer->written += bytes;
  return std::fwrite(data, 1, bytes, transfer->file);
}

size_t readHeader(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  std::string line(data, size * count);
  if (line.rfind("HTTP/", 0) == 0) transfer->contentDisposition.clear();  // a new answer (redirect)
  auto colon = line.find(':');
  if (colon != std::string::npos && asciiLowercase(line.substr(0, colon)) == "content-disposition") {
    std::string value = line.substr(colon + 1);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.front()))) value.erase(0, 1);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.pop_back();
    transfer->contentDisposition = value;
  }
  return size * count;
}

long millisecondsUntil(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return std::max<long>(1, static_cast<long>(left.count()));
}

DownloadFailure failureOf(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return DownloadFailure::NameNotFound;
    case CURLE_COULDNT_CONNECT: return DownloadFailure::Refused;
    case CURLE_OPERATION_TIMEDOUT: return DownloadFailure::TimedOut;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED: return DownloadFailure::Tls;
    default: return DownloadFailure::Other;
  }
}

}  // namespace

TransferOutcome curlTransfer(const TransferRequest& request, TransferCancellation& cancellation) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

  TransferOutcome outcome;
  Transfer transfer;
  transfer.file = openHostFileForWriting(request.filePath);
  if (transfer.file == nullptr) {
    outcome.error = "cannot write " + request.filePath;
    return outcome;
  }

  CURL* easy = curl_easy_init();
  CURLM* multi = curl_multi_init();
  curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, millisecondsUntil(request.deadline));
  // The idle limit: connecting, and then less than a byte a second for so long.
  const long idleMs = std::max<long>(
      1, static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(request.idleLimit).count()));
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, idleMs);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, std::max<long>(1, (idleMs + 999) / 1000));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, readHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
  curl_slist* headers = nullptr;
  transfer.maxBytes = request.maxBytes;
  if (request.maxBytes != 0)
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBytes));
  if (request.reloadIgnoringCache) {
    headers = curl_slist_append(headers, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  }
  curl_multi_add_handle(multi, easy);

  CURLcode code = CURLE_OK;
  bool finished = false;
  while (!finished && !cancellation.cancelled()) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      code = CURLE_FAILED_INIT;
      break;
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
      if (message->msg == CURLMSG_DONE) {
        code = message->data.result;
        finished = true;
      }
    }
    if (!finished) curl_multi_poll(multi, nullptr, 0, 50, nullptr);
  }

  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &outcome.status);
  char* effective = nullptr;
  curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective);
  outcome.finalUrl = effective != nullptr ? effective : request.url;
  outcome.contentDisposition = transfer.contentDisposition;
  curl_multi_remove_handle(multi, easy);
  curl_easy_cleanup(easy);
  curl_multi_cleanup(multi);
  curl_slist_free_all(headers);
  bool written = std::fclose(transfer.file) == 0;

  if (!finished)
    outcome.error = cancellation.cancelled() ? "cancelled" : "transfer failed";
  else if (code != CURLE_OK)
    outcome.error = curl_easy_strerror(code);
  else if (!written)
    outcome.error = "cannot write the downloaded file";
  else
    outcome.finished = true;
  if (!outcome.finished) outcome.failure = finished && code != CURLE_OK ? failureOf(code) : DownloadFailure::Other;
  if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
    outcome.error = "the answer is larger than " + std::to_string(request.maxBytes) + " bytes";
    outcome.failure = DownloadFailure::TooLarge;
  }
  return outcome;
}

}  // namespace corvane

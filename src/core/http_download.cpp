#include "core/http_download.h"

#include <curl/curl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>

#include "core/text.h"

namespace corvane {
namespace {

std::string lowercase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The filename parameter of a Content-Disposition value, unquoted.
std::string dispositionFileName(const std::string& value) {
  std::string lower = lowercase(value);
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

struct Transfer {
  FILE* file = nullptr;
  std::string contentDisposition;
};

size_t writeBody(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  return std::fwrite(data, size, count, transfer->file) * size;
}

size_t readHeader(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  std::string line(data, size * count);
  if (line.rfind("HTTP/", 0) == 0) transfer->contentDisposition.clear();  // a new answer (redirect)
  auto colon = line.find(':');
  if (colon != std::string::npos && lowercase(line.substr(0, colon)) == "content-disposition") {
    std::string value = line.substr(colon + 1);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.front()))) value.erase(0, 1);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.pop_back();
    transfer->contentDisposition = value;
  }
  return size * count;
}

class CurlJob : public DownloadJob {
 public:
  CurlJob(DownloadRequest request, HttpDownloader::Completion done)
      : request_(std::move(request)), done_(std::move(done)) {
    thread_ = std::thread([this] { run(); });
  }
  ~CurlJob() override {
    cancel();
    if (thread_.joinable()) thread_.join();
  }
  void cancel() override {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
  }

 private:
  void run() {
    DownloadResult result = download();
    std::lock_guard lock(mutex_);
    if (!cancelled_) done_(result);
  }

  DownloadResult download() {
    DownloadResult result;
    std::string pattern = request_.destinationFolder + "/.corvane-download-XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
      result.error = "cannot create a file in " + request_.destinationFolder;
      return result;
    }
    ::fchmod(fd, 0644);  // a downloaded file, readable like any other
    Transfer transfer;
    transfer.file = ::fdopen(fd, "wb");
    if (transfer.file == nullptr) {
      ::close(fd);
      ::unlink(pattern.c_str());
      result.error = "cannot write " + pattern;
      return result;
    }

    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    curl_easy_setopt(easy, CURLOPT_URL, request_.url.c_str());
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(request_.timeoutSeconds * 1000));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, readHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_slist* headers = nullptr;
    if (request_.reloadIgnoringCache) {
      headers = curl_slist_append(headers, "Cache-Control: no-cache");
      headers = curl_slist_append(headers, "Pragma: no-cache");
      curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    }
    curl_multi_add_handle(multi, easy);

    CURLcode code = CURLE_OK;
    bool finished = false;
    while (!finished && !isCancelled()) {
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

    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &result.status);
    char* effective = nullptr;
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective);
    std::string finalUrl = effective != nullptr ? effective : request_.url;
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);
    curl_slist_free_all(headers);
    bool written = std::fclose(transfer.file) == 0;

    if (!finished) {
      result.error = isCancelled() ? "cancelled" : "transfer failed";
    } else if (code != CURLE_OK) {
      result.error = curl_easy_strerror(code);
    } else if (result.status >= 400) {
      result.error = "HTTP status " + std::to_string(result.status);
    } else if (!written) {
      result.error = "cannot write the downloaded file";
    } else {
      std::string name = suggestedFileName(finalUrl, transfer.contentDisposition);
      std::string destination = request_.destinationFolder + "/" + name;
      std::error_code error;
      std::filesystem::rename(pattern, destination, error);
      if (!error) {
        result.ok = true;
        result.savedPath = destination;
        return result;
      }
      result.error = "cannot save " + destination + ": " + error.message();
    }
    ::unlink(pattern.c_str());
    return result;
  }

  bool isCancelled() {
    std::lock_guard lock(mutex_);
    return cancelled_;
  }

  DownloadRequest request_;
  HttpDownloader::Completion done_;
  std::mutex mutex_;
  bool cancelled_ = false;
  std::thread thread_;
};

class CurlDownloader : public HttpDownloader {
 public:
  CurlDownloader() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  }
  std::unique_ptr<DownloadJob> start(const DownloadRequest& request, Completion done) override {
    return std::make_unique<CurlJob>(request, std::move(done));
  }
};

}  // namespace

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

std::unique_ptr<HttpDownloader> makeCurlDownloader() { return std::make_unique<CurlDownloader>(); }

}  // namespace corvane

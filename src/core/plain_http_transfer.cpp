// The plain-HTTP transfer: one GET, following redirects, with the body
// written straight to the reserved file. Boost.Beast reads the answers
// (status line, headers, chunked or sized or closing bodies); this file adds
// the address handling, the deadline and cancellation.

#include <netdb.h>
#include <sys/socket.h>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/http/file_body.hpp>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "core/download_transfer.h"
#include "core/text.h"

namespace corvane {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

constexpr int kMaxRedirects = 10;
// Generous for headers; the body has no limit of its own, the deadline
// bounds it.
constexpr std::uint32_t kHeaderLimit = 64 * 1024;

struct HttpAddress {
  std::string host;       // without brackets
  std::string port;       // "80" when not given
  std::string authority;  // the Host header: host[:port] as written
  std::string target;     // path and query, "/" at least
};

// Splits an "http://" address; nullopt when it has no host or a bad port.
std::optional<HttpAddress> parseHttpAddress(const std::string& url) {
  std::string rest = url.substr(url.find("://") + 3);
  size_t end = rest.find_first_of("/?#");
  std::string authority = rest.substr(0, end);
  std::string target = end == std::string::npos ? "" : rest.substr(end);
  target = target.substr(0, target.find('#'));
  if (target.empty() || target[0] != '/') target.insert(0, "/");
  // Credentials in the address are not sent anywhere.
  if (size_t at = authority.rfind('@'); at != std::string::npos) authority.erase(0, at + 1);

  HttpAddress address;
  address.authority = authority;
  address.target = target;
  std::string portText;
  if (!authority.empty() && authority[0] == '[') {
    size_t close = authority.find(']');
    if (close == std::string::npos) return std::nullopt;
    address.host = authority.substr(1, close - 1);
    std::string after = authority.substr(close + 1);
    if (!after.empty() && after[0] != ':') return std::nullopt;
    if (!after.empty()) portText = after.substr(1);
  } else {
    size_t colon = authority.rfind(':');
    address.host = authority.substr(0, colon);
    if (colon != std::string::npos) portText = authority.substr(colon + 1);
  }
  if (address.host.empty()) return std::nullopt;
  if (portText.empty()) {
    address.port = "80";
  } else {
    if (portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    if (std::stoi(portText) == 0 || std::stoi(portText) > 65535) return std::nullopt;
    address.port = portText;
  }
  return address;
}

// The address a Location header points at, read against the address that
// answered with it.
std::string resolveLocation(const std::string& base, const std::string& location) {
  size_t schemeEnd = base.find("://");
  std::string scheme = base.substr(0, schemeEnd);
  size_t pathStart = base.find_first_of("/?#", schemeEnd + 3);
  std::string origin = base.substr(0, pathStart);
  if (location.find("://") != std::string::npos && location.find("://") < location.find_first_of("/?#"))
    return location;
  if (location.rfind("//", 0) == 0) return scheme + ":" + location;
  if (!location.empty() && location[0] == '/') return origin + location;
  std::string path = pathStart == std::string::npos ? "/" : base.substr(pathStart);
  path = path.substr(0, path.find_first_of("?#"));
  if (path.empty() || path[0] != '/') path = "/";
  return origin + path.substr(0, path.rfind('/') + 1) + location;
}

bool isRedirect(unsigned status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// A name lookup shared between the transfer and the thread that does it.
struct Lookup {
  std::mutex mutex;
  std::condition_variable changed;
  bool done = false;
  bool abandoned = false;
  int code = 0;
  std::vector<tcp::endpoint> endpoints;
};

// The addresses a host name stands for. getaddrinfo cannot be interrupted,
// so it runs on a thread of its own; a download that is cancelled or runs out
// of time leaves that thread to finish by itself.
std::optional<std::vector<tcp::endpoint>> lookUp(const HttpAddress& address,
                                                 std::chrono::steady_clock::time_point deadline,
                                                 TransferCancellation& cancellation, std::string& error,
                                                 DownloadFailure& failure) {
  auto lookup = std::make_shared<Lookup>();
  std::thread([lookup, host = address.host, port = address.port] {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int code = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    std::vector<tcp::endpoint> endpoints;
    for (addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
      if (entry->ai_family != AF_INET && entry->ai_family != AF_INET6) continue;
      tcp::endpoint endpoint;
      if (entry->ai_addrlen > endpoint.capacity()) continue;
      std::memcpy(endpoint.data(), entry->ai_addr, entry->ai_addrlen);
      endpoints.push_back(endpoint);
    }
    if (found != nullptr) ::freeaddrinfo(found);
    std::lock_guard lock(lookup->mutex);
    lookup->code = code;
    lookup->endpoints = std::move(endpoints);
    lookup->done = true;
    lookup->changed.notify_all();
  }).detach();

  cancellation.setInterrupt([lookup] {
    std::lock_guard lock(lookup->mutex);
    lookup->abandoned = true;
    lookup->changed.notify_all();
  });
  std::unique_lock lock(lookup->mutex);
  lookup->changed.wait_until(lock, deadline, [&] { return lookup->done || lookup->abandoned; });
  lock.unlock();
  cancellation.setInterrupt(nullptr);

  std::lock_guard relock(lookup->mutex);
  if (!lookup->done) {
    error = lookup->abandoned ? "cancelled" : "the name lookup of " + address.host + " timed out";
    failure = lookup->abandoned ? DownloadFailure::Other : DownloadFailure::TimedOut;
    return std::nullopt;
  }
  if (lookup->code != 0 || lookup->endpoints.empty()) {
    error = "cannot find the host " + address.host + ": " +
            (lookup->code != 0 ? ::gai_strerror(lookup->code) : "no address");
    failure = DownloadFailure::NameNotFound;
    return std::nullopt;
  }
  return lookup->endpoints;
}

// What one request brought back.
struct Answer {
  bool completed = false;  // every step ran, well or not
  std::string error;       // empty when an answer was read
  DownloadFailure failure = DownloadFailure::None;
  unsigned status = 0;
  std::string location;
  std::string contentDisposition;
};

// The sooner of the transfer's deadline and an idle limit from now.
std::chrono::steady_clock::time_point nextExpiry(const TransferRequest& request) {
  return std::min(request.deadline, std::chrono::steady_clock::now() + request.idleLimit);
}

// One request and its answer, step by step on an event loop: each step's
// handler starts the next. Before each step the stream's expiry is set anew:
// no step waits longer than the idle limit, none past the transfer's deadline.
class Exchange {
 public:
  Exchange(asio::io_context& loop, const HttpAddress& address, const TransferRequest& request, Answer& answer)
      : address_(address), request_(request), answer_(answer), stream_(loop) {}

  void start(const std::vector<tcp::endpoint>& endpoints) {
    stream_.expires_at(nextExpiry(request_));
    stream_.async_connect(endpoints, [this](beast::error_code failure, const tcp::endpoint&) { connected(failure); });
  }

 private:
  void connected(beast::error_code failure) {
    if (failure) return finish("cannot connect to " + address_.authority + ": " + failure.message(), failure);
    get_ = {http::verb::get, address_.target, 11};
    get_.set(http::field::host, address_.authority);
    get_.set(http::field::connection, "close");
    if (request_.reloadIgnoringCache) {
      get_.set(http::field::cache_control, "no-cache");
      get_.set(http::field::pragma, "no-cache");
    }
    stream_.expires_at(nextExpiry(request_));
    http::async_write(stream_, get_, [this](beast::error_code error, size_t) { sent(error); });
  }

  void sent(beast::error_code failure) {
    if (failure) return finish("cannot send the request: " + failure.message(), failure);
    // The body goes to the file as it arrives; a redirect's body is never read.
    parser_.header_limit(kHeaderLimit);
    // The request's limit, or none (Beast 1.74 misreads "none" as zero with a length).
    parser_.body_limit(request_.maxBytes != 0 ? request_.maxBytes : std::numeric_limits<std::uint64_t>::max());
    parser_.get().body().open(request_.filePath.c_str(), beast::file_mode::write, failure);
    if (failure) return finish("cannot write " + request_.filePath + ": " + failure.message(), failure);
    stream_.expires_at(nextExpiry(request_));
    http::async_read_header(stream_, buffer_, parser_, [this](beast::error_code error, size_t) { headerRead(error); });
  }

  void headerRead(beast::error_code failure) {
    if (failure) return finish("no answer: " + failure.message(), failure);
    const auto& header = parser_.get();
    answer_.status = header.result_int();
    answer_.location = std::string(header[http::field::location]);
    answer_.contentDisposition = std::string(header[http::field::content_disposition]);
    if (isRedirect(answer_.status) && !answer_.location.empty()) return finish("");
    readBody();
  }

  // The body piece by piece, so that the idle limit counts from the last
  // piece that arrived.
  void readBody() {
    if (parser_.is_done()) return bodyRead({});
    stream_.expires_at(nextExpiry(request_));
    http::async_read_some(stream_, buffer_, parser_, [this](beast::error_code failure, size_t) {
      if (failure) return bodyRead(failure);
      readBody();
    });
  }

  void bodyRead(beast::error_code failure) {
    parser_.get().body().close();
    finish(failure ? "the answer broke off: " + failure.message() : "", failure);
  }

  void finish(const std::string& error, beast::error_code failure = {}) {
    answer_.error = error;
    if (failure == http::error::body_limit) {
      answer_.error = "the answer is larger than " + std::to_string(request_.maxBytes) + " bytes";
      answer_.failure = DownloadFailure::TooLarge;
    } else if (!error.empty()) {
      answer_.failure = failure == beast::error::timeout             ? DownloadFailure::TimedOut
                        : failure == asio::error::connection_refused ? DownloadFailure::Refused
                                                                     : DownloadFailure::Other;
    }
    answer_.completed = true;
  }

  const HttpAddress& address_;
  const TransferRequest& request_;
  Answer& answer_;
  beast::tcp_stream stream_;
  http::request<http::empty_body> get_;
  http::response_parser<http::file_body> parser_;
  beast::flat_buffer buffer_;
};

// Runs one request on an event loop of its own, which a cancel stops.
Answer request(const HttpAddress& address, const std::vector<tcp::endpoint>& endpoints, const TransferRequest& transfer,
               TransferCancellation& cancellation) {
  Answer answer;
  asio::io_context loop;
  {
    Exchange exchange(loop, address, transfer, answer);
    exchange.start(endpoints);
    cancellation.setInterrupt([&loop] { loop.stop(); });
    loop.run();
    cancellation.setInterrupt(nullptr);
  }  // a stopped loop's unfinished steps are dropped with it, never run
  if (!answer.completed) {
    answer.error = "cancelled";
    answer.failure = DownloadFailure::Other;
  }
  return answer;
}

}  // namespace

bool isPlainHttpUrl(const std::string& url) { return asciiLowercase(url.substr(0, 7)) == "http://"; }

TransferOutcome plainHttpTransfer(const TransferRequest& transfer, TransferCancellation& cancellation) {
  TransferOutcome outcome;
  std::string url = transfer.url;
  for (int redirects = 0; redirects <= kMaxRedirects; ++redirects) {
    if (!isPlainHttpUrl(url)) {
      outcome.handOverUrl = url;
      return outcome;
    }
    std::optional<HttpAddress> address = parseHttpAddress(url);
    if (!address) {
      outcome.error = "not a usable address: " + url;
      return outcome;
    }
    std::optional<std::vector<tcp::endpoint>> endpoints =
        lookUp(*address, nextExpiry(transfer), cancellation, outcome.error, outcome.failure);
    if (!endpoints) return outcome;

    Answer answer = request(*address, *endpoints, transfer, cancellation);
    outcome.status = answer.status;
    if (!answer.error.empty()) {
      outcome.error = answer.error;
      outcome.failure = answer.failure;
      return outcome;
    }
    if (isRedirect(answer.status) && !answer.location.empty()) {
      url = resolveLocation(url, answer.location);
      continue;
    }
    outcome.finished = true;
    outcome.finalUrl = url;
    outcome.contentDisposition = answer.contentDisposition;
    return outcome;
  }
  outcome.error = "more than " + std::to_string(kMaxRedirects) + " redirects";
  return outcome;
}

}  // namespace corvane

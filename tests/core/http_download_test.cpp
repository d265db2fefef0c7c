// The downloads against loopback servers: the plain-HTTP client and libcurl
// must behave alike.

#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <thread>

#include "core/http_download.h"
#include "support/loopback_server.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

enum class Client { Plain, Curl };

// Runs one download to its end.
DownloadResult fetchWith(HttpDownloader& downloader, const std::string& url, const std::string& folder,
                         double timeout = 5.0) {
  std::promise<DownloadResult> promise;
  auto job = downloader.start(DownloadRequest{url, timeout, true, folder},
                              [&](const DownloadResult& result) { promise.set_value(result); });
  return promise.get_future().get();
}

class Download : public ::testing::TestWithParam<Client> {
 protected:
  DownloadResult fetch(const std::string& url, double timeout = 5.0) {
    return fetchWith(*downloader, url, folder.path(), timeout);
  }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempFolder folder;
  std::unique_ptr<HttpDownloader> downloader =
      GetParam() == Client::Plain ? makeHttpDownloader() : makeCurlDownloader();
  HttpTestServer http;
};

TEST_P(Download, SavesUnderTheSuggestedNameAndOverwrites) {
  std::string body = "first";
  std::string cacheControl;
  http.server.Get("/corvane/check.html", [&](const httplib::Request& request, httplib::Response& response) {
    cacheControl = request.get_header_value("Cache-Control");
    response.set_content(body, "text/html");
  });
  DownloadResult result = fetch(http.url("/corvane/check.html?x=1"));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(result.savedPath, folder.path() + "/check.html");
  EXPECT_EQ(readHostFile(result.savedPath), "first");
  EXPECT_EQ(cacheControl, "no-cache");

  body = "second";
  ASSERT_TRUE(fetch(http.url("/corvane/check.html")).ok);
  EXPECT_EQ(readHostFile(folder.path() + "/check.html"), "second");
  EXPECT_EQ(files(), std::vector<std::string>{"check.html"});
}

TEST_P(Download, ErrorStatusIsAFailureAndLeavesNoFile) {
  http.server.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
    response.status = 404;
    response.set_content("not here", "text/plain");
  });
  DownloadResult result = fetch(http.url("/missing"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.status, 404);
  EXPECT_TRUE(files().empty());
}

TEST_P(Download, RefusedConnectionFails) {
  DownloadResult result = fetch(refusingUrl("/check.html"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(files().empty());
}

TEST_P(Download, SilentServerRunsIntoTheRequestTimeout) {
  SilentServer silent;
  DownloadResult result = fetch(silent.url("/check.html"), 0.3);
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(files().empty());
}

TEST_P(Download, CancelledDownloadNeverReports) {
  SilentServer silent;
  bool reported = false;
  {
    auto job = downloader->start(DownloadRequest{silent.url("/"), 5.0, true, folder.path()},
                                 [&](const DownloadResult&) { reported = true; });
    job->cancel();
  }  // destroying the job waits for its thread
  EXPECT_FALSE(reported);
  EXPECT_TRUE(files().empty());
}

TEST_P(Download, CancelInterruptsAWaitingRequest) {
  // Connected and waiting for an answer that never comes: cancelling must
  // not wait for the request's own limit.
  SilentServer silent;
  auto started = std::chrono::steady_clock::now();
  {
    auto job =
        downloader->start(DownloadRequest{silent.url("/"), 60.0, true, folder.path()}, [](const DownloadResult&) {});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  EXPECT_TRUE(files().empty());
}

TEST_P(Download, ServerSuggestedFolderPartsAreDropped) {
  http.server.Get("/get", [](const httplib::Request&, httplib::Response& response) {
    response.set_header("Content-Disposition", "attachment; filename=\"../../evil.txt\"");
    response.set_content("payload", "text/plain");
  });
  DownloadResult result = fetch(http.url("/get"));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.savedPath, folder.path() + "/evil.txt");
  EXPECT_EQ(files(), std::vector<std::string>{"evil.txt"});
  EXPECT_FALSE(fs::exists(fs::path(folder.path()).parent_path() / "evil.txt"));
  EXPECT_FALSE(fs::exists(fs::path(folder.path()).parent_path().parent_path() / "evil.txt"));
}

TEST_P(Download, FollowsRedirectsAndSavesUnderTheFinalName) {
  http.server.Get("/start", [](const httplib::Request&, httplib::Response& response) {
    response.status = 302;
    response.set_header("Location", "next/hop?x=1");  // relative to /start's folder
  });
  http.server.Get("/next/hop", [](const httplib::Request&, httplib::Response& response) {
    response.status = 301;
    response.set_header("Location", "/final/check.html");
    response.set_content("a redirect's own body, not the page", "text/html");
  });
  http.server.Get("/final/check.html", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("page", "text/html");
  });
  DownloadResult result = fetch(http.url("/start"));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.savedPath, folder.path() + "/check.html");
  EXPECT_EQ(readHostFile(result.savedPath), "page");
  EXPECT_EQ(files(), std::vector<std::string>{"check.html"});
}

// The name is the caller's, whatever the server suggests; a file of the
// suggested name stays as it was.
TEST_P(Download, AFixedNameIgnoresTheSuggestedOne) {
  http.server.Get("/page", [](const httplib::Request&, httplib::Response& response) {
    response.set_header("Content-Disposition", "attachment; filename=\"notes.txt\"");
    response.set_content("page", "text/html");
  });
  folder.write("notes.txt", "mine");
  DownloadRequest request{http.url("/page"), 5.0, true, folder.path()};
  request.fileName = "test-page";
  std::promise<DownloadResult> promise;
  auto job = downloader->start(request, [&](const DownloadResult& result) { promise.set_value(result); });
  const DownloadResult result = promise.get_future().get();
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.savedPath, folder.path() + "/test-page");
  EXPECT_EQ(readHostFile(folder.path() + "/notes.txt"), "mine");
  EXPECT_EQ(files(), (std::vector<std::string>{"notes.txt", "test-page"}));
}

// Past maxBytes the download stops, fails as TooLarge and leaves nothing:
// a body that never ends, and one whose announced length is too long.
TEST_P(Download, ABodyPastTheCapStopsTheDownload) {
  constexpr uint64_t cap = 1u << 20;
  http.server.Get("/endless", [](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("text/html", [](size_t, httplib::DataSink& sink) {
      static const std::string piece(65536, 'x');
      return sink.write(piece.data(), piece.size());
    });
  });
  http.server.Get("/long", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(std::string(cap + 1, 'x'), "text/html");
  });
  for (const char* path : {"/endless", "/long"}) {
    SCOPED_TRACE(path);
    DownloadRequest request{http.url(path), 5.0, true, folder.path(), 20.0};
    request.maxBytes = cap;
    std::promise<DownloadResult> promise;
    auto job = downloader->start(request, [&](const DownloadResult& result) { promise.set_value(result); });
    const DownloadResult result = promise.get_future().get();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failure, DownloadFailure::TooLarge) << result.error;
    EXPECT_TRUE(files().empty());
  }
}

TEST_P(Download, EndlessRedirectsFail) {
  http.server.Get("/loop", [](const httplib::Request&, httplib::Response& response) {
    response.status = 302;
    response.set_header("Location", "/loop");
  });
  DownloadResult result = fetch(http.url("/loop"));
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(files().empty());
}

TEST_P(Download, ChunkedBodyArrivesWhole) {
  const std::string piece(10000, 'x');
  http.server.Get("/chunked.html", [&](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("text/html", [&](size_t offset, httplib::DataSink& sink) {
      if (offset < 5 * piece.size())
        sink.write(piece.data(), piece.size());
      else
        sink.done();
      return true;
    });
  });
  DownloadResult result = fetch(http.url("/chunked.html"));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(readHostFile(result.savedPath).size(), 5 * piece.size());
}

// The request's limit is an idle one: a body that keeps coming in small
// pieces arrives whole past it, and only the whole-transfer cap cuts it.
TEST_P(Download, TricklingBodyOutlastsTheIdleLimitButNotTheCap) {
  http.server.Get("/trickle.html", [](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("text/html", [](size_t offset, httplib::DataSink& sink) {
      if (offset >= 16 * 10) {
        sink.done();
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      sink.write("0123456789", 10);
      return true;
    });
  });
  std::promise<DownloadResult> whole;
  // Ten times the gap between chunks, so a loaded machine does not trip it;
  // the whole body still takes longer than the idle limit.
  auto job = downloader->start(DownloadRequest{http.url("/trickle.html"), 2.0, true, folder.path(), 30.0},
                               [&](const DownloadResult& result) { whole.set_value(result); });
  DownloadResult result = whole.get_future().get();
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(readHostFile(result.savedPath).size(), 160u);

  std::promise<DownloadResult> capped;
  auto cut = downloader->start(DownloadRequest{http.url("/trickle.html"), 2.0, true, folder.path(), 0.7},
                               [&](const DownloadResult& answer) { capped.set_value(answer); });
  EXPECT_FALSE(capped.get_future().get().ok);
}

TEST_P(Download, BodyCutShortIsAFailure) {
  // Promises more than it sends, then closes.
  http.server.Get("/short", [](const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(1000, "text/html", [](size_t, size_t, httplib::DataSink& sink) {
      sink.write("only this", 9);
      return false;  // the server drops the connection
    });
  });
  DownloadResult result = fetch(http.url("/short"));
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(files().empty());
}

INSTANTIATE_TEST_SUITE_P(Clients, Download, ::testing::Values(Client::Plain, Client::Curl),
                         [](const auto& test) { return test.param == Client::Plain ? "Plain" : "Curl"; });

TEST(PlainDownload, MalformedAddressFailsWithoutAFile) {
  TempFolder folder;
  auto downloader = makeHttpDownloader();
  for (std::string url : {"http://", "http://:80/x", "http://host:99999/x", "http://[::1/x", "http://host:8a/x"}) {
    DownloadResult result = fetchWith(*downloader, url, folder.path());
    EXPECT_FALSE(result.ok) << url;
    EXPECT_NE(result.error.find("not a usable address"), std::string::npos) << url << ": " << result.error;
  }
  EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST(PlainDownload, RedirectToHttpsGoesOnThroughLibcurl) {
  // The plain client hands the https address on; libcurl then finds nobody
  // listening there, which only it can report.
  HttpTestServer http;
  std::string target = refusingUrl("/secure.html");
  target.replace(0, 4, "https");
  http.server.Get("/plain", [&](const httplib::Request&, httplib::Response& response) {
    response.status = 302;
    response.set_header("Location", target);
  });
  TempFolder folder;
  DownloadResult result = fetchWith(*makeHttpDownloader(), http.url("/plain"), folder.path());
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "Couldn't connect to server");
  EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST(SuggestedFileName, ReducedToAPlainName) {
  struct Case {
    std::string url, disposition, name;
  } cases[] = {
      {"http://host/corvane/check.html", "", "check.html"},
      {"http://host/a/b.txt?q=1#top", "", "b.txt"},
      {"http://host/", "", "index.html"},
      {"http://host", "", "index.html"},
      {"http://host/x", "attachment; filename=\"report.pdf\"", "report.pdf"},
      {"http://host/x", "attachment; filename=plain.txt; size=3", "plain.txt"},
      {"http://host/x", "attachment; filename=\"../../etc/passwd\"", "passwd"},
      {"http://host/x", "attachment; filename=\"..\\\\..\\\\win.ini\"", "win.ini"},
      {"http://host/x", "attachment; filename=\"..\"", "index.html"},
      {"http://host/x", "attachment; filename=\".hidden\"", "hidden"},
      {"http://host/..", "", "index.html"},
      {"http://host/x", "attachment; filename=\"a\nb\"", "ab"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(suggestedFileName(c.url, c.disposition), c.name) << c.url << " " << c.disposition;
}

}  // namespace
}  // namespace corvane::testing

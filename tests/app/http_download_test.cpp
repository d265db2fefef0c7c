// The libcurl download against loopback servers.

#include <gtest/gtest.h>

#include <filesystem>
#include <future>

#include "core/http_download.h"
#include "loopback_server.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

class Download : public ::testing::Test {
 protected:
  // Runs one download to its end.
  DownloadResult fetch(const std::string& url, double timeout = 5.0) {
    std::promise<DownloadResult> promise;
    auto job = downloader->start(DownloadRequest{url, timeout, true, folder.path()},
                                 [&](const DownloadResult& result) { promise.set_value(result); });
    return promise.get_future().get();
  }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempFolder folder;
  std::unique_ptr<HttpDownloader> downloader = makeCurlDownloader();
  HttpTestServer http;
};

TEST_F(Download, SavesUnderTheSuggestedNameAndOverwrites) {
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

TEST_F(Download, ErrorStatusIsAFailureAndLeavesNoFile) {
  http.server.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
    response.status = 404;
    response.set_content("not here", "text/plain");
  });
  DownloadResult result = fetch(http.url("/missing"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.status, 404);
  EXPECT_TRUE(files().empty());
}

TEST_F(Download, RefusedConnectionFails) {
  DownloadResult result = fetch(refusingUrl("/check.html"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(files().empty());
}

TEST_F(Download, SilentServerRunsIntoTheRequestTimeout) {
  SilentServer silent;
  DownloadResult result = fetch(silent.url("/check.html"), 0.3);
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(files().empty());
}

TEST_F(Download, CancelledDownloadNeverReports) {
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

TEST_F(Download, ServerSuggestedFolderPartsAreDropped) {
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
  for (const auto& c : cases) EXPECT_EQ(suggestedFileName(c.url, c.disposition), c.name) << c.url << " " << c.disposition;
}

}  // namespace
}  // namespace corvane::testing

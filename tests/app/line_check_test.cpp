// The line check: the download of the provider's test address, its timer and
// its end in every outcome.

#include <filesystem>

#include "app/check_report.h"
#include "app_fixture.h"
#include "core/capture_platform.h"
#include "support/loopback_server.h"

namespace corvane::testing {
namespace {

TEST_F(AppTest, LineCheckAsksForTheTestAddressWithoutCache) {
  start();
  press(Button::LineCheck);
  ASSERT_EQ(downloader.requests.size(), 1u);
  const DownloadRequest& request = downloader.requests[0];
  EXPECT_EQ(request.url, "http://127.0.0.1:9/check.html");
  EXPECT_TRUE(request.reloadIgnoringCache);
  EXPECT_EQ(request.timeoutSeconds, 0.5);
  EXPECT_EQ(request.totalSeconds, 60.0);  // what ends a trickling download before 10.3
  // A private folder of its own in the temporary folder, a fixed name, a cap.
  EXPECT_TRUE(request.destinationFolder.starts_with(platform->temporaryFolder() + "/corvane-download-"))
      << request.destinationFolder;
  EXPECT_EQ(request.fileName, "test-page");
  EXPECT_EQ(request.maxBytes, kTestPageCap);
  EXPECT_FALSE(platform->isDirectory(request.destinationFolder)) << "removed when the check ended";
  EXPECT_EQ(row(Row::Line), (Json{{"image", "ok"}, {"text", "ok"}, {"code", ""}}));
}

TEST_F(AppTest, FailedDownloadGivesSyserrAnd07029) {
  downloader.answer = false;
  start();
  press(Button::LineCheck);
  EXPECT_EQ(row(Row::Line), (Json{{"image", "syserr"}, {"text", "syserr"}, {"code", "07029"}}));
  EXPECT_EQ(events("arm").back()["enabled"], true);
}

TEST_F(AppTest, SilentDownloadEndsByTheTimerOnNewerSystems) {
  downloader.answer.reset();  // never reports by itself
  start();
  press(Button::LineCheck);
  EXPECT_EQ(row(Row::Line), (Json{{"image", "syserr"}, {"text", "syserr"}, {"code", "07029"}}));
  ASSERT_EQ(downloader.cancelled.size(), 1u);
  EXPECT_TRUE(*downloader.cancelled[0]);
  EXPECT_FALSE(corvane->lineCheckRunning());
}

TEST_F(AppTest, BeforeTenThreeNoTimerRunsAndTheRequestLimitEndsTheCheck) {
  writeSystem(system, "10.2.8");
  downloader.answer.reset();
  start();
  corvane->OnButton(Button::LineCheck);
  queue.runPending();
  EXPECT_TRUE(corvane->lineCheckRunning());  // no timer: only the download can end it
  downloader.completions[0](DownloadResult{false, "", 0, "timed out"});
  queue.runUntil([&] { return !corvane->lineCheckRunning(); });
  EXPECT_EQ(row(Row::Line)["code"], "07029");
  EXPECT_FALSE(*downloader.cancelled[0]);
}

TEST_F(AppTest, LateReportOfAReplacedDownloadIsIgnored) {
  downloader.answer.reset();
  start();
  corvane->OnButton(Button::LineCheck);
  corvane->OnButton(Button::LineCheck);  // a second line check replaces the first
  ASSERT_EQ(downloader.requests.size(), 2u);
  EXPECT_TRUE(*downloader.cancelled[0]);
  downloader.completions[0](DownloadResult{false, "", 0, "late"});
  downloader.completions[1](DownloadResult{true, "", 200, ""});
  queue.runUntil([&] { return !corvane->lineCheckRunning(); });
  EXPECT_EQ(row(Row::Line), (Json{{"image", "ok"}, {"text", "ok"}, {"code", ""}}));
  EXPECT_EQ(rowImages(Row::Line), (std::vector<std::string>{"check", "check", "ok"}));
}

TEST_F(AppTest, NoWebEngineAlertsAndGives07012) {
  system.remove(kWebKitPath);
  start();
  press(Button::Start);
  EXPECT_FALSE(corvane->URLOK());
  EXPECT_EQ(row(Row::Line), (Json{{"image", "before"}, {"text", ""}, {"code", "07012"}}));
  EXPECT_EQ(events("alert"), std::vector<Json>{Json::parse(R"({"event":"alert","message":"NoURLCheck"})")});
  EXPECT_TRUE(downloader.requests.empty());
  EXPECT_EQ(events("arm").back()["enabled"], true);
}

// The controller with the real download, against loopback servers.
class LineCheckOnLoopback : public AppTest {
 protected:
  Corvane& startReal(const std::string& url) {
    prvs.testurl = url;
    real = makePlatform(root.path(), temporary.path());
    platform = real.get();
    view = std::make_unique<RecordingView>(*platform, RepairAnswer::No);
    corvane = std::make_unique<Corvane>(
        CorvaneServices{*view, queue, *platform, readers, *curl, strings, Bundle(root.path()),
                        CorvaneTimings{.pauseSeconds = 0, .requestTimeout = 5, .lineTimeout = 0.3}},
        prvs);
    corvane->awakeFromNib();
    return *corvane;
  }
  void SetUp() override {
    AppTest::SetUp();
    writeSystem(root, "10.4.11");
  }
  TempFolder root;
  TempFolder temporary;
  std::unique_ptr<Platform> real;
  std::unique_ptr<HttpDownloader> curl = makeCurlDownloader();
};

TEST_F(LineCheckOnLoopback, OutcomesOfTheServer) {
  HttpTestServer http;
  http.server.Get("/corvane/check.html", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<html>ok</html>", "text/html");
  });
  // A name of a file already in the temporary folder.
  http.server.Get("/corvane/named.html", [](const httplib::Request&, httplib::Response& response) {
    response.set_header("Content-Disposition", "attachment; filename=\"notes.txt\"");
    response.set_content("<html>ok</html>", "text/html");
  });
  const std::string notes = temporary.write("notes.txt", "the user's notes");
  SilentServer silent;
  struct Case {
    std::string url;
    Json line;
  } cases[] = {
      {http.url("/corvane/check.html"), {{"image", "ok"}, {"text", "ok"}, {"code", ""}}},
      {http.url("/corvane/named.html"), {{"image", "ok"}, {"text", "ok"}, {"code", ""}}},
      {http.url("/corvane/absent.html"), {{"image", "syserr"}, {"text", "syserr"}, {"code", "07029"}}},
      {refusingUrl("/corvane/check.html"), {{"image", "syserr"}, {"text", "syserr"}, {"code", "07029"}}},
      {silent.url("/corvane/check.html"), {{"image", "syserr"}, {"text", "syserr"}, {"code", "07029"}}},
      {"", {{"image", "syserr"}, {"text", "syserr"}, {"code", "07029"}}},
      {"not an address", {{"image", "syserr"}, {"text", "syserr"}, {"code", "07029"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    startReal(c.url);
    press(Button::LineCheck);
    EXPECT_EQ(row(Row::Line), c.line);
    EXPECT_EQ(events("arm").back()["enabled"], true);
  }
  // No download left anything, and the file of the suggested name is untouched.
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(temporary.path()))
    files.push_back(entry.path().filename());
  EXPECT_EQ(files, std::vector<std::string>{"notes.txt"});
  EXPECT_EQ(readHostFile(notes), "the user's notes");
}

// However the check ends (replaced, ended by its timer, the controller gone),
// its folder goes.
TEST_F(LineCheckOnLoopback, NothingStaysWhenTheCheckIsCutShort) {
  SilentServer silent;
  startReal(silent.url("/check.html"));
  corvane->OnButton(Button::LineCheck);
  corvane->OnButton(Button::LineCheck);                          // replaces the first
  queue.runUntil([&] { return !corvane->lineCheckRunning(); });  // the timer ends it
  EXPECT_TRUE(std::filesystem::is_empty(temporary.path()));
  corvane->OnButton(Button::LineCheck);
  corvane.reset();  // quitting during the check
  EXPECT_TRUE(std::filesystem::is_empty(temporary.path()));
}

// A capture's line is the fetch recorded on the customer's Mac: the
// downloader the controller was given is never asked.
class LineOfACapture : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    writeSystem(root, "10.4.11");
    root.write("corvane-capture/manifest.txt",
               "capture-time: 2026-12-10T16:05:00Z\nhost: Taro's iMac\nscript-version: 2\n");
  }
  Corvane& startOnCapture() {
    capture = std::make_unique<CapturePlatform>(
        PlatformOptions{.root = root.path(), .home = "/Users/user", .pauses = false, .syslog = false});
    platform = capture.get();
    view = std::make_unique<RecordingView>(*platform, RepairAnswer::No);
    corvane = std::make_unique<Corvane>(
        CorvaneServices{*view, queue, *platform, readers, downloader, strings, Bundle(root.path()),
                        CorvaneTimings{.pauseSeconds = 0, .requestTimeout = 5, .lineTimeout = 0.3}},
        prvs);
    corvane->awakeFromNib();
    return *corvane;
  }
  TempFolder root;
  std::unique_ptr<CapturePlatform> capture;
};

TEST_F(LineOfACapture, TheRowIsTheRecordedFetchOrNotRun) {
  struct Case {
    const char* what;
    std::string recording;  // "" for none
    Json line;
    std::string cause;
  } cases[] = {
      {"fine",
       "url: http://example.jp/check.html\nhttp-status: 200\nbytes: 15\nseconds: 0.2\ncurl-exit: 0\nerror: \n",
       {{"image", "ok"}, {"text", "ok lineRecordedOn"}, {"code", ""}},
       ""},
      {"not found",
       "url: http://example.jp/check.html\nhttp-status: 404\nbytes: 9\nseconds: 0.2\ncurl-exit: 0\nerror: \n",
       {{"image", "syserr"}, {"text", "syserr lineRecordedOn"}, {"code", "07029"}},
       "lineHttpStatus"},
      {"no name",
       "url: http://example.jp/check.html\nhttp-status: 000\nbytes: 0\nseconds: 0\ncurl-exit: 6\n"
       "error: curl: (6) Could not resolve host\n",
       {{"image", "syserr"}, {"text", "syserr lineRecordedOn"}, {"code", "07029"}},
       "lineNameNotFound"},
      {"none", "", {{"image", "before"}, {"text", "lineNotRecorded"}, {"code", ""}}, "lineNotRecorded"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(root.path() + "/corvane-capture/line");
    if (!c.recording.empty()) root.write("corvane-capture/line/result", c.recording);
    startOnCapture();
    press(Button::LineCheck);
    EXPECT_EQ(row(Row::Line), c.line);
    const RowCause cause = rowCause(Row::Line, view->rows().at(Row::Line), *corvane);
    EXPECT_EQ(cause.id, c.cause);
    if (!c.recording.empty() && !c.cause.empty()) {
      EXPECT_NE(cause.sentence.find("Recorded on the customer's Mac (Taro's iMac, 2026-12-10T16:05:00Z)"),
                std::string::npos)
          << cause.sentence;
    }
    EXPECT_EQ(events("arm").back()["enabled"], true);
  }
  EXPECT_TRUE(downloader.requests.empty()) << "the line of the machine reading the capture was checked";
}

}  // namespace
}  // namespace corvane::testing

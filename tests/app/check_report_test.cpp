// The check report: each fault's cause told apart, rows never reached,
// named offer rows and no "not found" placeholder.

#include "app/check_report.h"

#include <filesystem>

#include "app_fixture.h"
#include "support/loopback_server.h"

namespace corvane::testing {
namespace {

class CheckReport : public AppTest {
 protected:
  Json report() const {
    ReportSource source{"corvane-cli", "1.2.3", "/", "/bundle", "en", 0};
    return checkReport(source, view->title(), view->rows(), view->offers(), *corvane, *platform, strings);
  }
  Json reportRow(Row r) const { return report()["rows"][std::string(rowName(r))]; }
};

TEST_F(CheckReport, LineFailuresAreToldApartWithTheAddressTried) {
  HttpTestServer server;
  server.server.Get("/missing", [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
  // A page that never ends.
  server.server.Get("/endless", [](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("text/html", [](size_t, httplib::DataSink& sink) {
      static const std::string piece(65536, 'x');
      return sink.write(piece.data(), piece.size());
    });
  });
  SilentServer silent;
  struct Case {
    std::string url, cause, says;
  } cases[] = {
      {server.url("/endless"), "lineTooLarge", "16 MB"},
      {server.url("/missing"), "lineHttpStatus", "HTTP status 404"},
      {refusingUrl("/check.html"), "lineRefused", "refused"},
      {silent.url("/check.html"), "lineTimedOut", "time limit"},
      {"http://no-such-host.invalid/check.html", "lineNameNotFound", "not found"},
      // A secure connection to a server that speaks plain HTTP.
      {"https" + server.url("/missing").substr(4), "lineTls", "TLS"},
  };
  auto realDownloader = makeHttpDownloader();
  TempFolder root, temporary;
  writeSystem(root, "10.4.11");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    prvs.testurl = c.url;
    auto real = makePlatform(root.path(), temporary.path());
    platform = real.get();
    view = std::make_unique<RecordingView>(*platform, RepairAnswer::No);
    corvane = std::make_unique<Corvane>(
        CorvaneServices{*view, queue, *platform, readers, *realDownloader, strings, Bundle(root.path()),
                        CorvaneTimings{.pauseSeconds = 0, .requestTimeout = 2, .lineTimeout = 3}},
        prvs);
    corvane->awakeFromNib();
    press(Button::LineCheck);
    Json line = reportRow(Row::Line);
    EXPECT_EQ(line["code"], "07029");
    EXPECT_EQ(line["status"], "syserr");
    EXPECT_EQ(line["cause"], c.cause);
    EXPECT_NE(line["message"].get<std::string>().find(c.says), std::string::npos) << line["message"];
    EXPECT_NE(line["message"].get<std::string>().find(c.url), std::string::npos) << line["message"];
    EXPECT_EQ(line["facts"]["address"], c.url);
    EXPECT_TRUE(std::filesystem::is_empty(temporary.path())) << "the download's folder is gone";
  }
}

TEST_F(CheckReport, TheLineChecksOwnTimerIsATimeOut) {
  downloader.answer.reset();  // the download never reports
  start();
  press(Button::LineCheck);
  Json line = reportRow(Row::Line);
  EXPECT_EQ(line["cause"], "lineTimedOut");
  EXPECT_EQ(line["facts"]["failure"], "timedOut");
}

TEST_F(CheckReport, TcpipFaultsAreToldApart) {
  struct Case {
    std::string ip, method, server, code, cause;
  } cases[] = {
      {"192.168.1.5", "DHCP", "192.168.1.1", "", ""},
      {"----------", "DHCP", "192.168.1.1", "04024", "noAddress"},
      {"192.168.1.5", "DHCP", "----------", "04024", "noDnsServer"},
      {"192.168.1.5", "DHCP", "10.0.0.53", "04024", "dnsServerNotRouter"},
      {"192.168.1.5", "Manual", "192.168.1.1", "04017", "methodDiffers"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cause);
    readers.tcpip = Value(Value::Array{tcpipRecord(c.ip, c.method, c.server)});
    start();
    press(Button::Start);
    Json row = reportRow(Row::Tcpip);
    EXPECT_EQ(row["code"], c.code);
    EXPECT_EQ(row["cause"], c.cause.empty() ? Json(nullptr) : Json(c.cause));
    EXPECT_EQ(row["message"].is_string(), !c.cause.empty());
    // The facts behind the verdict, the placeholder as null.
    EXPECT_EQ(row["facts"]["address"], c.ip == "----------" ? Json(nullptr) : Json(c.ip));
    EXPECT_EQ(row["facts"]["dnsServerInUse"], c.server == "----------" ? Json(nullptr) : Json(c.server));
    EXPECT_EQ(row["facts"]["prescribedDnsServer"], "192.168.1.1");
    EXPECT_EQ(row["facts"]["broadcast"], "192.168.1.255");
  }
}

TEST_F(CheckReport, RowsTheSequenceNeverReachedAreNotRun) {
  start();
  press(Button::LineCheck);  // the line check alone
  Json report = this->report();
  for (Row r : {Row::System, Row::Hardware, Row::Network, Row::Tcpip, Row::Browser, Row::Mail}) {
    SCOPED_TRACE(rowName(r));
    EXPECT_EQ(report["rows"][std::string(rowName(r))]["status"], "notRun");
    EXPECT_TRUE(report["rows"][std::string(rowName(r))]["facts"].is_null());
  }
  EXPECT_EQ(report["rows"]["line"]["status"], "ok");
  EXPECT_EQ(report["formatVersion"], kReportFormatVersion);
  EXPECT_EQ(report["time"], "1970-01-01T00:00:00Z");
  EXPECT_EQ(report["version"], "1.2.3");
}

TEST_F(CheckReport, OffersHaveNamedCurrentAndRecommendedSettings) {
  readers.network =
      portList("Home", {{"Home",
                         {portEntry("Built-in Ethernet", "00:0a:95:01:02:03",
                                    proxyList({"proxy.isp.jp:8080", "", "", "", "", "", ""}, {"*.local", "10/8"}))}}});
  start();
  press(Button::Start);
  Json report = this->report();
  ASSERT_EQ(report["offers"].size(), 1u);
  const Json& offer = report["offers"][0];
  EXPECT_EQ(offer["row"], "network");
  EXPECT_EQ(offer["code"], "03017");
  EXPECT_EQ(offer["accepted"], false);
  EXPECT_EQ(offer["current"],
            Json::parse(R"([{"name":"proxy","value":"exist"},{"name":"HTTP","value":"proxy.isp.jp:8080"},
    {"name":"exception","value":"*.local"},{"name":"","value":"10/8"}])"));
  EXPECT_EQ(offer["recommended"], Json::parse(R"([{"name":"proxy","value":"no"}])"));
  EXPECT_EQ(report["rows"]["network"]["cause"], "proxiesDiffer");
  EXPECT_EQ(report["rows"]["network"]["facts"]["proxies"]["http"], "proxy.isp.jp:8080");
  EXPECT_EQ(report["rows"]["network"]["facts"]["proxies"]["exceptions"], Json::parse(R"(["*.local","10/8"])"));
}

TEST_F(CheckReport, PlaceholdersBecomeNullOrTheNotFoundText) {
  Json json = Json::parse(R"({"a":"----------","b":["x ---------- y"],"c":{"d":"kept"}})");
  replacePlaceholders(json, "not found");
  EXPECT_EQ(json, Json::parse(R"({"a":null,"b":["x not found y"],"c":{"d":"kept"}})"));
}

TEST_F(CheckReport, HtmlReportEscapesTheSystemsTexts) {
  readers.network = portList("Home", {{"Home", {portEntry("<script>alert(1)</script>", "", noProxies())}}});
  start();
  press(Button::Start);
  std::string html = reportHtml(report(), strings);
  EXPECT_EQ(html.find("<script>"), std::string::npos);
  EXPECT_NE(html.find("&lt;script&gt;"), std::string::npos);
}

}  // namespace
}  // namespace corvane::testing

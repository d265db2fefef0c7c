#include "app_fixture.h"

namespace corvane::testing {

CannedReaders::~CannedReaders() = default;
FakeDownloader::~FakeDownloader() = default;

AppTest::AppTest() = default;
AppTest::~AppTest() = default;

void AppTest::SetUp() {
  writeSystem(system, "10.4.11");
  prvs.title = "Test Provider";
  prvs.routerip = "192.168.1.1";
  prvs.tcp = "DHCP";
  prvs.testurl = "http://127.0.0.1:9/check.html";
  readers.network = portList("Home", {{"Home", {portEntry("Built-in Ethernet", "00:0a:95:01:02:03", noProxies())}}});
  readers.tcpip = Value(Value::Array{tcpipRecord("192.168.1.5", "DHCP", "192.168.1.1")});
}

Corvane& AppTest::start(RepairAnswer answer) {
  platform = &system;
  view = std::make_unique<RecordingView>(*platform, answer);
  corvane = std::make_unique<Corvane>(
      CorvaneServices{*view, queue, *platform, readers, downloader, strings, Bundle(std::string(MemoryPlatform::kRoot)),
                      CorvaneTimings{.pauseSeconds = 0, .requestTimeout = 0.5, .lineTimeout = 0.2}},
      prvs);
  corvane->awakeFromNib();
  corvane->applicationDidFinishLaunching();
  return *corvane;
}

void AppTest::press(Button button) {
  corvane->OnButton(button);
  queue.runUntil([&] { return !corvane->lineCheckRunning(); });
}

std::unique_ptr<Platform> AppTest::makePlatform(const std::string& systemRoot, const std::string& temporaryFolder) {
  return std::make_unique<TestPlatform>(
      PlatformOptions{.root = systemRoot, .home = "/Users/user", .pauses = false, .syslog = false}, temporaryFolder);
}

Json AppTest::row(Row r) const { return view->rowsJson()[std::string(rowName(r))]; }

std::vector<Json> AppTest::events(const std::string& kind) const {
  std::vector<Json> found;
  for (const auto& e : view->events())
    if (e["event"] == kind) found.push_back(e);
  return found;
}

std::vector<std::string> AppTest::rowImages(Row r) const {
  std::vector<std::string> images;
  for (const auto& e : events("row"))
    if (e["row"] == rowName(r)) images.push_back(e["image"]);
  return images;
}

}  // namespace corvane::testing

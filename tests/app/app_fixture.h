#pragma once
// A controller wired to canned reader results, the command line's recording
// view, a fake download and a real event queue, on a system in memory.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/corvane.h"
#include "app/event_queue.h"
#include "app/recording_view.h"
#include "support/memory_platform.h"
#include "support/temp_folder.h"
#include "support/test_platforms.h"

namespace corvane::testing {

using Json = nlohmann::ordered_json;

// Reader results set by the test; after an applied repair the "repaired"
// results replace the current ones, as a fixed system would read.
class CannedReaders : public CheckReaders {
 public:
  ~CannedReaders() override;  // in app_fixture.cpp, with the class's virtual functions
  std::string os = "MacOSX 10.4.11";
  std::string hdd = "10.00 GB / 80.00 GB";
  Value profile;
  Value network;
  Value tcpip;
  Value browser = Value::strings({"0", "0", "0", "0"});
  Value mail = Value(Value::Array{"0", "0", "", Value(Value::Array{})});
  std::vector<std::string> volumes = {"/"};
  bool repairApplies = true;
  std::optional<Value> repairedNetwork;
  std::optional<Value> repairedTcpip;
  int repairs = 0;
  int networkReads = 0;
  int tcpipReads = 0;

  std::string getOS() override { return os; }
  std::string getHDD() override { return hdd; }
  Value getSystemProfile(std::string_view) override { return profile; }
  Value getNetwork() override {
    ++networkReads;
    return network;
  }
  // Runs while the TCP/IP check reads, as a window's events would.
  std::function<void()> whileTcpipIsRead;

  Value getTCPIP() override {
    ++tcpipReads;
    if (whileTcpipIsRead) whileTcpipIsRead();
    return tcpip;
  }
  Value getBrowser() override { return browser; }
  Value getMail() override { return mail; }
  std::vector<std::string> mountedLocalVolumePaths() override { return volumes; }
  RepairPlan planRepair(const ProviderDatas&) override { return plan; }
  RepairPlan plan;
  bool OnRepair(ProviderDatas&) override {
    ++repairs;
    if (!repairApplies) return false;
    if (repairedNetwork) network = *repairedNetwork;
    if (repairedTcpip) tcpip = *repairedTcpip;
    return true;
  }
};

// A download that ends when the test says so.
class FakeDownloader : public HttpDownloader {
 public:
  ~FakeDownloader() override;  // in app_fixture.cpp, with the class's virtual functions
  struct Job : DownloadJob {
    void cancel() override { *cancelled = true; }
    std::shared_ptr<bool> cancelled = std::make_shared<bool>(false);
  };
  std::vector<DownloadRequest> requests;
  std::vector<Completion> completions;
  std::vector<std::shared_ptr<bool>> cancelled;
  // Answer at once with this result (on the calling thread), or wait for finish().
  std::optional<bool> answer = true;

  std::unique_ptr<DownloadJob> start(const DownloadRequest& request, Completion done) override {
    requests.push_back(request);
    auto job = std::make_unique<Job>();
    cancelled.push_back(job->cancelled);
    completions.push_back(done);
    if (answer) done(DownloadResult{*answer, "", *answer ? 200 : 0, *answer ? "" : "refused"});
    return job;
  }
};

// A system at an OS version, with or without the web engine.
inline std::string systemVersionPlist(const std::string& version) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
         "<key>ProductVersion</key><string>" +
         version + "</string></dict></plist>\n";
}
inline constexpr std::string_view kWebKitPath = "/System/Library/Frameworks/WebKit.framework";

inline void writeSystem(MemoryPlatform& system, const std::string& version, bool webKit = true) {
  system.put("/System/Library/CoreServices/SystemVersion.plist", systemVersionPlist(version));
  if (webKit) system.put(std::string(kWebKitPath) + "/Versions/A/WebKit", "");
}
inline void writeSystem(const TempFolder& root, const std::string& version, bool webKit = true) {
  root.write("System/Library/CoreServices/SystemVersion.plist", systemVersionPlist(version));
  if (webKit) root.write(std::string(kWebKitPath.substr(1)) + "/Versions/A/WebKit", "");
}

// A proxy list: seven protocol texts, then on 10.3.2 and later the
// automatic-configuration address, the exceptions and "OK" when some proxy
// is set.
inline Value proxyList(std::vector<std::string> protocols, std::vector<std::string> exceptions = {},
                       std::optional<std::string> autoConfig = std::string(), bool someSet = true) {
  Value list(Value::Array{});
  for (auto& p : protocols) list.append(Value(p));
  if (autoConfig) list.append(Value(*autoConfig));
  list.append(Value::strings(exceptions));
  if (someSet) list.append(Value("OK"));
  return list;
}

inline Value noProxies(bool newer = true) {
  Value list = Value::strings({"", "", "", "", "", "", ""});
  if (newer) list.append(Value(""));
  list.append(Value(Value::Array{}));
  return list;
}

// [current, [location, [[port, mac, proxies]...]]]
inline Value portList(const std::string& current, std::vector<std::pair<std::string, std::vector<Value>>> locations) {
  Value list(Value::Array{Value(current)});
  for (auto& [name, ports] : locations) list.append(Value(Value::Array{Value(name), Value(Value::Array(ports))}));
  return list;
}

// The Ethernet address the tests' ports have.
inline constexpr const char* kMac = "00:0a:95:01:02:03";

inline Value portEntry(const std::string& name, const std::string& mac, Value proxies) {
  return Value(Value::Array{Value(name), Value(mac), std::move(proxies)});
}

// One TCP/IP record on en0.
inline Value tcpipRecord(const std::string& ip, const std::string& method, const std::string& server,
                         std::vector<std::string> ipv6 = {}, const std::string& v6method = "Automatic") {
  Value address = Value::strings({"en0", ip, "255.255.255.0", "192.168.1.255"});
  for (auto& a : ipv6) address.append(Value(a));
  return Value(Value::Array{address, Value(method), Value(server), Value::strings({server}),
                            Value::strings({"example.jp"}), Value(v6method)});
}

// The fixture's members and functions are compiled once, in
// app_fixture.cpp, rather than in every test file.
class AppTest : public ::testing::Test {
 protected:
  AppTest();
  ~AppTest() override;
  // A system of 10.4.11 with the web engine; a provider prescribing DHCP and
  // its router as the name server; readers answering with one Ethernet port
  // without proxies and its DHCP address.
  void SetUp() override;

  // Makes the view and the controller on the system in memory (after the
  // test has set the system, the provider and the answers).
  Corvane& start(RepairAnswer answer = RepairAnswer::No);

  // Presses a button and lets the line check end.
  void press(Button button);

  // A platform on real files (captured systems, real downloads), with its
  // own temporary folder; the test keeps both.
  static std::unique_ptr<Platform> makePlatform(const std::string& systemRoot, const std::string& temporaryFolder);

  Json row(Row r) const;
  // The events of one kind, in order.
  std::vector<Json> events(const std::string& kind) const;
  // The row images a row showed, in order.
  std::vector<std::string> rowImages(Row r) const;

  MemoryPlatform system;
  ProviderDatas prvs;
  LocalizedStrings strings;  // "C": every key shows as itself
  CannedReaders readers;
  FakeDownloader downloader;
  EventQueue queue;
  Platform* platform = nullptr;  // the system in memory, or a test's real platform
  std::unique_ptr<RecordingView> view;
  std::unique_ptr<Corvane> corvane;
};

}  // namespace corvane::testing

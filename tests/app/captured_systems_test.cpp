// The sequence with the real readers on captured systems in memory.

#include "app/system_readers.h"
#include "app_fixture.h"
#include "core/plist_io.h"
#include "core/text.h"
#include "support/memory_copied_system.h"

namespace corvane::testing {
namespace {

class CapturedSystem : public AppTest {
 protected:
  // Runs the start button's sequence on testdata/sysroots/<name>, with
  // repair offers answered as told.
  // beforeStart may change the system and the view before the sequence runs.
  void run(const std::string& name, RepairAnswer answer = RepairAnswer::No,
           const std::function<void()>& beforeStart = {}) {
    captured = std::make_unique<MemoryCopiedSystem>(name);
    platform = captured.get();
    systemReaders = makeSystemReaders(*platform);
    view = std::make_unique<RecordingView>(*platform, answer);
    corvane = std::make_unique<Corvane>(
        CorvaneServices{*view, queue, *platform, *systemReaders, downloader, strings,
                        Bundle(std::string(MemoryPlatform::kRoot) + "/Corvane.app"),
                        CorvaneTimings{.pauseSeconds = 0, .requestTimeout = 0.5, .lineTimeout = 0.2}},
        prvs);
    corvane->awakeFromNib();
    if (beforeStart) beforeStart();
    press(Button::Start);
  }
  std::vector<Json> detailEvents() const {
    std::vector<Json> found;
    for (const auto& e : view->events())
      if (e["event"] == "offer" || e["event"] == "panel" || e["event"] == "repair") found.push_back(e);
    return found;
  }
  std::unique_ptr<MemoryCopiedSystem> captured;
  std::unique_ptr<CheckReaders> systemReaders;
};

TEST_F(CapturedSystem, AutomaticProxyConfigurationOn1039IsAFault) {
  prvs.routerip = "192.0.2.1";
  run("net-10.3.9");
  EXPECT_EQ(row(Row::Network), (Json{{"image", "err"},
                                     {"text", "port : Built-in Ethernet\nmac : 00:0a:95:8a:4c:10   proxy : exist"},
                                     {"code", "03017"}}));
  EXPECT_EQ(detailEvents(), Json::parse(R"([{"event":"offer","message":"networkProxyErrMsg","code":"03017",
    "pairs":[["proxy","exist"],["  auto","http://wpad.example.net/proxy.pac"],["exception","*.local"],
             ["","169.254/16"],["",""],["recommended",""],["proxy","no"]],
    "plan":{"location":"Quorvalin","turnedOff":["AirPort","Internal Modem"]},"answer":0}])"));
  EXPECT_EQ(row(Row::Tcpip)["image"], "ok");
}

TEST_F(CapturedSystem, PppMethodOn10411IsOfferedForRepair) {
  run("net-10.4.11");
  EXPECT_EQ(row(Row::Network),
            (Json{{"image", "ok"}, {"text", "port : PPPoE\nmac : 00:11:24:7a:3b:01   proxy : no"}, {"code", ""}}));
  EXPECT_EQ(row(Row::Tcpip),
            (Json{{"image", "err"},
                  {"text", "ipaddress : 203.0.113.45   PPP\ndns : 198.51.100.53\nipv6address : ----------   Automatic"},
                  {"code", "04017"}}));
  EXPECT_EQ(detailEvents(), Json::parse(R"([{"event":"offer","message":"DHCPErrMsg","code":"04017",
    "pairs":[["setNetwork","PPP"],["",""],["recommended",""],["setNetwork","DHCP"]],
    "plan":{"location":"Quorvalin","turnedOff":["PPPoE","AirPort"]},"answer":0}])"));
}

TEST_F(CapturedSystem, ProxiesEqualToTheProvidersAreOk) {
  struct Case {
    std::string system, http, secure, router;
  } cases[] = {
      {"net-10.6.8", "proxy.example.net:8080", "", "192.0.2.1"},
      {"net-10.12.6", "proxy.office.example.com:3128", "proxy.office.example.com:3128", "198.51.100.53"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.system);
    prvs.p_enable = true;
    prvs.p_http = c.http;
    prvs.p_secure = c.secure;
    prvs.routerip = c.router;
    run(c.system);
    EXPECT_EQ(row(Row::Network)["image"], "ok");
    EXPECT_EQ(row(Row::Tcpip)["image"], "ok");
    EXPECT_TRUE(detailEvents().empty());
  }
}

TEST_F(CapturedSystem, AnotherDnsServerGives04024AndTheTcpipPanel) {
  prvs.routerip = "192.168.1.1";
  run("net-10.2.8");
  EXPECT_EQ(row(Row::Tcpip)["image"], "syserr");
  EXPECT_EQ(row(Row::Tcpip)["code"], "04024");
  EXPECT_EQ(detailEvents(), Json::parse(R"([{"event":"panel","panel":"tcpip"}])"));
}

TEST_F(CapturedSystem, AServerLineEndingInABlankNamesTheServerInUse) {
  prvs.routerip = "10.0.1.1";
  run("net-10.2.8-dangling-service");
  EXPECT_EQ(row(Row::Tcpip)["image"], "ok");
  const std::string text = row(Row::Tcpip)["text"];
  EXPECT_NE(text.find("\ndns : 10.0.1.1\n"), std::string::npos) << text;
  EXPECT_TRUE(detailEvents().empty());
}

}  // namespace
}  // namespace corvane::testing

namespace corvane::testing {
namespace {

TEST_F(CapturedSystem, BrowserAndMailRowsOfInventorySystems) {
  struct Case {
    std::string system, browser, mail;
  } cases[] = {
      {"inv-10.2", "Internet Explorer 5.2.2", "Mail 1.0\naccountCount : 2"},
      {"inv-10.4", "Internet Explorer 5.2.3 / Safari 3.0.4\nNetscape 7.2 / Firefox 2.0.0.20",
       "Mail 2.1.3\naccountCount : 3"},
      {"inv-10.4-app-folders", "Internet Explorer 5.2.3 / Safari 3.0.4\nNetscape 7.2 / Firefox 2.0.0.20",
       "Mail 2.1.3\naccountCount : 3"},
      {"inv-10.6", "Safari 5.1.10", "Mail 4.6\naccount : Example Net"},
      {"inv-10.11", "Safari 11.1.2 / Firefox 60.9.0", "Mail 9.3\naccount : Not migrated"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.system);
    run(c.system);
    EXPECT_EQ(row(Row::Browser), (Json{{"image", "ok"}, {"text", c.browser}, {"code", ""}}));
    EXPECT_EQ(row(Row::Mail), (Json{{"image", "ok"}, {"text", c.mail}, {"code", ""}}));
    EXPECT_EQ(row(Row::Hardware)["image"], "ok");
    EXPECT_EQ(row(Row::System)["text"].get<std::string>().rfind("MacOSX 10.", 0), 0u);
  }
}

// The demo system: its Ethernet port uses a proxy the provider does not
// prescribe. The repair runs on the system in memory.
class DemoSystem : public CapturedSystem {
 protected:
  void SetUp() override {
    CapturedSystem::SetUp();
    prvs.title = "Demo";
    prvs.routerip = "192.168.1.1";
    prvs.tcp = "DHCP";
    prvs.p_enable = false;
  }
  std::string store() const { return captured->read("/Library/Preferences/SystemConfiguration/preferences.plist"); }
};

TEST_F(DemoSystem, AcceptedRepairFixesTheNetworkAndTheSequenceGoesOn) {
  run("demo", RepairAnswer::Yes);
  std::vector<Json> offers = events("offer");
  ASSERT_EQ(offers.size(), 1u);
  EXPECT_EQ(offers[0]["message"], "networkProxyErrMsg");
  EXPECT_EQ(offers[0]["code"], "03017");
  EXPECT_EQ(offers[0]["answer"], 1);
  EXPECT_EQ(events("repair"), std::vector<Json>{Json::parse(R"({"event":"repair","tag":7,"ok":true})")});
  EXPECT_EQ(rowImages(Row::Network), (std::vector<std::string>{"check", "err", "check", "ok"}));
  for (Row r : kAllRows) EXPECT_EQ(row(r)["image"], "ok") << rowName(r);
  EXPECT_FALSE(view->anyFault());
  EXPECT_TRUE(events("panel").empty());
}

TEST_F(DemoSystem, RefusedRepairLeavesTheStoreAlone) {
  const std::string before =
      MemoryCopiedSystem("demo").read("/Library/Preferences/SystemConfiguration/preferences.plist");
  run("demo", RepairAnswer::No);
  EXPECT_EQ(store(), before);
  EXPECT_TRUE(events("repair").empty());
  EXPECT_EQ(row(Row::Network), (Json{{"image", "err"},
                                     {"text", "port : Ethernet\nmac : 00:1f:5b:3c:9a:01   proxy : exist"},
                                     {"code", "03017"}}));
}

// The demo system as a customer's capture: an accepted offer makes a fix kit
// in the folder the view chooses; the capture itself is never repaired.
class DemoCapture : public DemoSystem {
 protected:
  static constexpr const char* kKit = "/memory/kits/kit";
  void runCapture(const std::string& kitFolder, const std::function<void()>& spoil = {}) {
    run("demo", RepairAnswer::Yes, [&] {
      captured->put("/corvane-capture/manifest.txt",
                    "capture-time: 2026-12-10T04:45:15Z\nhost: customer-mac\nscript-version: 2\n"
                    "store: /Library/Preferences/SystemConfiguration/preferences.plist 1234567890 4096\n");
      before = store();
      view->setKitFolder(kitFolder);
      if (spoil) spoil();
    });
  }
  // The alerts about the kit.
  std::vector<std::string> alerts() const {
    std::vector<std::string> keys;
    for (const auto& e : events("alert"))
      if (e["message"].get<std::string>().starts_with("fixKit")) keys.push_back(e["message"]);
    return keys;
  }
  // Tool runs that would change the captured system.
  std::vector<std::string> installSteps() const {
    std::vector<std::string> steps;
    for (const auto& line : captured->toolLog())
      for (const char* tool : {"mv ", "chown ", "scselect ", "kill ", "ipconfigd "})
        if (line.starts_with(tool)) steps.push_back(line);
    return steps;
  }
  std::string before;
};

TEST_F(DemoCapture, AnAcceptedOfferWritesAKitWhereTheViewSaysAndRepairsNothing) {
  runCapture(kKit);
  const std::vector<Json> offers = events("offer");
  ASSERT_EQ(offers.size(), 1u);
  EXPECT_EQ(offers[0]["fixKit"], true);
  EXPECT_EQ(offers[0]["answer"], 1);
  EXPECT_EQ(events("kitFolder"),
            std::vector<Json>{Json::parse(R"({"event":"kitFolder","folder":"/memory/kits/kit"})")});
  for (const char* file : {"/apply.sh", "/undo.sh", "/README.txt"})
    EXPECT_TRUE(captured->readHostFile(kKit + std::string(file))) << file;
  // The kit holds the repaired store, as the repair's builder makes it.
  const auto kitStore = captured->readHostFile(kKit + std::string("/store/preferences.plist"));
  ASSERT_TRUE(kitStore);
  const Value repaired = parsePropertyList(*kitStore);
  EXPECT_EQ(repaired["Sets"][lastPathComponent(repaired["CurrentSet"].text())]["UserDefinedName"].text(), "Quorvalin");
  EXPECT_EQ(alerts(), std::vector<std::string>{"fixKitWritten"});

  // Nothing was installed; the rows stand as the check left them.
  EXPECT_EQ(store(), before);
  EXPECT_EQ(installSteps(), std::vector<std::string>{});
  EXPECT_TRUE(events("repair").empty());
  EXPECT_EQ(rowImages(Row::Network), (std::vector<std::string>{"check", "err"}));
}

TEST_F(DemoCapture, ADeclinedFolderOrAnUnwritableOneWritesNoKit) {
  struct Case {
    std::string what, folder;
    bool unwritable;
    std::vector<std::string> alerts;
  } cases[] = {
      {"declined", "", false, {}},
      {"unwritable", kKit, true, {"fixKitNotWritten"}},
  };
  for (const auto& c : cases) {
    runCapture(c.folder, [&] {
      if (c.unwritable) captured->refuseWritesUnder("/memory/kits", "Permission denied");
    });
    EXPECT_EQ(events("kitFolder").size(), 1u) << c.what;
    EXPECT_TRUE(captured->hostPathsUnder("/memory/kits").empty()) << c.what;
    EXPECT_EQ(alerts(), c.alerts) << c.what;
    EXPECT_EQ(store(), before) << c.what;
    EXPECT_EQ(installSteps(), std::vector<std::string>{}) << c.what;
  }
}

}  // namespace
}  // namespace corvane::testing

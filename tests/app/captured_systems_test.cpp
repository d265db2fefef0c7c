// The sequence with the real readers on captured systems.

#include "app/system_readers.h"
#include "app_fixture.h"

namespace corvane::testing {
namespace {

class CapturedSystem : public AppTest {
 protected:
  // Runs the start button's sequence on testdata/sysroots/<name>.
  void run(const std::string& name) {
    platform = std::make_unique<Platform>(PlatformOptions{.root = std::string(CORVANE_TESTDATA) + "/sysroots/" + name,
                                                          .home = "/Users/user", .pauses = false, .syslog = false});
    systemReaders = makeSystemReaders(*platform);
    view = std::make_unique<cli::CheckView>(*platform, strings, cli::CheckViewOptions{.repair = cli::RepairAnswer::No});
    corvane = std::make_unique<Corvane>(
        CorvaneServices{*view, queue, *platform, *systemReaders, downloader, strings, Bundle(root.path()),
                        CorvaneTimings{.pauseSeconds = 0, .requestTimeout = 0.5, .lineTimeout = 0.2}},
        prvs);
    corvane->awakeFromNib();
    press(1);
  }
  std::vector<Json> detailEvents() const {
    std::vector<Json> found;
    for (const auto& e : view->events())
      if (e["event"] == "offer" || e["event"] == "panel" || e["event"] == "repair") found.push_back(e);
    return found;
  }
  std::unique_ptr<CheckReaders> systemReaders;
};

TEST_F(CapturedSystem, AutomaticProxyConfigurationOn1039IsAFault) {
  prvs.routerip = "192.0.2.1";
  run("net-10.3.9");
  EXPECT_EQ(row(Row::Network), (Json{{"image", "err"},
                                     {"text", "port : Built-in Ethernet\nmac : 00:0a:95:8a:4c:10   proxy : exist"},
                                     {"code", "03017"}}));
  EXPECT_EQ(detailEvents(), Json::parse(R"([{"event":"offer","message":"networkProxyErrMsg","code":"03017",
    "pairs":[["proxy","exist"],["  Auto","http://wpad.example.net/proxy.pac"],["exception","*.local"],
             ["","169.254/16"],["",""],["recommended",""],["proxy","no"]],"answer":0}])"));
  EXPECT_EQ(row(Row::Tcpip)["image"], "ok");
}

TEST_F(CapturedSystem, PppMethodOn10411IsOfferedForRepair) {
  run("net-10.4.11");
  EXPECT_EQ(row(Row::Network), (Json{{"image", "ok"},
                                     {"text", "port : PPPoE\nmac : 00:11:24:7a:3b:01   proxy : no"},
                                     {"code", ""}}));
  EXPECT_EQ(row(Row::Tcpip),
            (Json{{"image", "err"},
                  {"text", "ipaddress : 203.0.113.45   PPP\ndns : 198.51.100.53\nipv6address : ----------   Automatic"},
                  {"code", "04017"}}));
  EXPECT_EQ(detailEvents(), Json::parse(R"([{"event":"offer","message":"DHCPErrMsg","code":"04017",
    "pairs":[["setNetwork","PPP"],["",""],["recommended",""],["setNetwork","DHCP"]],"answer":0}])"));
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

}  // namespace
}  // namespace corvane::testing

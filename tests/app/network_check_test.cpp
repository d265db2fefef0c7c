// The network row: first port of the current location, hardware address and
// proxies against the provider's.

#include "app_fixture.h"

namespace corvane::testing {
namespace {

struct NetworkCase {
  const char* name;
  std::string version;
  bool pEnable;
  std::string pHttp;
  Value port;  // the port entry
  std::string image;
  std::string text;
  std::string code;   // set by the detail action
  std::string offer;  // message key, "" for none
};

class NetworkCheck : public AppTest, public ::testing::WithParamInterface<int> {};

std::vector<NetworkCase> networkCases() {
  std::vector<std::string> httpOnly = {"proxy.example.jp:8080", "", "", "", "", "", ""};
  std::vector<std::string> otherPort = {"proxy.example.jp:3128", "", "", "", "", "", ""};
  std::vector<std::string> rtsp = {"", "", "", "", "", "rtsp.example.jp:554", ""};
  std::vector<std::string> mailProxy = {"", "", "", "", "", "", "mail.example.jp:25"};
  std::vector<std::string> none = {"", "", "", "", "", "", ""};
  return {
      {"no proxies anywhere", "10.4.11", false, "", portEntry("Ethernet", kMac, noProxies()), "ok",
       "port : Ethernet\nmac : 00:0a:95:01:02:03   proxy : no", "", ""},
      {"provider http equals port http", "10.4.11", true, "proxy.example.jp:8080",
       portEntry("Ethernet", kMac, proxyList(httpOnly)), "ok",
       "port : Ethernet\nmac : 00:0a:95:01:02:03   proxy : exist", "", ""},
      {"same host, other port number", "10.4.11", true, "proxy.example.jp:8080",
       portEntry("Ethernet", kMac, proxyList(otherPort)), "err",
       "port : Ethernet\nmac : 00:0a:95:01:02:03   proxy : exist", "03017", "networkProxyErrMsg"},
      {"port has a proxy the provider does not want", "10.4.11", false, "",
       portEntry("Ethernet", kMac, proxyList(httpOnly)), "err",
       "port : Ethernet\nmac : 00:0a:95:01:02:03   proxy : exist", "03017", "networkProxyErrMsg"},
      {"RTSP proxy set", "10.4.11", true, "", portEntry("Ethernet", kMac, proxyList(rtsp)), "err",
       "port : Ethernet\nmac : 00:0a:95:01:02:03   proxy : exist", "03017", "networkProxyErrMsg"},
      {"mail proxy set", "10.4.11", false, "", portEntry("Ethernet", kMac, proxyList(mailProxy)), "err",
       "port : Ethernet\nmac : 00:0a:95:01:02:03   proxy : exist", "03017", "networkProxyErrMsg"},
      {"automatic proxy configuration on 10.3.2", "10.3.2", false, "",
       portEntry("Ethernet", kMac, proxyList(none, {}, std::string("http://wpad/proxy.pac"))), "err",
       "port : Ethernet\nmac : 00:0a:95:01:02:03   proxy : exist", "03017", "networkProxyErrMsg"},
      {"before 10.3.2 the eighth item is not consulted", "10.3.1", false, "",
       portEntry("Ethernet", kMac, proxyList(none, {}, std::nullopt)), "ok",
       "port : Ethernet\nmac : 00:0a:95:01:02:03   proxy : exist", "", ""},
      {"no hardware address, proxies agree", "10.4.11", false, "", Value(Value::Array{Value("PPP"), noProxies()}),
       "err", "port : PPP\nproxy : no", "03024", "networkErrMsg"},
      {"empty hardware address", "10.4.11", false, "", portEntry("Ethernet", "", noProxies()), "err",
       "port : Ethernet\nmac :    proxy : no", "03024", "networkErrMsg"},
      {"short proxy list of a port without proxy settings", "10.4.11", false, "",
       portEntry("Ethernet", kMac, Value(Value::Array{})), "ok",
       "port : Ethernet\nmac : 00:0a:95:01:02:03   proxy : no", "", ""},
  };
}

TEST_P(NetworkCheck, VerdictCodeAndOffer) {
  const NetworkCase c = networkCases()[static_cast<size_t>(GetParam())];
  SCOPED_TRACE(c.name);
  writeSystem(system, c.version);
  prvs.p_enable = c.pEnable;
  prvs.p_http = c.pHttp;
  readers.network = portList("Home", {{"Home", {c.port}}});
  start();
  press(Button::Start);

  EXPECT_EQ(row(Row::Network), (Json{{"image", c.image}, {"text", c.text}, {"code", c.code}}));
  auto offers = events("offer");
  if (c.offer.empty()) {
    EXPECT_TRUE(offers.empty());
    EXPECT_FALSE(corvane->IsNetworkErr());
  } else {
    ASSERT_EQ(offers.size(), 1u);
    EXPECT_EQ(offers[0]["message"], c.offer);
    EXPECT_EQ(offers[0]["code"], c.code);
    EXPECT_EQ(offers[0]["answer"], 0);
    EXPECT_TRUE(corvane->IsNetworkErr());
  }
  // The check offered from the middle of the sequence: no panel opened.
  EXPECT_TRUE(events("panel").empty());
  EXPECT_FALSE(corvane->flag());
}

INSTANTIATE_TEST_SUITE_P(Cases, NetworkCheck, ::testing::Range(0, static_cast<int>(networkCases().size())));

TEST_F(AppTest, OfferListsCurrentAgainstRecommendedProxies) {
  prvs.p_enable = true;
  prvs.p_http = "proxy.example.jp:8080";
  prvs.p_secure = "proxy.example.jp:8443";
  readers.network =
      portList("Home", {{"Home",
                         {portEntry("Ethernet", kMac,
                                    proxyList({"old.example.jp:80", "", "", "", "", "", "mail.example.jp:25"},
                                              {"*.local", "169.254/16"}, std::string("http://wpad/p.pac")))}}});
  start();
  press(Button::Start);
  auto offers = events("offer");
  ASSERT_EQ(offers.size(), 1u);
  EXPECT_EQ(offers[0]["pairs"], Json::parse(R"([
    ["proxy", "exist"], ["  HTTP", "old.example.jp:80"], ["  Mail", "mail.example.jp:25"],
    ["  auto", "http://wpad/p.pac"], ["exception", "*.local"], ["", "169.254/16"],
    ["", ""], ["recommended", ""],
    ["proxy", "exist"], ["  HTTP", "proxy.example.jp:8080"], ["  https", "proxy.example.jp:8443"]
  ])"));
}

TEST_F(AppTest, CurrentLocationFoundByNameElseLastEntry) {
  Value work = portEntry("AirPort", kMac, noProxies());
  Value home = portEntry("Ethernet", "", noProxies());
  readers.network = portList("Work", {{"Home", {home}}, {"Work", {work}}, {"Travel", {home}}});
  start();
  press(Button::Start);
  EXPECT_EQ(corvane->port(), "AirPort");

  readers.network = portList("Gone", {{"Home", {home}}, {"Travel", {work}}});
  press(Button::Start);
  EXPECT_EQ(corvane->port(), "AirPort");
}

// A port list without a usable first port: the row says so, the user gets
// the alert, and nothing is offered for a port that does not exist.
TEST_F(AppTest, NoUsablePortGivesAlertAndNoOffer) {
  Value cases[] = {
      Value(),                                                                 // no list at all
      Value(Value::Array{}),                                                   // empty list
      Value::strings({"Home"}),                                                // only the location name
      Value(Value::Array{Value("Home"), Value(Value::Array{Value("Home")})}),  // a location without ports
      portList("Home", {{"Home", {}}}),                                        // an empty port list
  };
  for (const Value& network : cases) {
    readers.network = network;
    start();
    press(Button::Start);
    EXPECT_EQ(row(Row::Network), (Json{{"image", "err"}, {"text", "noNetwork"}, {"code", ""}}));
    EXPECT_TRUE(events("offer").empty());
    ASSERT_EQ(events("alert").size(), 1u);
    EXPECT_EQ(events("alert")[0]["message"], "networkNoMsg");
    EXPECT_TRUE(events("panel").empty());
  }
}

TEST_F(AppTest, PortEntryWithOnlyANameCountsAsNoProxies) {
  readers.network = portList("Home", {{"Home", {Value::strings({"Modem"})}}});
  start();
  press(Button::Start);
  EXPECT_EQ(row(Row::Network)["text"], "port : Modem\nproxy : no");
  EXPECT_EQ(row(Row::Network)["code"], "03024");
}

TEST_F(AppTest, NetworkDetailWithoutFaultOpensPanelOnly) {
  start();
  press(Button::Start);
  corvane->OnButton(Button::NetworkDetail);
  EXPECT_TRUE(events("offer").empty());
  EXPECT_EQ(events("panel"), std::vector<Json>{Json::parse(R"({"event":"panel","panel":"network"})")});
}

}  // namespace
}  // namespace corvane::testing

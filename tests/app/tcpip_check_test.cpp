// The TCP/IP row: address, method and answering DNS server against the
// provider's method and router.

#include "app_fixture.h"

namespace corvane::testing {
namespace {

struct TcpipCase {
  const char* name;
  std::optional<std::string> routerip;
  Value record;
  std::string image;
  std::string code;
  std::string offer;  // message key of the repair offer, "" for none
  bool panel;         // the TCP/IP panel opens
};

std::vector<TcpipCase> tcpipCases() {
  return {
      {"prescribed method, router answers", "192.168.1.1", tcpipRecord("192.168.1.5", "DHCP", "192.168.1.1"), "ok", "",
       "", false},
      {"no router prescribed, any server", std::nullopt, tcpipRecord("192.168.1.5", "DHCP", "10.0.0.53"), "ok", "", "",
       false},
      {"empty router prescribed", "", tcpipRecord("192.168.1.5", "DHCP", "10.0.0.53"), "ok", "", "", false},
      {"no answering server", "192.168.1.1", tcpipRecord("192.168.1.5", "DHCP", "----------"), "syserr", "04024", "",
       true},
      {"another server answers", "192.168.1.1", tcpipRecord("192.168.1.5", "DHCP", "10.0.0.53"), "syserr", "04024", "",
       true},
      {"no address", "192.168.1.1", tcpipRecord("----------", "DHCP", "192.168.1.1"), "syserr", "04024", "", true},
      {"manual method", "192.168.1.1", tcpipRecord("192.168.1.5", "Manual", "192.168.1.1"), "err", "04017",
       "DHCPErrMsg", false},
  };
}

class TcpipCheck : public AppTest, public ::testing::WithParamInterface<int> {};

TEST_P(TcpipCheck, VerdictCodeOfferAndPanel) {
  const TcpipCase c = tcpipCases()[static_cast<size_t>(GetParam())];
  SCOPED_TRACE(c.name);
  prvs.routerip = c.routerip;
  readers.tcpip = Value(Value::Array{c.record});
  start();
  press(Button::Start);

  EXPECT_EQ(row(Row::Tcpip)["image"], c.image);
  EXPECT_EQ(row(Row::Tcpip)["code"], c.code);
  auto offers = events("offer");
  if (c.offer.empty()) {
    EXPECT_TRUE(offers.empty());
  } else {
    ASSERT_EQ(offers.size(), 1u);
    EXPECT_EQ(offers[0]["message"], c.offer);
    EXPECT_EQ(offers[0]["code"], "04017");
  }
  std::vector<Json> panels = events("panel");
  EXPECT_EQ(panels.size(), c.panel ? 1u : 0u);
  if (c.panel) {
    EXPECT_EQ(panels[0]["panel"], "tcpip");
  }
  // The sequence went on to the later rows.
  EXPECT_EQ(row(Row::Browser)["image"], "ok");
  EXPECT_EQ(row(Row::Line)["image"], "ok");
  EXPECT_FALSE(corvane->flag());
}

INSTANTIATE_TEST_SUITE_P(Cases, TcpipCheck, ::testing::Range(0, static_cast<int>(tcpipCases().size())));

TEST_F(AppTest, WrongMethodShowsSyserrThenErrAndOffersMethodRepair) {
  readers.tcpip = Value(Value::Array{tcpipRecord("192.168.1.5", "Manual", "192.168.1.1")});
  start();
  press(Button::Start);
  EXPECT_EQ(rowImages(Row::Tcpip), (std::vector<std::string>{"check", "syserr", "err"}));
  auto offers = events("offer");
  ASSERT_EQ(offers.size(), 1u);
  EXPECT_EQ(offers[0]["pairs"],
            Json::parse(R"([["setNetwork","Manual"],["",""],["recommended",""],["setNetwork","DHCP"]])"));
  // The offer came in the middle of the sequence: after the TCP/IP row, before the browser row.
  std::vector<std::string> order;
  for (const auto& e : view->events())
    if (e["event"] == "offer" || (e["event"] == "row" && e["image"] == "check"))
      order.push_back(e.value("row", "offer"));
  EXPECT_EQ(order,
            (std::vector<std::string>{"system", "hardware", "network", "tcpip", "offer", "browser", "mail", "line"}));
  EXPECT_TRUE(corvane->IsTcpipErr());
}

TEST_F(AppTest, RowTextShowsAddressesAndLocalizedMethods) {
  LocalizedStrings english(LocalizedStrings::Table{{"ipaddress", "IP address"},
                                                   {"dns", "DNS"},
                                                   {"ipv6address", "IPv6"},
                                                   {"DHCP", "Using DHCP"},
                                                   {"Automatic", "Automatically"}});
  strings = english;
  struct Case {
    std::vector<std::string> ipv6;
    std::string shown;
  } cases[] = {{{}, "----------"}, {{"fe80::1"}, "fe80::1"}, {{"fe80::1", "2001:db8::5"}, "2001:db8::5"}};
  for (const auto& c : cases) {
    readers.tcpip = Value(Value::Array{tcpipRecord("192.168.1.5", "DHCP", "192.168.1.1", c.ipv6)});
    start();
    press(Button::Start);
    EXPECT_EQ(row(Row::Tcpip)["text"],
              "IP address : 192.168.1.5   Using DHCP\nDNS : 192.168.1.1\nIPv6 : " + c.shown + "   Automatically");
  }
}

TEST_F(AppTest, NoServiceGives03031WithoutDetailAction) {
  readers.tcpip = Value(Value::Array{});
  start();
  press(Button::Start);
  EXPECT_EQ(row(Row::Tcpip), (Json{{"image", "err"}, {"text", "noNetwork"}, {"code", "03031"}}));
  EXPECT_TRUE(events("offer").empty());
  EXPECT_TRUE(events("panel").empty());
  EXPECT_TRUE(events("alert").empty());
}

TEST_F(AppTest, TcpipDetailPressedWithFaultOffersThenOpensPanelWhenDeclined) {
  readers.tcpip = Value(Value::Array{tcpipRecord("192.168.1.5", "Manual", "192.168.1.1")});
  start(RepairAnswer::No);
  press(Button::Start);
  corvane->OnButton(Button::TcpipDetail);
  EXPECT_EQ(events("offer").size(), 2u);
  EXPECT_EQ(events("panel"), std::vector<Json>{Json::parse(R"({"event":"panel","panel":"tcpip"})")});
}

}  // namespace
}  // namespace corvane::testing

// Repairs offered by the checks and by the detail buttons, accepted or
// refused, and the checks that run again after them.

#include "app_fixture.h"

namespace corvane::testing {
namespace {

class RepairFlow : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    badProxy =
        portList("Home", {{"Home", {portEntry("Ethernet", kMac, proxyList({"old:80", "", "", "", "", "", ""}))}}});
    goodNetwork = readers.network;
    manual = Value(Value::Array{tcpipRecord("192.168.1.5", "Manual", "192.168.1.1")});
    goodTcpip = readers.tcpip;
  }
  Value badProxy, goodNetwork, manual, goodTcpip;
};

TEST_F(RepairFlow, NetworkRepairAcceptedInSequenceRechecksNetworkAndGoesOn) {
  readers.network = badProxy;
  readers.repairedNetwork = goodNetwork;
  start(RepairAnswer::Yes);
  press(Button::Start);

  EXPECT_EQ(readers.repairs, 1);
  EXPECT_EQ(events("repair"), std::vector<Json>{Json::parse(R"({"event":"repair","tag":7,"ok":true})")});
  EXPECT_EQ(rowImages(Row::Network), (std::vector<std::string>{"check", "err", "check", "ok"}));
  EXPECT_EQ(row(Row::Network)["code"], "");
  // The sequence's own TCP/IP check and one line check, after the repair.
  EXPECT_EQ(readers.networkReads, 2);
  EXPECT_EQ(readers.tcpipReads, 1);
  EXPECT_EQ(downloader.requests.size(), 1u);
  EXPECT_TRUE(events("panel").empty());
  EXPECT_FALSE(view->anyFault());
  EXPECT_FALSE(corvane->flag());
  // Disarmed for the whole sequence; armed once, by the end of the line check.
  std::vector<bool> arms;
  for (const auto& e : events("arm")) arms.push_back(e["enabled"]);
  EXPECT_EQ(arms, (std::vector<bool>{true, false, false, true}));
}

TEST_F(RepairFlow, RefusedOfferChangesNothing) {
  readers.network = badProxy;
  readers.repairedNetwork = goodNetwork;
  start(RepairAnswer::No);
  press(Button::Start);
  EXPECT_EQ(readers.repairs, 0);
  EXPECT_TRUE(events("repair").empty());
  EXPECT_EQ(row(Row::Network)["image"], "err");
  EXPECT_EQ(row(Row::Network)["code"], "03017");
  EXPECT_EQ(readers.networkReads, 1);
}

TEST_F(RepairFlow, RepairNotAppliedChangesNoRow) {
  readers.network = badProxy;
  readers.repairApplies = false;
  start(RepairAnswer::Yes);
  press(Button::Start);
  EXPECT_EQ(events("repair"), std::vector<Json>{Json::parse(R"({"event":"repair","tag":7,"ok":false})")});
  EXPECT_EQ(row(Row::Network)["code"], "03017");
  EXPECT_EQ(readers.networkReads, 1);
  EXPECT_EQ(row(Row::Tcpip)["image"], "ok");  // the sequence went on
}

TEST_F(RepairFlow, TcpipRepairAcceptedInSequenceRechecksNetworkAndTcpip) {
  readers.tcpip = manual;
  readers.repairedTcpip = goodTcpip;
  start(RepairAnswer::Yes);
  press(Button::Start);
  EXPECT_EQ(events("repair"), std::vector<Json>{Json::parse(R"({"event":"repair","tag":6,"ok":true})")});
  EXPECT_EQ(readers.networkReads, 2);
  EXPECT_EQ(readers.tcpipReads, 2);
  EXPECT_EQ(rowImages(Row::Tcpip), (std::vector<std::string>{"check", "syserr", "err", "check", "ok"}));
  EXPECT_EQ(row(Row::Tcpip)["code"], "");
  EXPECT_EQ(row(Row::Browser)["image"], "ok");
  EXPECT_EQ(downloader.requests.size(), 1u);
  EXPECT_TRUE(events("panel").empty());
}

TEST_F(RepairFlow, UserStartedNetworkRepairRerunsNetworkTcpipAndLine) {
  readers.network = badProxy;
  start(RepairAnswer::No);
  press(Button::Start);
  ASSERT_EQ(row(Row::Network)["code"], "03017");

  view->setRepairAnswer(RepairAnswer::Yes);
  readers.repairedNetwork = goodNetwork;
  size_t eventsBefore = view->events().size();
  press(Button::NetworkDetail);

  EXPECT_EQ(readers.networkReads, 2);
  EXPECT_EQ(readers.tcpipReads, 2);
  EXPECT_EQ(downloader.requests.size(), 2u);
  std::vector<std::string> after;
  for (size_t i = eventsBefore; i < view->events().size(); ++i) {
    const Json& e = view->events()[i];
    after.push_back(e["event"].get<std::string>() +
                    (e.contains("row") ? " " + e["row"].get<std::string>() + " " + e["image"].get<std::string>() : ""));
  }
  EXPECT_EQ(after, (std::vector<std::string>{"offer", "arm", "repair", "row network check", "row network ok",
                                             "row tcpip check", "row tcpip ok", "row line check", "arm", "row line ok",
                                             "arm"}));
  // A repair was applied: the network panel does not open.
  EXPECT_TRUE(events("panel").empty());
  EXPECT_FALSE(corvane->flag());
  EXPECT_FALSE(view->anyFault());
}

// A repair from a detail button arms the buttons while its line check still
// runs; Start then retires that download, and its late report touches no row
// and no button of the new sequence.
TEST_F(RepairFlow, LateReportOfARetiredDownloadIsDropped) {
  readers.network = badProxy;
  start(RepairAnswer::No);
  press(Button::Start);
  view->setRepairAnswer(RepairAnswer::Yes);
  readers.repairedNetwork = goodNetwork;
  downloader.answer.reset();
  corvane->OnButton(Button::NetworkDetail);
  ASSERT_TRUE(corvane->lineCheckRunning());
  ASSERT_EQ(downloader.requests.size(), 2u);
  EXPECT_EQ(events("arm").back()["enabled"], true);

  // The old download reports in the middle of the new sequence, and the
  // window delivers its report at once.
  readers.whileTcpipIsRead = [&] {
    downloader.completions[1](DownloadResult{true, "", 200, ""});
    queue.runPending();
  };
  const size_t eventsBefore = view->events().size();
  corvane->OnButton(Button::Start);
  EXPECT_TRUE(*downloader.cancelled[1]);
  ASSERT_EQ(downloader.requests.size(), 3u);
  queue.runPending();
  ASSERT_TRUE(corvane->lineCheckRunning());
  EXPECT_EQ(row(Row::Line), (Json{{"image", "check"}, {"text", "check"}, {"code", ""}}));
  for (size_t i = eventsBefore; i < view->events().size(); ++i) {
    const Json& e = view->events()[i];
    EXPECT_FALSE(e["event"] == "arm" && e["enabled"] == true) << e.dump();
    EXPECT_FALSE(e["event"] == "row" && e["row"] == "line" && e["image"] != "check") << e.dump();
  }

  // Only the new download decides the line row.
  downloader.completions[2](DownloadResult{false, "", 0, "refused"});
  queue.runUntil([&] { return !corvane->lineCheckRunning(); });
  EXPECT_EQ(row(Row::Line), (Json{{"image", "syserr"}, {"text", "syserr"}, {"code", "07029"}}));
  EXPECT_EQ(events("arm").back()["enabled"], true);
}

TEST_F(RepairFlow, UserStartedTcpipRepairRerunsChecksOnce) {
  readers.tcpip = manual;
  start(RepairAnswer::No);
  press(Button::Start);
  view->setRepairAnswer(RepairAnswer::Yes);
  readers.repairedTcpip = goodTcpip;
  press(Button::TcpipDetail);
  EXPECT_EQ(events("repair"), std::vector<Json>{Json::parse(R"({"event":"repair","tag":6,"ok":true})")});
  EXPECT_EQ(readers.networkReads, 2);
  EXPECT_EQ(readers.tcpipReads, 2);
  EXPECT_EQ(downloader.requests.size(), 2u);
  EXPECT_EQ(row(Row::Tcpip)["image"], "ok");
  EXPECT_TRUE(events("panel").empty());
}

TEST_F(RepairFlow, UserStartedRepairThatFailsArmsButtonsAgain) {
  readers.network = badProxy;
  readers.repairApplies = false;
  start(RepairAnswer::No);
  press(Button::Start);
  view->setRepairAnswer(RepairAnswer::Yes);
  press(Button::NetworkDetail);
  EXPECT_EQ(events("repair").back()["ok"], false);
  EXPECT_EQ(events("arm").back()["enabled"], true);
  EXPECT_EQ(row(Row::Network)["code"], "03017");
  // Not repaired: the panel opens after the offer.
  EXPECT_EQ(events("panel").size(), 1u);
}

// A repair that does not cure the fault is offered again from its own
// re-check, nested; the sequence still runs its line check only once, at its
// end, and the buttons stay disarmed until then.
TEST_F(RepairFlow, NestedOffersStayInsideTheSequence) {
  readers.network = badProxy;
  start(RepairAnswer::Yes);
  press(Button::Start);
  EXPECT_EQ(readers.repairs, 3);  // three accepted repairs at most
  EXPECT_EQ(events("offer").size(), 4u);
  EXPECT_EQ(events("offer").back()["answer"], 0);
  EXPECT_EQ(downloader.requests.size(), 1u);
  std::vector<bool> arms;
  for (const auto& e : events("arm")) arms.push_back(e["enabled"]);
  EXPECT_EQ(arms, (std::vector<bool>{true, false, false, false, false, true}));
  EXPECT_EQ(row(Row::Tcpip)["image"], "ok");
  EXPECT_EQ(row(Row::Line)["image"], "ok");
  EXPECT_FALSE(corvane->flag());
}

TEST_F(RepairFlow, NoPortAtAllAlertsFromTheDetailButtons) {
  readers.network = Value(Value::Array{});
  readers.tcpip = manual;
  start(RepairAnswer::Yes);
  press(Button::Start);
  std::vector<std::string> alerts;
  for (const auto& e : events("alert")) alerts.push_back(e["message"]);
  EXPECT_EQ(alerts, (std::vector<std::string>{"networkNoMsg", "networkNoMsg"}));
  EXPECT_TRUE(events("offer").empty());
  EXPECT_EQ(readers.repairs, 0);
}

TEST_F(RepairFlow, TheOfferSaysWhatTheRepairWillDo) {
  readers.network = badProxy;
  readers.plan.location = "Quorvalin";
  readers.plan.turnedOff = {"Wi-Fi", "Bluetooth DUN"};
  start();
  press(Button::Start);
  const auto offers = events("offer");
  ASSERT_EQ(offers.size(), 1u);
  EXPECT_EQ(offers[0]["plan"], Json::parse(R"({"location":"Quorvalin","turnedOff":["Wi-Fi","Bluetooth DUN"]})"));
}

TEST_F(RepairFlow, WithoutProviderSettingsTheChecksRunAndNothingIsOffered) {
  prvs = ProviderDatas{};
  readers.network = badProxy;
  start(RepairAnswer::Yes);
  const auto alerts = events("alert");
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0]["message"], "providerMissingMsg");
  press(Button::Start);
  EXPECT_EQ(row(Row::Network)["image"], "err");
  EXPECT_TRUE(events("offer").empty());
  EXPECT_EQ(readers.repairs, 0);
  EXPECT_EQ(events("alert").size(), 1u);
}

TEST_F(RepairFlow, AProviderWithoutAMethodLeavesTheMethodUnjudged) {
  prvs.tcp.reset();
  readers.tcpip = manual;
  start(RepairAnswer::Yes);
  press(Button::Start);
  EXPECT_EQ(row(Row::Tcpip)["image"], "ok");
  EXPECT_TRUE(events("offer").empty());
}

}  // namespace
}  // namespace corvane::testing

// The start button's sequence as a whole, the dispatch of the other buttons
// and the system and hardware rows.

#include "app_fixture.h"

namespace corvane::testing {
namespace {

TEST_F(AppTest, StartUpClearsRowsArmsMainButtonsAndSetsTitle) {
  start();
  EXPECT_EQ(view->title(), "Test Provider");
  for (Row r : kAllRows) EXPECT_EQ(row(r), (Json{{"image", "before"}, {"text", ""}, {"code", ""}}));
  EXPECT_EQ(view->events(), Json::parse(R"([{"event":"arm","enabled":true}])"));
  EXPECT_TRUE(corvane->URLOK());
}

TEST_F(AppTest, TitleStaysWhenProviderHasNone) {
  prvs.title.reset();
  start();
  EXPECT_EQ(view->title(), "Corvane");
}

TEST_F(AppTest, HealthySystemGivesEveryRowOkInOrder) {
  readers.profile = Value(Value::Array{Value(Dictionary())});
  Dictionary items;
  items.set("cpu_type", Value("PowerPC G4"));
  items.set("current_processor_speed", Value("1.25 GHz"));
  items.set("physical_memory", Value("1 GB"));
  readers.profile = Value(Value::Array{Value(items)});
  readers.browser = Value::strings({"0", "2.0.4", "0", "0"});
  readers.mail = Value(Value::Array{"2.1.3", "1", "me", Value(Value::Array{Value::strings({"me", "me@example.jp"})})});
  start();
  press(Button::Start);

  Json expected = Json::parse(R"([
    {"event":"arm","enabled":true},
    {"event":"arm","enabled":false},
    {"event":"row","row":"system","image":"check","text":"check"},
    {"event":"row","row":"system","image":"ok","text":"MacOSX 10.4.11\nhdd : 10.00 GB / 80.00 GB"},
    {"event":"row","row":"hardware","image":"check","text":"check"},
    {"event":"row","row":"hardware","image":"ok","text":"CPU : PowerPC G4\nclock : 1.25 GHz,   memory : 1 GB"},
    {"event":"row","row":"network","image":"check","text":"check"},
    {"event":"row","row":"network","image":"ok","text":"port : Built-in Ethernet\nmac : 00:0a:95:01:02:03   proxy : no"},
    {"event":"row","row":"tcpip","image":"check","text":"check"},
    {"event":"row","row":"tcpip","image":"ok","text":"ipaddress : 192.168.1.5   DHCP\ndns : 192.168.1.1\nipv6address : ----------   Automatic"},
    {"event":"row","row":"browser","image":"check","text":"check"},
    {"event":"row","row":"browser","image":"ok","text":"Safari 2.0.4"},
    {"event":"row","row":"mail","image":"check","text":"check"},
    {"event":"row","row":"mail","image":"ok","text":"Mail 2.1.3\naccount : me"},
    {"event":"row","row":"line","image":"check","text":"check"},
    {"event":"row","row":"line","image":"ok","text":"ok"},
    {"event":"arm","enabled":true}
  ])");
  EXPECT_EQ(view->events(), expected);
  EXPECT_FALSE(view->anyFault());
  EXPECT_FALSE(corvane->flag());
}

TEST_F(AppTest, HardwareDefaultsForMissingOrEmptyItems) {
  Dictionary items;
  items.set("cpu_type", Value("Intel Core Duo"));
  items.set("physical_memory", Value(""));
  struct Case {
    Value profile;
    std::string text;
  } cases[] = {
      {Value(), "CPU : UNKNOWN\nclock : ? MHz,   memory : ? MB"},
      {Value(Value::Array{}), "CPU : UNKNOWN\nclock : ? MHz,   memory : ? MB"},
      {Value(Value::Array{Value(Dictionary())}), "CPU : UNKNOWN\nclock : ? MHz,   memory : ? MB"},
      {Value(Value::Array{Value(items)}), "CPU : Intel Core Duo\nclock : ? MHz,   memory : ? MB"},
  };
  for (const auto& c : cases) {
    readers.profile = c.profile;
    start();
    press(Button::Start);
    EXPECT_EQ(row(Row::Hardware), (Json{{"image", "ok"}, {"text", c.text}, {"code", ""}}));
  }
}

TEST_F(AppTest, OtherTagsDoNothing) {
  start();
  Json before = view->events();
  for (int tag : {0, 9, -1, 100}) corvane->OnButton(static_cast<Button>(tag));
  EXPECT_EQ(view->events(), before);
  EXPECT_EQ(readers.networkReads, 0);
}

TEST_F(AppTest, LineCheckAloneLeavesOtherRows) {
  start();
  press(Button::Start);
  Json rowsBefore = view->rowsJson();
  press(Button::LineCheck);
  Json rowsAfter = view->rowsJson();
  for (Row r : {Row::System, Row::Hardware, Row::Network, Row::Tcpip, Row::Browser, Row::Mail})
    EXPECT_EQ(rowsAfter[std::string(rowName(r))], rowsBefore[std::string(rowName(r))]);
  EXPECT_EQ(readers.networkReads, 1);
  EXPECT_EQ(downloader.requests.size(), 2u);
  EXPECT_EQ(events("arm").back()["enabled"], true);
}

TEST_F(AppTest, SystemDetailShowsVolumesWithSizes) {
  system.setDiskFigures({.totalBytes = 2048, .freeBytes = 1024, .known = true});
  start();
  corvane->OnButton(Button::SystemDetail);
  EXPECT_EQ(events("panel"), std::vector<Json>{Json::parse(R"({"event":"panel","panel":"hardware"})")});
  auto rows = corvane->hardwarePanelRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].volume, "/");
  EXPECT_EQ(rows[0].free, "1.00 KB");
  EXPECT_EQ(rows[0].all, "2.00 KB");
}

}  // namespace
}  // namespace corvane::testing

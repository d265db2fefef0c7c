// The browser and mail rows.

#include "app_fixture.h"

namespace corvane::testing {
namespace {

TEST_F(AppTest, BrowserRowCombinations) {
  struct Case {
    std::vector<std::string> versions;  // IE, Safari, Netscape, Firefox
    std::string text;
  } cases[] = {
      {{"5.2", "3.0", "7.2", "2.0"}, "Internet Explorer 5.2 / Safari 3.0\nNetscape 7.2 / Firefox 2.0"},
      {{"5.2", "3.0", "7.2", "0"}, "Internet Explorer 5.2 / Safari 3.0\nNetscape 7.2"},
      {{"5.2", "3.0", "0", "2.0"}, "Internet Explorer 5.2 / Safari 3.0\nFirefox 2.0"},
      {{"5.2", "3.0", "0", "0"}, "Internet Explorer 5.2 / Safari 3.0"},
      {{"5.2", "0", "7.2", "2.0"}, "Internet Explorer 5.2\nNetscape 7.2 / Firefox 2.0"},
      {{"5.2", "0", "7.2", "0"}, "Internet Explorer 5.2\nNetscape 7.2"},
      {{"5.2", "0", "0", "2.0"}, "Internet Explorer 5.2\nFirefox 2.0"},
      {{"5.2", "0", "0", "0"}, "Internet Explorer 5.2"},
      {{"0", "3.0", "7.2", "2.0"}, "Safari 3.0 / Netscape 7.2\nFirefox 2.0"},
      {{"0", "3.0", "7.2", "0"}, "Safari 3.0 / Netscape 7.2"},
      {{"0", "3.0", "0", "2.0"}, "Safari 3.0 / Firefox 2.0"},
      {{"0", "3.0", "0", "0"}, "Safari 3.0"},
      {{"0", "0", "7.2", "2.0"}, "Netscape 7.2 / Firefox 2.0"},
      {{"0", "0", "7.2", "0"}, "Netscape 7.2"},
      {{"0", "0", "0", "2.0"}, "Firefox 2.0"},
      {{"0", "0", "0", "0"}, "----------"},
      {{"", "beta", "0.9", "0"}, "----------"},  // no leading non-zero number: absent
  };
  for (const auto& c : cases) {
    readers.browser = Value::strings(c.versions);
    start();
    press(Button::Start);
    EXPECT_EQ(row(Row::Browser), (Json{{"image", "ok"}, {"text", c.text}, {"code", ""}}));
  }
}

TEST_F(AppTest, BrowserListOfAnotherLengthGivesEmptyText) {
  for (const Value& list : {Value(), Value::strings({"5.2", "3.0", "7.2"})}) {
    readers.browser = list;
    start();
    press(Button::Start);
    EXPECT_EQ(row(Row::Browser), (Json{{"image", "ok"}, {"text", ""}, {"code", ""}}));
  }
}

Value mailList(const std::string& version, std::vector<Value> accounts) {
  std::string first = accounts.empty() ? "" : accounts[0][0].text();
  return Value(Value::Array{Value(version), Value(std::to_string(accounts.size())), Value(first),
                            Value(Value::Array(accounts))});
}

TEST_F(AppTest, MailRowByAccountCount) {
  Value home = Value::strings({"Home", "me@example.jp", "Me", "me", "pop.example.jp", "smtp.example.jp"});
  Value work = Value::strings({"Work", "me@work.jp", "Me", "me2", "pop.work.jp", "smtp.work.jp"});
  struct Case {
    Value mail;
    std::string image;
    std::string text;
    bool panel;
  } cases[] = {
      {mailList("0", {home}), "ok", "----------", false},  // Mail not installed
      {Value(), "ok", "----------", false},
      {mailList("3.6", {}), "err", "Mail 3.6\naccountCount : 0", true},
      {mailList("3.6", {home}), "ok", "Mail 3.6\naccount : Home", false},
      {mailList("3.6", {home, work}), "ok", "Mail 3.6\naccountCount : 2", false},
  };
  for (const auto& c : cases) {
    readers.mail = c.mail;
    start();
    press(Button::Start);
    EXPECT_EQ(row(Row::Mail), (Json{{"image", c.image}, {"text", c.text}, {"code", ""}}));
    EXPECT_EQ(events("panel").size(), c.panel ? 1u : 0u);
    if (c.panel) {
      EXPECT_EQ(events("panel")[0]["panel"], "mail");
    }
  }
}

TEST_F(AppTest, MailDetailOpensPanelWithAccounts) {
  readers.mail = mailList("3.6", {Value::strings({"Home", "me@example.jp", "Me", "me", "pop", "smtp"})});
  start();
  press(Button::Start);
  corvane->OnButton(Button::MailDetail);
  EXPECT_EQ(events("panel"), std::vector<Json>{Json::parse(R"({"event":"panel","panel":"mail"})")});
}

}  // namespace
}  // namespace corvane::testing

namespace corvane::testing {
namespace {

TEST_F(AppTest, MailSetupAppExitStatus) {
  start();
  EXPECT_EQ(corvane->RunMailSetupApp(), -1);  // not in the bundle
  system.putProgram(std::string(MemoryPlatform::kRoot) + "/Contents/Resources/Plovis.app/Contents/MacOS/Plovis(Mail)",
                    [](const std::vector<std::string>&) { return 3; });
  EXPECT_EQ(corvane->RunMailSetupApp(), 3);
}

}  // namespace
}  // namespace corvane::testing

#include "provider/provider_datas.h"

#include <gtest/gtest.h>

#include "core/bundle.h"
#include "provider/provider_encoder.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

ProviderDatas loadText(const std::string& text) {
  testing::TempFolder folder;
  EncodedProviderFile file = encodeProviderFile(text, 2);
  EXPECT_TRUE(file.ok) << file.error;
  return ProviderDatas::loadFile(folder.write("Corvane.idx", file.bytes));
}

TEST(GetKeyAndValue, SplitsAtTheFirstEquals) {
  EXPECT_EQ(getKeyAndValue("app_title=A=B"), (std::vector<std::string>{"app_title", "A=B"}));
  EXPECT_EQ(getKeyAndValue("dns1="), (std::vector<std::string>{"dns1", ""}));
  EXPECT_EQ(getKeyAndValue("=x"), (std::vector<std::string>{"", "x"}));
  EXPECT_EQ(getKeyAndValue("app_title = X"), (std::vector<std::string>{"app_title ", " X"}));
  EXPECT_TRUE(getKeyAndValue("[Provider]").empty());
  EXPECT_TRUE(getKeyAndValue("tcp=\x81\x7f").empty());
  EXPECT_EQ(getKeyAndValue("app_title=\x85\x40\x85\xA1"), (std::vector<std::string>{"app_title", "①Ⅲ"}));
}

TEST(ProviderDatas, ProxyEnableIsTheIntegerValueOne) {
  const std::pair<std::string, bool> cases[] = {
      {"1", true},  {"01", true},    {"  1", true}, {"1abc", true}, {"+1", true},
      {"2", false}, {"true", false}, {"", false},   {"0", false},   {"-1", false},
  };
  for (const auto& [value, enabled] : cases)
    EXPECT_EQ(loadText("proxy_enable=" + value + "\n").p_enable, enabled) << '"' << value << '"';
  EXPECT_FALSE(loadText("proxy_enable=1\nproxy_enable=0\n").p_enable);
  EXPECT_FALSE(loadText("proxy_http=p.example.jp:80\n").p_enable);
}

TEST(ProviderDatas, ProxyServerOverridesTheFiveProtocolsWhereverItStands) {
  for (const std::string text : {"proxy_server=c.example.jp:3128\nproxy_ftp=f.example.jp:21\nproxy_no=lan\n",
                                 "proxy_ftp=f.example.jp:21\nproxy_server=c.example.jp:3128\nproxy_no=lan\n"}) {
    ProviderDatas p = loadText(text);
    for (const std::string* field : {&p.p_http, &p.p_secure, &p.p_ftp, &p.p_gopher, &p.p_socks})
      EXPECT_EQ(*field, "c.example.jp:3128") << text;
    EXPECT_EQ(p.no_proxy, "lan");
  }
  ProviderDatas emptyServer = loadText("proxy_server=\nproxy_ftp=f.example.jp:21\n");
  EXPECT_EQ(emptyServer.p_ftp, "f.example.jp:21");
  EXPECT_EQ(emptyServer.p_http, "");
}

TEST(ProviderDatas, DefaultsWhenTheFileIsMissing) {
  ProviderDatas p = ProviderDatas::load(Bundle("/nonexistent/Corvane.app"));
  EXPECT_FALSE(p.title.has_value());
  EXPECT_FALSE(p.testurl.has_value());
  EXPECT_EQ(p.p_http, "");
  EXPECT_FALSE(p.p_enable);
  EXPECT_EQ(p.smoh, "");
}

TEST(ProviderDatas, CommentsAndUnknownKeysAreSkipped) {
  ProviderDatas p = loadText("; tcp=Manual\n ;tcp=BOOTP\n[Provider]\ntcp=DHCP\nTCP=Manual\n");
  EXPECT_EQ(p.tcp, "DHCP");
}

TEST(ProviderDatas, TheBundledProviderFileLoads) {
  ProviderDatas p = ProviderDatas::load(Bundle(CORVANE_BUNDLE));
  ASSERT_TRUE(p.title.has_value());
  EXPECT_FALSE(p.title->empty());
  EXPECT_EQ(p.tcp, "DHCP");
  ASSERT_TRUE(p.testurl.has_value());
}

}  // namespace
TEST(ProviderDatas, HasSettingsOnlyWhenTheFileGaveOne) {
  EXPECT_FALSE(ProviderDatas::load(Bundle("/nonexistent/Corvane.app")).hasSettings());
  struct Case {
    std::string text;
    bool settings;
  } cases[] = {
      {"", false},
      {"; tcp=DHCP\nTCP=Manual\nunknown=1\n", false},
      {"proxy_enable=0\n", false},
      {"proxy_enable=1\n", true},
      {"app_title=\n", true},  // an empty title is still the provider's
      {"tcp=DHCP\n", true},
      {"proxy_http=proxy.example.jp:8080\n", true},
  };
  for (const auto& c : cases) EXPECT_EQ(loadText(c.text).hasSettings(), c.settings) << c.text;
}

}  // namespace corvane

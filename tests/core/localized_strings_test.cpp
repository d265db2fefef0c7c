// Reading Localizable.strings files and looking texts up.

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/bundle.h"
#include "core/localized_strings.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

TEST(StringsFile, CommentsEscapesAndBareWords) {
  auto table = parseStringsFile(
      "/* block\n comment */\n"
      "\"title\" = \"Corvane\"; // trailing\n"
      "\"quote\" = \"say \\\"hi\\\"\\n\\ttab \\\\ \\U00e9\\u3042\";\n"
      "bare_key = bare.value;\n"
      "\"same\";\n"
      "\"title\" = \"Again\";\n");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->at("title"), "Again");
  EXPECT_EQ(table->at("quote"), "say \"hi\"\n\ttab \\ \xC3\xA9\xE3\x81\x82");
  EXPECT_EQ(table->at("bare_key"), "bare.value");
  EXPECT_EQ(table->at("same"), "same");
}

TEST(StringsFile, Utf16WithByteOrderMark) {
  std::string text = "\"ok\" = \"\xE6\xAD\xA3\";";  // a kanji, to check the decoding
  auto utf16 = [](bool little) {
    std::u16string units = u"\"ok\" = \"\u6B63\U0001F600\";";
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t u : units) {
      char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
      bytes += little ? std::string{lo, hi} : std::string{hi, lo};
    }
    return bytes;
  };
  for (bool little : {true, false}) {
    auto table = parseStringsFile(utf16(little));
    ASSERT_TRUE(table);
    EXPECT_EQ(table->at("ok"), "\xE6\xAD\xA3\xF0\x9F\x98\x80");
  }
  auto withUtf8Mark = parseStringsFile("\xEF\xBB\xBF" + text);
  ASSERT_TRUE(withUtf8Mark);
  EXPECT_EQ(withUtf8Mark->at("ok"), "\xE6\xAD\xA3");
}

TEST(StringsFile, MalformedFilesAreRejected) {
  for (std::string bad :
       std::vector<std::string>{"\"a\" = \"b\"", "\"a\" \"b\";", "\"a\" = \"b;", "/* open", "\"a\" = ;", "= \"b\";",
                                std::string("\xFF\xFE\x41", 3), std::string("\xFF\xFE\x00\xD8\x41\x00", 6)})
    EXPECT_FALSE(parseStringsFile(bad)) << bad;
  EXPECT_TRUE(parseStringsFile("")->empty());
}

TEST(LocalizedStrings, MissingKeyShowsItselfAndCModeHasNoTable) {
  LocalizedStrings table(LocalizedStrings::Table{{"ok", "OK!"}});
  EXPECT_EQ(table.text("ok"), "OK!");
  EXPECT_EQ(table.text("port : en0\n"), "port : en0\n");
  EXPECT_EQ(table.text(""), "");
  LocalizedStrings c;
  EXPECT_EQ(c.text("ok"), "ok");
}

TEST(LocalizedStrings, BundledTablesHoldEveryKeyInBothLanguages) {
  Bundle bundle(CORVANE_BUNDLE);
  const char* keys[] = {"title",
                        "OK",
                        "AlertTitle",
                        "NoURLCheck",
                        "networkNoMsg",
                        "DHCPErrMsg",
                        "IPv6ErrMsg",
                        "networkErrMsg",
                        "networkProxyErrMsg",
                        "check",
                        "ok",
                        "syserr",
                        "noNetwork",
                        "hdd",
                        "CPU",
                        "clock",
                        "memory",
                        "port",
                        "mac",
                        "proxy",
                        "exist",
                        "no",
                        "exception",
                        "recommended",
                        "ipaddress",
                        "dns",
                        "ipv6address",
                        "setNetwork",
                        "setNetworkIPv6",
                        "DHCP",
                        "Automatic",
                        "account",
                        "accountCount",
                        "Manual",
                        "BOOTP",
                        "noAccount",
                        "providerMissingMsg",
                        "repairSwitchesTo",
                        "repairTurnsOff",
                        "repairAlreadyMatches",
                        "fixKitWritten",
                        "fixKitNotWritten",
                        "fixKitNotNeeded"};
  LocalizedStrings en = LocalizedStrings::load(bundle, "en");
  LocalizedStrings ja = LocalizedStrings::load(bundle, "ja");
  ASSERT_FALSE(en.empty());
  ASSERT_FALSE(ja.empty());
  for (const char* key : keys) {
    EXPECT_TRUE(en.has(key)) << key;
    EXPECT_TRUE(ja.has(key)) << key;
  }
  // Every key of one language is in the other.
  std::vector<std::string> enKeys, jaKeys;
  for (const auto& [key, text] : en.table()) enKeys.push_back(key);
  for (const auto& [key, text] : ja.table()) jaKeys.push_back(key);
  EXPECT_EQ(enKeys, jaKeys);
  EXPECT_TRUE(LocalizedStrings::load(bundle, "C").empty());
  EXPECT_TRUE(LocalizedStrings::load(bundle, "xx").empty());
}

TEST(PreferredLanguage, FollowsTheLocale) {
  struct Case {
    const char *all, *messages, *lang, *language;
  } cases[] = {{"", "", "ja_JP.UTF-8", "ja"},
               {"", "", "en_US.UTF-8", "en"},
               {"", "ja_JP", "en_US", "ja"},
               {"C", "ja_JP", "ja_JP", "en"},
               {"", "", "", "en"}};
  for (const auto& c : cases) {
    setenv("LC_ALL", c.all, 1);
    setenv("LC_MESSAGES", c.messages, 1);
    setenv("LANG", c.lang, 1);
    EXPECT_EQ(preferredLanguage(), c.language) << c.all << "|" << c.messages << "|" << c.lang;
  }
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  unsetenv("LANG");
}

}  // namespace
}  // namespace corvane::testing

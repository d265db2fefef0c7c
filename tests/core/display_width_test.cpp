// Screen columns of texts, padding and escaped control characters.

#include "core/display_width.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(DisplayWidth, CountsColumnsNotBytesOrCharacters) {
  struct Case {
    std::string text;
    size_t width;
  } cases[] = {
      {"", 0},
      {"Proxies", 7},
      {"プロキシ", 8},         // katakana: wide
      {"除外するホスト", 14},  // kanji and hiragana: wide
      {"ﾌﾟﾛｷｼ", 5},            // halfwidth katakana: narrow
      {"ＡＢＣ", 6},           // fullwidth Latin
      {"IPv6 アドレス", 13},
      {"e\xcc\x81", 1},                 // e with a combining acute accent
      {"\xe3\x81\x8b\xe3\x82\x99", 2},  // ka with a combining voiced mark
      {"한국어", 6},                    // Hangul syllables
      {"\xf0\x9f\x98\x80", 2},          // an emoji
      {"\xff\xfe", 2},                  // bytes that are not UTF-8 count one each
      {"\xe3\x81", 2},                  // a cut-off character
      {"…", 1},                         // ambiguous width counts one
  };
  for (const auto& c : cases) EXPECT_EQ(displayWidth(c.text), c.width) << c.text;
}

TEST(DisplayWidth, PadsToAScreenColumn) {
  EXPECT_EQ(padToWidth("プロキシ", 10), "プロキシ  ");
  EXPECT_EQ(padToWidth("HTTP", 10), "HTTP      ");
  EXPECT_EQ(padToWidth("除外するホスト", 10), "除外するホスト");  // wider: unchanged
  EXPECT_EQ(displayWidth(padToWidth("除外", 7)), 7u);
}

TEST(DisplayWidth, ControlCharactersAreShownEscaped) {
  struct Case {
    std::string text, shown;
  } cases[] = {
      {"plain ascii", "plain ascii"},
      {"日本語", "日本語"},
      {"a\x1b[2Jb", "a\\e[2Jb"},
      {"tab\there", "tab\\there"},
      {"cr\rlf", "cr\\rlf"},
      {"bell\x07", "bell\\x07"},
      {"del\x7f", "del\\x7f"},
      {"c1 \xc2\x9b"
       "31m",
       "c1 \\u009b31m"},  // the one-character CSI
      {"bad \xff byte", "bad \\xff byte"},
      {"raw csi \x9b"
       "31m",
       "raw csi \\x9b31m"},                      // the same control as a byte that is no UTF-8
      {"\x1b]0;pwned\x07", "\\e]0;pwned\\x07"},  // a title change
      {std::string("nul\0in", 6), "nul\\x00in"},
  };
  for (const auto& c : cases) EXPECT_EQ(escapeControls(c.text), c.shown) << c.shown;
  EXPECT_EQ(escapeControls("two\nlines"), "two\nlines");
  EXPECT_EQ(escapeControls("two\nlines", false), "two\\nlines");
}

}  // namespace
}  // namespace corvane

#include "core/shift_jis.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(ShiftJis, DecodesWindowsAndMacCodes) {
  const std::pair<std::string, std::string> cases[] = {
      {"abc", "abc"},
      {"\x93\xfa\x96\x7b", "日本"},
      {"\x87\x40", "①"},  // Windows circled 1
      {"\x85\x40", "①"},  // Mac circled 1
      {"\x85\x53", "⑳"},
      {"\x85\x9f", "Ⅰ"},  // Mac Roman numeral I
      {"\x85\xa8", "Ⅹ"},
      {"\xb1\xb2", "ｱｲ"},  // half-width katakana
      {"x\x85\x40y\x85\xa1z", "x①yⅢz"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(shiftJisToUtf8(bytes), text) << text;
}

TEST(ShiftJis, RefusesWhatIsNotShiftJis) {
  for (const std::string bytes : {"\x81", "a\x81\x7f", "\x85\x54", "\xa0"})
    EXPECT_FALSE(shiftJisToUtf8(bytes).has_value()) << bytes;
  EXPECT_EQ(shiftJisToUtf8Lossy("a\x81\x7f"
                                "b"),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(ShiftJis, EncodesToTheWindowsCodePage) {
  EXPECT_EQ(utf8ToShiftJis("日本①"), std::string("\x93\xfa\x96\x7b\x87\x40"));
  EXPECT_FALSE(utf8ToShiftJis("😀").has_value());
  EXPECT_FALSE(utf8ToShiftJis("\xff").has_value());
}

}  // namespace
}  // namespace corvane

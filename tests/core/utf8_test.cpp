#include "core/utf8.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(Utf8Test, AcceptsOnlyWellFormedTextWithoutNul) {
  struct Case {
    std::string bytes;
    bool wellFormed;
  };
  const Case cases[] = {
      {"", true},
      {"ascii", true},
      {"\xe8\x87\xaa\xe5\x8b\x95", true},  // 自動
      {"\xf0\x9f\x98\x80", true},          // U+1F600
      {"\xf4\x8f\xbf\xbf", true},          // U+10FFFF
      {std::string("a\0b", 3), false},     // NUL
      {"N\xe9t", false},                   // Latin-1 byte
      {"\xc0\xaf", false},                 // overlong "/"
      {"\xe0\x80\xaf", false},             // overlong, three bytes
      {"\xed\xa0\x80", false},             // surrogate half
      {"\xf4\x90\x80\x80", false},         // above U+10FFFF
      {"\xe8\x87", false},                 // cut short
      {"\x80", false},                     // stray continuation byte
      {"\xff", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isWellFormedUtf8(c.bytes), c.wellFormed) << c.bytes;
}

}  // namespace
}  // namespace corvane

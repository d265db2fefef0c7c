#include "core/text.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(IntValueOfText, ReadsLikeTheSystem) {
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {"1", 1},
      {"01", 1},
      {"  1", 1},
      {"1abc", 1},
      {"+3", 3},
      {"-12x", -12},
      {"", 0},
      {"true", 0},
      {"abc1", 0},
      {"\t\n 9", 9},
      {"- 1", 0},
      {"99999999999", INT32_MAX},
      {"-99999999999", INT32_MIN},
      {"2147483647", INT32_MAX},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(intValueOfText(text), expected) << '"' << text << '"';
}

TEST(SplitText, KeepsEmptyPieces) {
  EXPECT_EQ(splitText("", "."), (std::vector<std::string>{""}));
  EXPECT_EQ(splitText("10.4.11", "."), (std::vector<std::string>{"10", "4", "11"}));
  EXPECT_EQ(splitText("a  b", " "), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(splitText("a=b=c", "="), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(joinTexts({"b", "c"}, "="), "b=c");
}

TEST(LastPathComponent, TakesWhatFollowsTheLastSlash) {
  EXPECT_EQ(lastPathComponent("/Sets/3"), "3");
  EXPECT_EQ(lastPathComponent("/Sets/"), "");
  EXPECT_EQ(lastPathComponent("plain"), "plain");
}

TEST(FormatText, ReplacesEachMarkerInOrder) {
  EXPECT_EQ(formatText("%@ : %@\n", {"port", "en0"}), "port : en0\n");
  EXPECT_EQ(formatText("%@-%@", {"only"}), "only-");
  EXPECT_EQ(formatText("100%", {}), "100%");
}

}  // namespace
}  // namespace corvane

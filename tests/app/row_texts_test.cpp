// The browser row's text from the reader's version list, case by case.

#include "app/row_texts.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

TEST(RowTexts, BrowserTextPlacesTheBrowsersOnTwoLines) {
  struct Case {
    Value browsers;
    std::string text;
  };
  auto versions = [](std::vector<std::string> texts) {
    Value::Array items;
    for (auto& text : texts) items.emplace_back(std::move(text));
    return Value(std::move(items));
  };
  const Case cases[] = {
      {versions({"5.2", "3.0", "7.2", "2.0"}), "Internet Explorer 5.2 / Safari 3.0\nNetscape 7.2 / Firefox 2.0"},
      {versions({"5.2", "0", "0", "2.0"}), "Internet Explorer 5.2\nFirefox 2.0"},
      {versions({"0", "3.0", "7.2", "2.0"}), "Safari 3.0 / Netscape 7.2\nFirefox 2.0"},
      {versions({"", "", "7.2", "2.0"}), "Netscape 7.2 / Firefox 2.0"},
      {versions({"0", "0", "0", "0"}), "----------"},
      {versions({"5.2", "3.0", "7.2"}), ""},  // not the reader's four
      {Value(), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(browserRowText(c.browsers), c.text) << c.text;
}

}  // namespace
}  // namespace corvane::testing

#include "repair/store_changes.h"

#include <gtest/gtest.h>

#include "repair/repair_test_support.h"

namespace corvane {
namespace {

using testing::plistDict;

TEST(DescribeChanges, AddedRemovedAndChangedEntriesByPath) {
  const Value before(
      plistDict("<key>CurrentSet</key><string>/Sets/0</string>"
                "<key>S</key><dict><key>1</key><dict><key>Proxies</key><dict><key>ExceptionsList</key><array>"
                "<string>*.local</string></array><key>HTTPPort</key><integer>80</integer></dict></dict></dict>"));
  const Value after(
      plistDict("<key>CurrentSet</key><string>/Sets/2</string>"
                "<key>S</key><dict><key>1</key><dict><key>Proxies</key><dict><key>HTTPPort</key><integer>8080</integer>"
                "</dict></dict><key>2</key><dict/></dict>"));
  EXPECT_EQ(describeChanges(before, after),
            (std::vector<std::string>{"~ CurrentSet: \"/Sets/0\" -> \"/Sets/2\"", "- S/1/Proxies/ExceptionsList",
                                      "~ S/1/Proxies/HTTPPort: 80 -> 8080", "+ S/2"}));
  EXPECT_TRUE(describeChanges(before, before).empty());
}

}  // namespace
}  // namespace corvane

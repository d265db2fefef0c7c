#include "core/os_version.h"

#include <gtest/gtest.h>

#include "core/platform.h"
#include "core/plist_value.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

TEST(CompareOSVersions, ComponentsCompareAsNumbers) {
  struct Case {
    const char* running;
    const char* required;
    int expected;
  };
  const Case cases[] = {
      {"10.4.11", "10.4", 1},   {"10.4.11", "10.4.11", 0}, {"10.4.11", "10.11", -1}, {"10.3", "10.3.0", 0},
      {"10.3.9", "10.3.2", 1},  {"10.3.9", "10.3", 1},     {"10.3.9", "10.4", -1},   {"10.10", "10.7", 1},
      {"10.10", "10.11", -1},   {"10.4", "", 1},           {"10.2.8", "10.3", -1},   {"", "10.2", -1},
      {"10.6.8b", "10.6.8", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(compareOSVersions(Value(c.running), c.required), c.expected) << c.running << " vs " << c.required;
}

TEST(CompareOSVersions, UnreadableVersionCountsAsZero) {
  EXPECT_EQ(compareOSVersions(Value(), "10.2"), -1);
  EXPECT_EQ(compareOSVersions(Value(), "0"), 0);
}

TEST(CompOSVersion, ReadsTheSystemVersionFileUnderTheRoot) {
  testing::TempFolder root;
  root.write("System/Library/CoreServices/SystemVersion.plist",
             "<plist version=\"1.0\"><dict><key>ProductName</key><string>Mac OS X</string>"
             "<key>ProductVersion</key><string>10.4.11</string></dict></plist>");
  Platform platform({.root = root.path(), .syslog = false});
  EXPECT_EQ(compOSVersion(platform, "10.4"), 1);
  EXPECT_TRUE(osAtLeast(platform, "10.4.11"));
  EXPECT_FALSE(osAtLeast(platform, "10.6"));
}

TEST(CompOSVersion, MissingFileIsOlderThanEveryRelease) {
  testing::TempFolder root;
  Platform platform({.root = root.path(), .syslog = false});
  EXPECT_EQ(compOSVersion(platform, "10.2"), -1);
}

}  // namespace
}  // namespace corvane

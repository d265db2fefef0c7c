#include "core/plist_io.h"

#include <gtest/gtest.h>

#include "core/platform.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

constexpr std::string_view kStore = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple Computer//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>Sets</key>
	<dict>
		<key>2</key>
		<dict><key>UserDefinedName</key><string>自動</string></dict>
		<key>0</key>
		<dict><key>UserDefinedName</key><string>Office &amp; Home</string></dict>
	</dict>
	<key>CurrentSet</key>
	<string>/Sets/0</string>
	<key>Number</key>
	<integer>-5</integer>
	<key>Flag</key>
	<true/>
	<key>MAC</key>
	<data>AAMTwvHs</data>
	<key>Ratio</key>
	<real>1.5</real>
</dict>
</plist>
)";

TEST(PropertyListReading, XmlKeepsFileOrderAndTypes) {
  Value store = parsePropertyList(kStore);
  ASSERT_TRUE(store.isDictionary());
  std::vector<std::string> keys;
  for (const auto& [k, v] : *store["Sets"].dictionary()) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"2", "0"}));
  EXPECT_TRUE(store["Sets"]["2"]["UserDefinedName"].equals("自動"));
  EXPECT_TRUE(store["Sets"]["0"]["UserDefinedName"].equals("Office & Home"));
  EXPECT_EQ(store["Number"].intValue(), -5);
  EXPECT_EQ(store["Flag"].intValue(), 1);
  ASSERT_NE(store["MAC"].data(), nullptr);
  EXPECT_EQ(store["MAC"].data()->bytes, std::string("\x00\x03\x13\xc2\xf1\xec", 6));
  EXPECT_DOUBLE_EQ(*store["Ratio"].real(), 1.5);
}

TEST(PropertyListReading, BinaryAndXmlRoundTrip) {
  Value store = parsePropertyList(kStore);
  EXPECT_EQ(parsePropertyList(toBinaryPropertyList(store)), store);
  EXPECT_EQ(parsePropertyList(toXmlPropertyList(store)), store);
}

TEST(PropertyListReading, UidsSurviveBothForms) {
  Dictionary d;
  d.set("root", Uid{7});
  Value v(d);
  EXPECT_EQ(parsePropertyList(toBinaryPropertyList(v))["root"], Value(Uid{7}));
  EXPECT_EQ(parsePropertyList(toXmlPropertyList(v))["root"], Value(Uid{7}));
}

TEST(PropertyListReading, GarbageIsAbsent) {
  const std::vector<std::string> bad = {
      "",
      "not a plist",
      std::string(kStore.substr(0, kStore.size() / 2)),
      "bplist00\xff\xff\xff",
      std::string("\0\0\0\0", 4),
  };
  for (const auto& bytes : bad) EXPECT_TRUE(parsePropertyList(bytes).isAbsent()) << bytes;
}

TEST(PropertyListReading, DeepNestingIsRefusedNotACrash) {
  std::string deep = "<plist version=\"1.0\">";
  for (int i = 0; i < 2000; ++i) deep += "<array>";
  for (int i = 0; i < 2000; ++i) deep += "</array>";
  deep += "</plist>";
  EXPECT_TRUE(parsePropertyList(deep).isAbsent());
}

TEST(PropertyListReading, ReadsUnderTheSystemRoot) {
  testing::TempFolder root;
  root.write("Library/Preferences/x.plist", kStore);
  Platform platform({.root = root.path(), .syslog = false});
  EXPECT_TRUE(readPropertyList(platform, "/Library/Preferences/x.plist")["CurrentSet"].equals("/Sets/0"));
  EXPECT_TRUE(readPropertyList(platform, "/Library/Preferences/missing.plist").isAbsent());
  EXPECT_TRUE(readPropertyList(platform, "/Library/Preferences").isAbsent());
}

TEST(PropertyListWriting, AbsentEntriesAreLeftOut) {
  Dictionary d;
  d.set("kept", "yes");
  d.set("gone", Value());
  Value back = parsePropertyList(toXmlPropertyList(Value(d)));
  EXPECT_EQ(back.count(), 1u);
  EXPECT_EQ(toXmlPropertyList(Value()), "");
}

}  // namespace
}  // namespace corvane

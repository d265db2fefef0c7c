#include "core/plist_io.h"

#include <gtest/gtest.h>

#include "core/platform.h"
#include "core/plist_depth.h"
#include "core/plist_expansion.h"
#include "support/binary_plist_bytes.h"
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

// A text the library cannot read intact (a NUL inside; as a dictionary key it
// even aborts on it) marks the file as damaged.
TEST(PropertyListReading, TextsHoldingANulAreRefused) {
  const std::string binary = toBinaryPropertyList(Value(Value::Array{Value("abcdef")}));
  const size_t at = binary.find("abcdef");
  ASSERT_NE(at, std::string::npos);
  std::string stringWithNul = binary;
  stringWithNul[at + 1] = '\0';
  Dictionary withKey;
  withKey.set("abcdef", Value(true));
  std::string keyWithNul = toBinaryPropertyList(Value(withKey));
  ASSERT_NE(keyWithNul.find("abcdef"), std::string::npos);
  keyWithNul[keyWithNul.find("abcdef") + 2] = '\0';

  EXPECT_TRUE(parsePropertyList(stringWithNul).isAbsent());
  EXPECT_TRUE(parsePropertyList(keyWithNul).isAbsent());
  EXPECT_EQ(parsePropertyList(binary), Value(Value::Array{Value("abcdef")}));
  const std::string bytes =
      testing::readHostFile(std::string(CORVANE_TESTDATA) + "/../fuzz/corpus/property_list/regression-string-with-nul");
  ASSERT_FALSE(bytes.empty());
  EXPECT_TRUE(parsePropertyList(bytes).isAbsent());
}

// Texts that are not UTF-8 are read and written as XML byte for byte; the
// binary writer, which would cut them, refuses them.
TEST(PropertyListWriting, TextsThatAreNotUtf8SurviveXmlAndAreRefusedInBinary) {
  const Value latin1 =
      parsePropertyList("<plist version=\"1.0\"><dict><key>N\xe9t</key><string>en\xff\xfe</string></dict></plist>");
  ASSERT_TRUE(latin1.isDictionary());
  EXPECT_TRUE(latin1["N\xe9t"].equals("en\xff\xfe"));
  EXPECT_EQ(parsePropertyList(toXmlPropertyList(latin1)), latin1);
  EXPECT_EQ(toBinaryPropertyList(latin1), "");
  EXPECT_EQ(toBinaryPropertyList(Value(Value::Array{Value("ok"), Value("\xed\xa0\x80")})), "");

  // A binary store the fuzzer found: an ASCII string object holding a byte
  // above 0x7f. It reads; written in binary it would have come back cut short.
  const Value store = parsePropertyList(testing::readHostFile(
      std::string(CORVANE_TESTDATA) + "/../fuzz/corpus/property_list/regression-ascii-string-not-utf8"));
  ASSERT_TRUE(store.isDictionary());
  EXPECT_EQ(toBinaryPropertyList(store), "");
  EXPECT_EQ(parsePropertyList(toXmlPropertyList(store)), store);
}

TEST(PropertyListWriting, DatesKeepTheirValueAndOutOfRangeOnesAreClamped) {
  // (Between -1 and 0 the library gives the fraction back without its sign.)
  for (const double seconds : {0.0, 1.25, -1.5, -1234567.75, 2147483646.5, -2147483648.0, 2147483647.0}) {
    const Value date(Value::Array{Value(Date{seconds})});
    EXPECT_EQ(parsePropertyList(toBinaryPropertyList(date)), date) << seconds;
  }
  // Beyond what the file format's library holds: written at the nearest end,
  // never an undefined conversion.
  const Value far(Value::Array{Value(Date{-1e12})});
  EXPECT_EQ(parsePropertyList(toBinaryPropertyList(far))[0], Value(Date{-2147483648.0}));
  // A file the fuzzer found whose date lies just outside that range.
  const std::string bytes = testing::readHostFile(std::string(CORVANE_TESTDATA) +
                                                  "/../fuzz/corpus/property_list/regression-date-before-range");
  ASSERT_FALSE(bytes.empty());
  const Value value = parsePropertyList(bytes);
  if (!value.isAbsent()) {
    EXPECT_FALSE(parsePropertyList(toBinaryPropertyList(value)).isAbsent());
  }
}

// An XML list of `depth` arrays, one inside the other.
std::string nestedXml(int depth, std::string_view open = "<array>", std::string_view close = "</array>") {
  std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
  for (int i = 0; i < depth; ++i) xml += open;
  for (int i = 0; i < depth; ++i) xml += close;
  return xml + "</plist>";
}

// A binary list of `depth` one-element arrays, each holding the next; the
// last is empty. With loop set, the last holds the first instead.
std::string nestedBinary(uint64_t depth, bool loop = false) {
  using testing::appendBigEndian;
  std::string bytes = "bplist00";
  std::vector<uint64_t> offsets;
  for (uint64_t i = 0; i < depth; ++i) {
    offsets.push_back(bytes.size());
    const bool last = i + 1 == depth;
    if (last && !loop) {
      bytes += '\xA0';
    } else {
      bytes += '\xA1';
      appendBigEndian(bytes, last ? 0 : i + 1, 4);
    }
  }
  const uint64_t table = bytes.size();
  for (uint64_t offset : offsets) appendBigEndian(bytes, offset, 4);
  bytes += std::string(6, '\0');
  bytes += '\x04';  // offset size
  bytes += '\x04';  // reference size
  appendBigEndian(bytes, depth, 8);
  appendBigEndian(bytes, 0, 8);
  appendBigEndian(bytes, table, 8);
  return bytes;
}

TEST(PropertyListReading, DeepNestingIsRefusedNotACrash) {
  // The library parses and frees recursively; these depths would overflow
  // its stack if they reached it.
  for (int depth : {2000, 300000}) {
    SCOPED_TRACE(depth);
    EXPECT_TRUE(parsePropertyList(nestedXml(depth)).isAbsent());
    EXPECT_TRUE(parsePropertyList(nestedXml(depth, "<dict><key>k</key>", "</dict>")).isAbsent());
    EXPECT_TRUE(parsePropertyList(nestedBinary(static_cast<uint64_t>(depth))).isAbsent());
  }
  EXPECT_TRUE(parsePropertyList(nestedBinary(5, true)).isAbsent());
}

TEST(PropertyListReading, NestingUpToTheLimitIsRead) {
  EXPECT_TRUE(parsePropertyList(nestedXml(200)).isArray());
  EXPECT_TRUE(parsePropertyList(nestedBinary(200)).isArray());
  // Tags inside comments and texts do not count as nesting.
  std::string commented = "<plist version=\"1.0\"><dict><!--";
  for (int i = 0; i < 1000; ++i) commented += "<array>";
  commented += "--><key>a</key><string>&lt;array&gt;</string><key>b</key><array/></dict></plist>";
  const Value value = parsePropertyList(commented);
  EXPECT_EQ(value["a"].text(), "<array>");
  EXPECT_TRUE(value["b"].isArray());
}

TEST(PropertyListDepth, SharedObjectsAreMeasuredOnce) {
  // Each of 60 levels refers twice to the next: 2^60 paths, 61 objects.
  const std::string bytes = testing::sharedArraysBinary(60);
  EXPECT_FALSE(propertyListNestsDeeperThan(bytes, 100));
  EXPECT_TRUE(propertyListNestsDeeperThan(bytes, 30));
}

// Some hundred bytes of arrays that each hold the next one twice parse into
// 2^(levels+1) - 1 values: refused before they reach the library, which
// copies every shared object once per reference (24 levels crashed, 40
// exhausted the machine's memory).
TEST(PropertyListExpansion, SharedArraysThatExpandPastTheLimitAreRefused) {
  for (uint64_t levels : {24, 40, 200}) {
    const std::string bomb = testing::sharedArraysBinary(levels);
    EXPECT_TRUE(binaryPlistExpandsBeyond(bomb)) << levels;
    EXPECT_TRUE(parsePropertyList(bomb).isAbsent()) << levels;
  }
  // 2^11 - 1 values: exactly at a limit of 2047, one past a limit of 2046.
  const std::string small = testing::sharedArraysBinary(10);
  EXPECT_FALSE(binaryPlistExpandsBeyond(small, 2047));
  EXPECT_TRUE(binaryPlistExpandsBeyond(small, 2046));
  const Value read = parsePropertyList(small);
  ASSERT_TRUE(read.isArray());
  EXPECT_EQ(read[0][0][0][0][0][0][0][0][1], Value(Value::Array{Value(false), Value(false)}));
}

// One array referring to a single `false` object many times: the array and
// its elements count, the shared object once per reference.
TEST(PropertyListExpansion, AListAtTheLimitIsReadAndOneMoreValueIsRefused) {
  const auto wide = [](uint64_t elements) {
    return testing::binaryPlistOf({testing::binaryArrayOf(std::vector<uint64_t>(elements, 1)), "\x08"});
  };
  const std::string atLimit = wide(kPropertyListMaxValues - 1);
  EXPECT_FALSE(binaryPlistExpandsBeyond(atLimit));
  EXPECT_EQ(parsePropertyList(atLimit).count(), kPropertyListMaxValues - 1);
  EXPECT_TRUE(binaryPlistExpandsBeyond(wide(kPropertyListMaxValues)));
  EXPECT_TRUE(parsePropertyList(wide(kPropertyListMaxValues)).isAbsent());
}

// Objects that hold each other have no finite expansion, however few they are.
TEST(PropertyListExpansion, LoopsAreRefused) {
  using testing::binaryArrayOf;
  const std::pair<const char*, std::string> loops[] = {
      {"an array holding itself", testing::binaryPlistOf({binaryArrayOf({0})})},
      {"two arrays holding each other", testing::binaryPlistOf({binaryArrayOf({1}), binaryArrayOf({2, 0})})},
      {"a loop below a shared object",
       testing::binaryPlistOf({binaryArrayOf({1, 1}), binaryArrayOf({2}), binaryArrayOf({1})})},
      {"a chain of five back to its top", nestedBinary(5, true)},
  };
  for (const auto& [name, bytes] : loops) {
    EXPECT_TRUE(binaryPlistExpandsBeyond(bytes)) << name;
    EXPECT_TRUE(parsePropertyList(bytes).isAbsent()) << name;
  }
  EXPECT_FALSE(binaryPlistExpandsBeyond(nestedBinary(5)));
}

// A dictionary far larger than any store: every key read, in file order,
// each with its own value.
TEST(PropertyListReading, LargeXmlDictionaryIsReadWhole) {
  constexpr size_t kKeys = 100000;
  std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>";
  for (size_t i = 0; i < kKeys; ++i)
    xml += "<key>k" + std::to_string(i) + "</key><integer>" + std::to_string(i * 3) + "</integer>";
  xml += "</dict></plist>";
  const Value value = parsePropertyList(xml);
  ASSERT_EQ(value.count(), kKeys);
  size_t at = 0;
  for (const auto& [key, item] : *value.dictionary()) {
    ASSERT_EQ(key, "k" + std::to_string(at)) << at;
    ASSERT_EQ(item.intValue(), static_cast<int64_t>(at * 3)) << at;
    ++at;
  }
  EXPECT_EQ(value["k98765"].intValue(), 296295);
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

#include "inventory/keyed_archive.h"

#include <gtest/gtest.h>

#include "core/plist_io.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

Value dict(std::initializer_list<std::pair<const char*, Value>> entries) {
  Dictionary d;
  for (const auto& [key, value] : entries) d.set(key, value);
  return Value(std::move(d));
}

TEST(KeyedArchiveTest, EncodedValuesDecodeToThemselves) {
  const Value cases[] = {
      Value("pop.example.jp"),
      Value("山田花子"),
      Value(""),
      Value(110),
      Value(int64_t{-5}),
      Value(int64_t{5000000000}),
      Value(2.5),
      Value(true),
      Value(false),
      Value(Data{std::string("\x00\x01\xff", 3)}),
      Value(Date{500000000.0}),
      Value(Value::Array{}),
      dict({}),
      dict({{"DisplayName", Value("Hanako Yamada")},
            {"EmailAddresses", Value(Value::Array{dict({{"EmailAddress", Value("hanako@example.jp")}})})},
            {"Port", Value(995)},
            {"SSL", Value(true)}}),
      Value(Value::Array{Value("a"), Value("a"), dict({{"k", Value(Value::Array{Value(1), Value("x")})}})}),
  };
  for (const Value& value : cases) {
    auto archive = encodeKeyedArchive(value);
    ASSERT_TRUE(archive) << toXmlPropertyList(value);
    EXPECT_EQ(decodeKeyedArchive(*archive), value) << toXmlPropertyList(value);
  }
}

TEST(KeyedArchiveTest, EncoderWritesTheSystemsLayout) {
  auto archive = encodeKeyedArchive(dict({{"Hostname", Value("pop.example.jp")}}));
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->substr(0, 8), "bplist00");
  Value plist = parsePropertyList(*archive);
  EXPECT_TRUE(plist["$archiver"].equals("NSKeyedArchiver"));
  EXPECT_EQ(plist["$version"], Value(100000));
  EXPECT_TRUE(plist["$objects"][0].equals("$null"));
  EXPECT_EQ(plist["$top"]["root"], Value(Uid{1}));
  const Value& root = plist["$objects"][1];
  const Value& classRef = root["$class"];
  ASSERT_TRUE(classRef.uid());
  EXPECT_TRUE(plist["$objects"][classRef.uid()->value]["$classname"].equals("NSDictionary"));
  EXPECT_EQ(root["NS.keys"].count(), 1u);
}

TEST(KeyedArchiveTest, TextThatIsNotUtf8IsNotArchived) {
  EXPECT_EQ(encodeKeyedArchive(Value("caf\xe9")), std::nullopt);
  EXPECT_TRUE(encodeKeyedArchive(Value("caf\xc3\xa9")));
}

TEST(KeyedArchiveTest, AbsentValueIsNotArchived) {
  EXPECT_FALSE(encodeKeyedArchive(Value()));
  EXPECT_FALSE(encodeKeyedArchive(Value(Uid{3})));
}

// Shaped like the archives the system and other tools write: mutable classes,
// string objects, "$null" members and a root under another name.
constexpr const char* kForeignArchive = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
  <key>$archiver</key><string>NSKeyedArchiver</string>
  <key>$objects</key>
  <array>
    <string>$null</string>
    <dict>
      <key>$class</key><dict><key>CF$UID</key><integer>9</integer></dict>
      <key>NS.keys</key><array>
        <dict><key>CF$UID</key><integer>2</integer></dict>
        <dict><key>CF$UID</key><integer>3</integer></dict>
        <dict><key>CF$UID</key><integer>4</integer></dict>
      </array>
      <key>NS.objects</key><array>
        <dict><key>CF$UID</key><integer>5</integer></dict>
        <dict><key>CF$UID</key><integer>6</integer></dict>
        <dict><key>CF$UID</key><integer>0</integer></dict>
      </array>
    </dict>
    <string>DisplayName</string>
    <string>EmailAddresses</string>
    <string>Nothing</string>
    <dict>
      <key>$class</key><dict><key>CF$UID</key><integer>11</integer></dict>
      <key>NS.string</key><string>Taro Suzuki</string>
    </dict>
    <dict>
      <key>$class</key><dict><key>CF$UID</key><integer>10</integer></dict>
      <key>NS.objects</key><array>
        <dict><key>CF$UID</key><integer>7</integer></dict>
        <dict><key>CF$UID</key><integer>0</integer></dict>
        <dict><key>CF$UID</key><integer>8</integer></dict>
      </array>
    </dict>
    <string>taro@example.com</string>
    <true/>
    <dict>
      <key>$classes</key><array><string>NSMutableDictionary</string><string>NSDictionary</string><string>NSObject</string></array>
      <key>$classname</key><string>NSMutableDictionary</string>
    </dict>
    <dict>
      <key>$classes</key><array><string>NSMutableArray</string><string>NSArray</string><string>NSObject</string></array>
      <key>$classname</key><string>NSMutableArray</string>
    </dict>
    <dict>
      <key>$classes</key><array><string>NSMutableString</string><string>NSString</string><string>NSObject</string></array>
      <key>$classname</key><string>NSMutableString</string>
    </dict>
  </array>
  <key>$top</key><dict><key>$0</key><dict><key>CF$UID</key><integer>1</integer></dict></dict>
  <key>$version</key><integer>100000</integer>
</dict>
</plist>
)";

TEST(KeyedArchiveTest, DecodesArchivesWrittenElsewhere) {
  Value expected = dict({{"DisplayName", Value("Taro Suzuki")},
                         {"EmailAddresses", Value(Value::Array{Value("taro@example.com"), Value(true)})}});
  EXPECT_EQ(decodeKeyedArchive(kForeignArchive), expected);
  // The same archive in the binary form the accounts database holds.
  EXPECT_EQ(decodeKeyedArchive(toBinaryPropertyList(parsePropertyList(kForeignArchive))), expected);
}

// An archive whose $objects are given; the root is reference 1.
std::string archiveWithObjects(Value::Array objects, Value top = dict({{"root", Value(Uid{1})}})) {
  return toBinaryPropertyList(dict({{"$archiver", Value("NSKeyedArchiver")},
                                    {"$objects", Value(std::move(objects))},
                                    {"$top", std::move(top)},
                                    {"$version", Value(100000)}}));
}

Value classNamed(const char* name) { return dict({{"$classname", Value(name)}, {"$classes", Value::strings({name})}}); }

TEST(KeyedArchiveTest, DecodesObjectFormsOfDataDatesAndSets) {
  struct Case {
    const char* what;
    Value::Array objects;
    Value expected;
  };
  const Case cases[] = {
      {"mutable data",
       {Value("$null"), dict({{"$class", Value(Uid{2})}, {"NS.data", Value(Data{"\x01\x02"})}}),
        classNamed("NSMutableData")},
       Value(Data{"\x01\x02"})},
      {"date",
       {Value("$null"), dict({{"$class", Value(Uid{2})}, {"NS.time", Value(500000000.5)}}), classNamed("NSDate")},
       Value(Date{500000000.5})},
      {"set",
       {Value("$null"), dict({{"$class", Value(Uid{3})}, {"NS.objects", Value(Value::Array{Value(Uid{2})})}}),
        Value("pop.example.jp"), classNamed("NSSet")},
       Value::strings({"pop.example.jp"})},
      {"string object",
       {Value("$null"), dict({{"$class", Value(Uid{2})}, {"NS.string", Value("hanako")}}), classNamed("NSString")},
       Value("hanako")},
  };
  for (const auto& c : cases) EXPECT_EQ(decodeKeyedArchive(archiveWithObjects(c.objects)), c.expected) << c.what;
}

TEST(KeyedArchiveTest, WhatIsNotAnArchiveOfKnownObjectsDecodesToAbsent) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"text", "not an archive"},
      {"plain property list", toBinaryPropertyList(dict({{"Hostname", Value("pop.example.jp")}}))},
      {"other archiver", toBinaryPropertyList(dict({{"$archiver", Value("Other")}, {"$objects", Value::strings({"$null", "x"})},
                                                    {"$top", dict({{"root", Value(Uid{1})}})}}))},
      {"no root", archiveWithObjects({Value("$null"), Value("x")}, dict({}))},
      {"$top a list of one reference", archiveWithObjects({Value("$null"), Value("x")}, Value(Value::Array{Value(Uid{1})}))},
      {"$null root", archiveWithObjects({Value("$null")}, dict({{"root", Value(Uid{0})}}))},
      {"reference out of range", archiveWithObjects({Value("$null")})},
      {"unknown class",
       archiveWithObjects({Value("$null"), dict({{"$class", Value(Uid{2})}, {"NSRGB", Value("0 0 0")}}), classNamed("NSColor")})},
      {"list holding itself",
       archiveWithObjects({Value("$null"), dict({{"$class", Value(Uid{2})}, {"NS.objects", Value(Value::Array{Value(Uid{1})})}}),
                           classNamed("NSArray")})},
      {"lists sharing their members to blow up in size", [] {
         // Object i is a list holding object i+1 twice: 2^60 members when expanded.
         Value::Array objects{Value("$null")};
         for (uint64_t i = 1; i <= 60; ++i)
           objects.push_back(dict({{"$class", Value(Uid{62})}, {"NS.objects", Value(Value::Array{Value(Uid{i + 1}), Value(Uid{i + 1})})}}));
         objects.push_back(Value("leaf"));
         objects.push_back(classNamed("NSArray"));
         return archiveWithObjects(objects);
       }()},
      {"number as dictionary key",
       archiveWithObjects({Value("$null"),
                           dict({{"$class", Value(Uid{4})},
                                 {"NS.keys", Value(Value::Array{Value(Uid{2})})},
                                 {"NS.objects", Value(Value::Array{Value(Uid{3})})}}),
                           Value(7), Value("x"), classNamed("NSDictionary")})},
      {"keys and objects of different lengths",
       archiveWithObjects({Value("$null"),
                           dict({{"$class", Value(Uid{3})},
                                 {"NS.keys", Value(Value::Array{Value(Uid{2})})},
                                 {"NS.objects", Value(Value::Array{})}}),
                           Value("k"), classNamed("NSDictionary")})},
  };
  for (const auto& c : cases) EXPECT_TRUE(decodeKeyedArchive(c.bytes).isAbsent()) << c.what;
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// Inputs the fuzzer found: each decodes to absent or to a value that archives
// and decodes again to itself.
TEST(KeyedArchiveTest, FuzzFindingsDecodeSafely) {
  const std::string folder = std::string(CORVANE_TESTDATA) + "/../fuzz/corpus/keyed_archive/";
  for (const char* name : {"regression-string-not-utf8", "regression-name-not-utf8", "regression-top-is-a-list",
                           "regression-key-with-nul", "regression-key-with-nul-2"}) {
    const std::string bytes = testing::readHostFile(folder + name);
    ASSERT_FALSE(bytes.empty()) << name;
    const Value value = decodeKeyedArchive(bytes);
    if (value.isAbsent()) continue;
    // A text that is not UTF-8 cannot be archived again; anything else can.
    const auto archive = encodeKeyedArchive(value);
    if (archive) {
      EXPECT_EQ(decodeKeyedArchive(*archive), value) << name;
    }
  }
}

}  // namespace
}  // namespace corvane

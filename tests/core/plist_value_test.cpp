#include "core/plist_value.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

Value sampleStore() {
  Dictionary service;
  service.set("UserDefinedName", "Built-in Ethernet");
  Dictionary services;
  services.set("0", Value(service));
  Dictionary root;
  root.set("CurrentSet", "/Sets/0");
  root.set("NetworkServices", Value(services));
  return Value(root);
}

TEST(AbsentValue, LookupThroughMissingLevelsIsAbsent) {
  Value store = sampleStore();
  const Value& missing = store["Sets"]["0"]["Network"]["Global"]["IPv4"]["ServiceOrder"];
  EXPECT_TRUE(missing.isAbsent());
  EXPECT_EQ(missing.count(), 0u);
  EXPECT_EQ(missing.length(), 0u);
  EXPECT_EQ(missing.intValue(), 0);
  EXPECT_FALSE(missing.equals(""));
  EXPECT_EQ(missing.text(), "");
}

TEST(AbsentValue, LookupInANonDictionaryIsAbsent) {
  Value store = sampleStore();
  EXPECT_TRUE(store["CurrentSet"]["x"].isAbsent());
  EXPECT_TRUE(store["CurrentSet"][0].isAbsent());
  EXPECT_TRUE(Value::strings({"a"})[1].isAbsent());
  EXPECT_TRUE(Value::strings({"a"})[-1].isAbsent());
  EXPECT_TRUE(store[0].isAbsent());
}

TEST(Value, IntegerValueOfEachKind) {
  EXPECT_EQ(Value(int64_t{42}).intValue(), 42);
  EXPECT_EQ(Value("  -7x").intValue(), -7);
  EXPECT_EQ(Value("abc").intValue(), 0);
  EXPECT_EQ(Value(true).intValue(), 1);
  EXPECT_EQ(Value(2.9).intValue(), 2);
  EXPECT_EQ(Value(Dictionary{}).intValue(), 0);
}

TEST(Value, EqualsOnlyStrings) {
  EXPECT_TRUE(Value("1").equals("1"));
  EXPECT_FALSE(Value(1).equals("1"));
  EXPECT_EQ(Value("abc").length(), 3u);
  EXPECT_EQ(Value(123).length(), 0u);
}

TEST(Dictionary, KeepsInsertionOrderAndReplacesInPlace) {
  Dictionary d;
  for (const char* key : {"zeta", "alpha", "mid"}) d.set(key, key);
  d.set("alpha", "again");
  std::vector<std::string> keys;
  for (const auto& [k, v] : d) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"zeta", "alpha", "mid"}));
  EXPECT_TRUE(d.find("alpha")->equals("again"));
}

TEST(Dictionary, LargeDictionaryLookupsAndErase) {
  Dictionary d;
  for (int i = 0; i < 100; ++i) d.set(std::to_string(i), i);
  ASSERT_EQ(d.size(), 100u);
  EXPECT_EQ(d.find("57")->intValue(), 57);
  EXPECT_TRUE(d.erase("57"));
  EXPECT_FALSE(d.erase("57"));
  EXPECT_EQ(d.find("57"), nullptr);
  EXPECT_EQ(d.find("58")->intValue(), 58);
  EXPECT_EQ(d.entries()[57].first, "58");
  Dictionary copy = d;
  d.set("58", "changed");
  EXPECT_EQ(copy.find("58")->intValue(), 58);
}

TEST(Value, AppendMakesAnArrayOnlyFromAbsent) {
  Value list;
  list.append("a");
  list.append("b");
  EXPECT_EQ(list.count(), 2u);
  Value text("x");
  text.append("y");
  EXPECT_TRUE(text.equals("x"));
}

}  // namespace
}  // namespace corvane

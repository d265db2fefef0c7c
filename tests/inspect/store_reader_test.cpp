#include <gtest/gtest.h>

#include "inspect/get_port.h"
#include "inspect_fixture.h"

namespace corvane {
namespace {

using testing::dict;
using testing::list;
using testing::ScriptedTools;
using testing::SystemRoot;

Value storeNamed(const char* name) { return dict({{"Tag", name}, {"CurrentSet", "/Sets/0"}}); }

TEST(LoadStore, ChoosesTheFileByOSVersion) {
  struct Case {
    const char* version;
    bool newFile, oldFile;
    const char* expected;  // Tag of the store read, "" for none
  } cases[] = {
      {"10.3", true, true, "new"},   {"10.12.6", true, true, "new"}, {"10.3.9", false, true, "old"},
      {"10.2.8", true, true, "old"}, {"10.2.8", true, false, ""},    {"10.4", false, false, ""},
  };
  for (const auto& c : cases) {
    SystemRoot root(c.version);
    if (c.newFile) root.writePlist(kStorePath, storeNamed("new"));
    if (c.oldFile) root.writePlist(kOldStorePath, storeNamed("old"));
    Platform& platform = root;
    EXPECT_EQ(loadStore(platform)["Tag"].text(), c.expected) << c.version << " " << c.newFile << c.oldFile;
  }
}

TEST(LoadStore, FallsBackWhenTheNewFileIsNoDictionary) {
  const char* unreadable[] = {"garbage", "", "<?xml version=\"1.0\"?><plist><array/></plist>"};
  for (const char* bytes : unreadable) {
    SystemRoot root("10.4.11");
    root.write(kStorePath, bytes);
    root.writePlist(kOldStorePath, storeNamed("old"));
    Platform& platform = root;
    EXPECT_EQ(loadStore(platform)["Tag"].text(), "old") << bytes;
  }
}

TEST(LoadStore, AnEmptyDictionaryIsAnEmptyStoreNotAFailure) {
  SystemRoot root("10.4.11");
  root.writePlist(kStorePath, dict({}));
  root.writePlist(kOldStorePath, storeNamed("old"));
  Platform& platform = root;
  Value store = loadStore(platform);
  EXPECT_TRUE(store.isDictionary());
  EXPECT_EQ(store.count(), 0u);
  EXPECT_EQ(getCurrentSet(platform), Value::strings({""}));
}

TEST(LoadStore, ReadsBinaryStores) {
  SystemRoot root("10.6.8");
  root.write(kStorePath, toBinaryPropertyList(storeNamed("binary")));
  Platform& platform = root;
  EXPECT_EQ(loadStore(platform)["Tag"].text(), "binary");
}

Value twoServiceStore() {
  return dict({
      {"CurrentSet", "/Sets/0"},
      {"NetworkServices", dict({{"X", dict({{"UserDefinedName", "x"}})}, {"Y", dict({{"UserDefinedName", "y"}})}})},
      {"Sets",
       dict({{"0", dict({{"Network",
                          dict({{"Global", dict({{"IPv4", dict({{"ServiceOrder", Value::strings({"A", "B"})}})}})},
                                {"Service", dict({{"A", dict({{"__LINK__", "/NetworkServices/X"}})},
                                                  {"B", dict({{"__LINK__", "/NetworkServices/Y"}})}})}})}})},
             {"1",
              dict({{"Network", dict({{"Global", dict({{"IPv4", dict({{"ServiceOrder", Value::strings({"C"})}})}})},
                                      {"Service", dict({{"C", dict({{"__LINK__", "/NetworkServices/Z"}})}})}})}})}})},
  });
}

TEST(GetCurrentSet, GivesTheServiceIDsInServiceOrder) {
  EXPECT_EQ(getCurrentSet(twoServiceStore()), Value::strings({"X", "Y"}));
}

TEST(GetCurrentSet, EdgeCases) {
  Value store = twoServiceStore();
  struct Case {
    const char* name;
    Value store;
    Value expected;
  };
  Value otherSet = store;
  otherSet.dictionary()->set("CurrentSet", "/Sets/1");
  Value noOrder = dict({{"CurrentSet", "/Sets/0"}, {"Sets", dict({{"0", dict({})}})}});
  Value missingLink =
      dict({{"CurrentSet", "/Sets/0"},
            {"Sets",
             dict({{"0", dict({{"Network",
                                dict({{"Global", dict({{"IPv4", dict({{"ServiceOrder", list({"A", "B", 7})}})}})},
                                      {"Service", dict({{"B", dict({{"__LINK__", "/NetworkServices/Y"}})}})}})}})}})}});
  const Case cases[] = {
      {"current set 1", otherSet, Value::strings({"Z"})},
      {"no service order", noOrder, list({})},
      {"references without a link are skipped", missingLink, Value::strings({"Y"})},
      {"no current set", dict({{"Sets", dict({})}}), list({})},
      {"empty store", dict({}), Value::strings({""})},
      {"no store", Value(), Value::strings({""})},
  };
  for (const auto& c : cases) EXPECT_EQ(getCurrentSet(c.store), c.expected) << c.name;
}

TEST(GetServiceAndKey, SkipsInactiveServices) {
  auto withInactive = [](Value inactive) {
    Value service = dict({{"UserDefinedName", "Modem"}});
    if (!inactive.isAbsent()) service.dictionary()->set("__INACTIVE__", inactive);
    return dict({{"NetworkServices", dict({{"1", service}})}});
  };
  EXPECT_EQ(getServiceAndKey(withInactive(1), "1"), dict({}));
  EXPECT_EQ(getServiceAndKey(withInactive("1"), "1"), dict({}));
  EXPECT_EQ(getServiceAndKey(withInactive(0), "1")["UserDefinedName"].text(), "Modem");
  EXPECT_EQ(getServiceAndKey(withInactive(Value()), "1")["UserDefinedName"].text(), "Modem");
  EXPECT_EQ(getServiceAndKey(withInactive(2), "1")["UserDefinedName"].text(), "Modem");
  EXPECT_TRUE(getServiceAndKey(withInactive(0), "2").isAbsent());
  EXPECT_EQ(getServiceAndKey(dict({}), "1"), dict({}));
  EXPECT_EQ(getServiceAndKey(Value(), "1"), dict({}));
}

TEST(GetServiceAndKey, ReadsTheStoreOnEveryCall) {
  SystemRoot root("10.6.8");
  root.writePlist(kStorePath, dict({{"NetworkServices", dict({{"1", dict({{"UserDefinedName", "before"}})}})}}));
  Platform& platform = root;
  EXPECT_EQ(getServiceAndKey(platform, "1")["UserDefinedName"].text(), "before");
  root.writePlist(kStorePath, dict({{"NetworkServices", dict({{"1", dict({{"UserDefinedName", "after"}})}})}}));
  EXPECT_EQ(getServiceAndKey(platform, "1")["UserDefinedName"].text(), "after");
}

TEST(GetType, GivesNameTypeAndDevice) {
  testing::SystemRoot platform;
  Value service = dict(
      {{"Interface", dict({{"DeviceName", "en0"}, {"Type", "Ethernet"}, {"UserDefinedName", "Built-in Ethernet"}})}});
  EXPECT_EQ(getType(platform, service), Value::strings({"Built-in Ethernet", "Ethernet", "en0"}));
  EXPECT_EQ(getType(platform, dict({})), Value::strings({"", "", ""}));
  EXPECT_EQ(getType(platform, Value()), Value::strings({"", "", ""}));
  EXPECT_EQ(getType(platform, dict({{"Interface", dict({{"DeviceName", 5}, {"Type", ""}})}})),
            Value::strings({"", "", ""}));
}

TEST(GetServiceID, RunsPsWithItsArgument) {
  ScriptedTools platform;
  platform.outputs["/bin/ps"] = "  123  ??  Ss     0:00.05 pppd serviceid ABC optionsfd 3\n";
  EXPECT_EQ(getServiceID(platform), "ABC");
  ASSERT_EQ(platform.runs.size(), 1u);
  EXPECT_EQ(platform.runs[0].second, std::vector<std::string>{"-a"});
}

TEST(GetServiceID, NoPsGivesNothing) {
  SystemRoot root("10.4.11");
  Platform& platform = root;
  EXPECT_EQ(getServiceID(platform), "");
}

}  // namespace
}  // namespace corvane

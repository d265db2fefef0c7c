// The capture's placeholders found back in a repaired store: each type comes
// out as the placeholder's text for apply.sh; what cannot be put back whole
// stops the kit.

#include "repair/kit_secrets.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

const std::string kText = "@@corvane-secret:20261211-1-42:1:1@@";
const std::string kData = "@@corvane-secret:20261211-1-42:1:2@@";
const std::string kNumber = "@@corvane-secret:20261211-1-42:3:17@@";
const std::string kArray = "@@corvane-secret:20261211-1-42:1:4@@";
const std::string kDictionary = "@@corvane-secret:20261211-1-42:1:5@@";
const std::string kUrl = "@@corvane-secret:20261211-1-42:1:6@@";

const std::vector<CapturedSecret> kSecrets = {{kText, "string"}, {kData, "data"},       {kNumber, "integer"},
                                              {kArray, "array"}, {kDictionary, "dict"}, {kUrl, "string"}};

TEST(KitSecrets, EachTypeBecomesItsPlaceholderWhereverTheRepairPutIt) {
  EXPECT_EQ(secretMarkerNumber(kNumber), "-731900003000017");
  Dictionary inner;
  inner.set("corvane-secret", kDictionary);
  Dictionary ppp;
  ppp.set("AuthPassword", kText);
  ppp.set("SharedSecret", Data{kData});
  ppp.set("PIN", int64_t{-731900003000017});
  ppp.set("AuthSecretList", Value::strings({kArray}));
  ppp.set("Store", Value(inner));
  ppp.set("ProxyAutoConfigURLString", "http://bob:" + kUrl + "@proxy/x.pac");
  ppp.set("Port", 8080);
  Dictionary store;
  store.set("PPP", Value(ppp));
  store.set("Copy", Value(ppp));  // the builder may copy a dictionary elsewhere

  const MarkedSecrets marked = markSecretsForKit(Value(store), kSecrets);
  ASSERT_TRUE(marked.ok()) << marked.failure;
  for (const char* where : {"PPP", "Copy"}) {
    const Value& out = marked.store[where];
    EXPECT_EQ(out["AuthPassword"].text(), kText);
    EXPECT_EQ(out["SharedSecret"].text(), kData);
    EXPECT_EQ(out["PIN"].text(), kNumber);
    EXPECT_EQ(out["AuthSecretList"].text(), kArray);
    EXPECT_EQ(out["Store"].text(), kDictionary);
    EXPECT_EQ(out["ProxyAutoConfigURLString"].text(), kUrl);
    EXPECT_EQ(out["Port"].intValue(), 8080);
  }
  EXPECT_EQ(marked.placeholders.size(), 6u);
}

TEST(KitSecrets, WhatCannotBePutBackWholeStopsTheKit) {
  const std::string foreign = "@@corvane-secret:20200101-9-9:1:1@@";
  struct Case {
    const char* what;
    Value store;
    const char* message;
  };
  Dictionary keyed;
  keyed.set("x" + kText, 1);
  const Case cases[] = {
      {"another capture's", Value(Value::strings({foreign})), "does not list"},
      {"a text as data", Value(Data{kText}), "type string, not data"},
      {"two in one text", Value(kUrl + " " + kText), "two different"},
      {"inside data", Value(Data{"x" + kData}), "cannot be put back whole"},
      {"in a key", Value(keyed), "in a key"},
  };
  for (const Case& c : cases) {
    const MarkedSecrets marked = markSecretsForKit(c.store, kSecrets);
    EXPECT_FALSE(marked.ok()) << c.what;
    EXPECT_NE(marked.failure.find(c.message), std::string::npos) << c.what << ": " << marked.failure;
  }
}

}  // namespace
}  // namespace corvane

#include "inventory/account_predicate.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

Dictionary propertyRow() {
  Dictionary row;
  row.set("Z_PK", Value(12));
  row.set("ZOWNER", Value(2));
  row.set("ZKEY", Value("Hostname"));
  row.set("ZIDENTIFIER", Value("com.apple.account.POP"));
  row.set("ZDATE", Value(2.0));
  row.set("ZTEXTNUMBER", Value("2"));
  return row;
}

TEST(AccountPredicateTest, MatchesTheSupportedForms) {
  struct Case {
    const char* format;
    std::vector<int64_t> args;
    bool matches;
  };
  const Case cases[] = {
      {"ZIDENTIFIER = 'com.apple.account.POP'", {}, true},
      {"ZIDENTIFIER='com.apple.account.POP'", {}, true},
      {"ZIDENTIFIER = \"com.apple.account.POP\"", {}, true},
      {"ZIDENTIFIER = 'com.apple.account.pop'", {}, false},  // exact, case included
      {"ZIDENTIFIER = 'com.apple.account.SMTP'", {}, false},
      {"ZOWNER = %ld", {2}, true},
      {"ZOWNER=%ld", {2}, true},
      {"ZOWNER = %ld", {3}, false},
      {"ZOWNER = %d", {2}, true},
      {"ZOWNER = 2", {}, true},
      {"ZDATE = %ld", {2}, true},         // a real column of equal value
      {"ZTEXTNUMBER = %ld", {2}, false},  // an integer never matches a text column
      {"ZOWNER = '2'", {}, false},        // nor a text a number column
      {"ZMISSING = %ld", {0}, false},
      {"ZOWNER = %ld AND ZKEY = 'Hostname'", {2}, true},
      {"ZOWNER = %ld AND ZKEY = 'EmailAliases'", {2}, false},
      {"ZOWNER = %ld AND ZKEY = 'Hostname'", {5}, false},
      {"Z_PK = %ld AND ZOWNER = %ld AND ZKEY='Hostname'", {12, 2}, true},
  };
  const Dictionary row = propertyRow();
  for (const auto& c : cases) {
    auto predicate = AccountPredicate::parse(c.format, c.args);
    ASSERT_TRUE(predicate) << c.format;
    EXPECT_EQ(predicate->matches(row), c.matches) << c.format;
  }
}

TEST(AccountPredicateTest, RejectsEverythingElse) {
  struct Case {
    const char* format;
    std::vector<int64_t> args;
  };
  const Case cases[] = {
      {"", {}},
      {"ZOWNER", {}},
      {"ZOWNER = ", {}},
      {"ZOWNER == 2", {}},
      {"ZOWNER != 2", {}},
      {"ZOWNER > 2", {}},
      {"ZOWNER = %ld", {}},      // argument missing
      {"ZOWNER = %ld", {1, 2}},  // argument left over
      {"ZOWNER = %@", {}},
      {"ZKEY = 'Hostname", {}},      // unterminated
      {"ZKEY = 'Host\\'name'", {}},  // escapes
      {"ZKEY = '%ld'", {1}},
      {"ZOWNER = 2 OR ZOWNER = 3", {}},
      {"ZOWNER = 2 and ZKEY = 'Hostname'", {}},
      {"ZOWNER = 2AND ZKEY = 'Hostname'", {}},
      {"ZOWNER = 2 AND", {}},
      {"AND = 2", {}},
      {"ZKEY BEGINSWITH 'Host'", {}},
      {"(ZOWNER = 2)", {}},
      {"ZOWNER = 2; DROP TABLE ZACCOUNT", {}},
  };
  for (const auto& c : cases) EXPECT_FALSE(AccountPredicate::parse(c.format, c.args)) << c.format;
}

TEST(AccountPredicateTest, ReadsTermsInOrder) {
  auto predicate = AccountPredicate::parse("ZOWNER = %ld AND ZKEY = 'Hostname'", {7});
  ASSERT_TRUE(predicate);
  ASSERT_EQ(predicate->terms().size(), 2u);
  EXPECT_EQ(predicate->terms()[0].column, "ZOWNER");
  EXPECT_EQ(predicate->terms()[0].expected, Value(7));
  EXPECT_EQ(predicate->terms()[1].column, "ZKEY");
  EXPECT_EQ(predicate->terms()[1].expected, Value("Hostname"));
}

}  // namespace
}  // namespace corvane

#include "inventory/mail_account.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using Names = std::vector<std::string>;

TEST(MailAccountTest, StartsWithItsValuesAndNoMarks) {
  MailAccount row({"Z_PK", "ZUSERNAME"}, {Value(2), Value("hanako")});
  EXPECT_EQ(row.count(), 2u);
  EXPECT_EQ(row.objectForKey("ZUSERNAME"), Value("hanako"));
  EXPECT_EQ(row.keys(), (Names{"Z_PK", "ZUSERNAME"}));
  EXPECT_TRUE(row.updateList().empty());
  EXPECT_TRUE(row.objectForKey("ZMISSING").isAbsent());
}

TEST(MailAccountTest, MarksOnlyKeysThatAlreadyHadAValue) {
  MailAccount row({"ZUSERNAME"}, {Value("hanako")});
  row.setObject(Value("Hanako"), "ZACCOUNTDESCRIPTION");  // new key: not marked
  EXPECT_TRUE(row.updateList().empty());
  row.setObject(Value("taro"), "ZUSERNAME");
  row.setObject(Value("jiro"), "ZUSERNAME");
  row.setObject(Value("Home"), "ZACCOUNTDESCRIPTION");
  EXPECT_EQ(row.updateList(), (Names{"ZUSERNAME", "ZACCOUNTDESCRIPTION"}));
  EXPECT_EQ(row.objectForKey("ZUSERNAME"), Value("jiro"));
}

TEST(MailAccountTest, RemovingKeepsMarksAndDoesNotAddThem) {
  MailAccount row({"ZUSERNAME", "ZACTIVE"}, {Value("hanako"), Value(1)});
  row.setObject(Value("taro"), "ZUSERNAME");
  row.removeObjectForKey("ZUSERNAME");
  row.removeObjectForKey("ZACTIVE");
  EXPECT_EQ(row.count(), 0u);
  EXPECT_EQ(row.updateList(), (Names{"ZUSERNAME"}));
  row.didChangeValueForKey("ZACTIVE");
  row.didChangeValueForKey("ZACTIVE");
  EXPECT_EQ(row.updateList(), (Names{"ZUSERNAME", "ZACTIVE"}));
}

}  // namespace
}  // namespace corvane

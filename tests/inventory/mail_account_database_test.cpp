#include "inventory/mail_account_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

#include "captured_system.h"
#include "inventory/keyed_archive.h"

namespace corvane {
namespace {

using testing::CapturedSystem;

const std::string kAccounts3 = "/Users/user/Library/Accounts/Accounts3.sqlite";
const std::string kAccounts4 = "/Users/user/Library/Accounts/Accounts4.sqlite";

// Runs SQL on a database file directly, as another program would.
void runSql(const std::string& hostPath, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(hostPath.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  sqlite3_close(db);
}

TEST(MailAccountDatabaseTest, ChoosesTheFileByOSVersion) {
  CapturedSystem eleven("inv-10.11"), twelve("inv-10.12");
  EXPECT_EQ(accountsDatabasePath(*eleven.platform()), kAccounts3);
  EXPECT_EQ(accountsDatabasePath(*twelve.platform()), kAccounts4);
}

TEST(MailAccountDatabaseTest, LoadsEveryRowWithItsValues) {
  CapturedSystem system("inv-10.11");
  auto platform = system.platform();
  MailAccountDatabase accounts(*platform, "ZACCOUNT");
  EXPECT_EQ(accounts.initError(), 0);
  ASSERT_EQ(accounts.count(), 6u);
  auto second = accounts.objectAtIndex(1);
  EXPECT_EQ(second->objectForKey("Z_PK"), Value(2));
  EXPECT_EQ(second->objectForKey("ZUSERNAME"), Value("hanako"));
  EXPECT_EQ(second->objectForKey("ZDATE"), Value(470000100.25));
  EXPECT_EQ(second->keys().front(), "Z_PK");
  EXPECT_EQ(second->count(), 16u);
  // A null column is the number 0, not a missing value.
  EXPECT_EQ(accounts.objectAtIndex(5)->objectForKey("ZUSERNAME"), Value(0));
  // Loading marks nothing.
  EXPECT_TRUE(second->updateList().empty());
  EXPECT_TRUE(system.logs().empty());
}

TEST(MailAccountDatabaseTest, DecodesKeyedArchiveValues) {
  CapturedSystem system("inv-10.11");
  auto platform = system.platform();
  MailAccountDatabase properties(*platform, "ZACCOUNTPROPERTY");
  EXPECT_EQ(properties.initError(), 0);
  auto aliases = properties.search("ZOWNER = %ld AND ZKEY = 'EmailAliases'", {2});
  ASSERT_TRUE(aliases);
  const Value& value = aliases->objectForKey("ZVALUE");
  EXPECT_TRUE(value[0]["DisplayName"].equals("Hanako Yamada"));
  EXPECT_TRUE(value[0]["EmailAddresses"][1]["EmailAddress"].equals("hanako.alias@example.jp"));
  EXPECT_EQ(properties.search("ZOWNER = %ld AND ZKEY = 'PortNumber'", {2})->objectForKey("ZVALUE"), Value(110));
  EXPECT_EQ(properties.search("ZOWNER = %ld AND ZKEY = 'SSLEnabled'", {2})->objectForKey("ZVALUE"), Value(false));
  EXPECT_EQ(properties.search("ZKEY = 'ServerPath'")->objectForKey("ZVALUE"), Value(0));
}

TEST(MailAccountDatabaseTest, SearchesHandOutTheRowsThemselvesInListOrder) {
  CapturedSystem system("inv-10.11");
  auto platform = system.platform();
  MailAccountDatabase accounts(*platform, "ZACCOUNT");
  auto pop = accounts.searchAll("ZACCOUNTTYPE=%ld", {7});
  ASSERT_EQ(pop.size(), 3u);
  EXPECT_EQ(pop[0]->objectForKey("Z_PK"), Value(2));
  EXPECT_EQ(pop[1]->objectForKey("Z_PK"), Value(4));
  EXPECT_EQ(pop[2]->objectForKey("Z_PK"), Value(6));
  EXPECT_EQ(pop[0].get(), accounts.objectAtIndex(1).get());
  EXPECT_EQ(accounts.search("ZACCOUNTTYPE = %ld", {7}).get(), pop[0].get());
  EXPECT_FALSE(accounts.search("ZACCOUNTTYPE = %ld", {8}));
  EXPECT_TRUE(accounts.searchAll("ZACCOUNTTYPE = %ld", {8}).empty());

  MailAccountDatabase types(*platform, "ZACCOUNTTYPE");
  EXPECT_EQ(types.search("ZIDENTIFIER = 'com.apple.account.POP'")->objectForKey("Z_PK"), Value(7));
  EXPECT_EQ(types.search("ZIDENTIFIER = 'com.apple.account.pop'")->objectForKey("Z_PK"), Value(6));
}

TEST(MailAccountDatabaseTest, UnsupportedPredicateMatchesNothingAndIsLogged) {
  CapturedSystem system("inv-10.11");
  auto platform = system.platform();
  MailAccountDatabase accounts(*platform, "ZACCOUNT");
  EXPECT_TRUE(accounts.searchAll("ZACCOUNTTYPE > 0").empty());
  EXPECT_FALSE(accounts.search("ZUSERNAME BEGINSWITH 'h'"));
  ASSERT_EQ(system.logs().size(), 2u);
  EXPECT_EQ(system.logs()[0], "search: unsupported predicate \"ZACCOUNTTYPE > 0\"");
  // The program's own explanation: the verbose log only, not the system log.
  EXPECT_TRUE(system.systemLogs().empty());
}

TEST(MailAccountDatabaseTest, ListOperationsChangeOnlyTheList) {
  CapturedSystem system("inv-10.11");
  auto platform = system.platform();
  MailAccountDatabase types(*platform, "ZACCOUNTTYPE");
  ASSERT_EQ(types.count(), 5u);
  auto first = types.objectAtIndex(0);
  auto added = std::make_shared<MailAccount>(std::vector<std::string>{"Z_PK"}, std::vector<Value>{Value(99)});
  types.addObject(added);
  types.insertObject(added, 0);
  types.removeObjectAtIndex(1);
  types.replaceObjectAtIndex(1, first);
  types.removeLastObject();
  types.removeObjectAtIndex(17);  // out of range: nothing
  EXPECT_FALSE(types.objectAtIndex(17));
  ASSERT_EQ(types.count(), 5u);
  EXPECT_EQ(types.objectAtIndex(0).get(), added.get());
  EXPECT_EQ(types.objectAtIndex(1).get(), first.get());
}

// Every way a load can fail: the load's result code and log text, no rows, and the
// database file exactly as it was.
TEST(MailAccountDatabaseTest, FailedLoadsGiveTheirCodeNoRowsAndLeaveTheFileAlone) {
  struct Case {
    const char* what;
    std::function<void(CapturedSystem&)> prepare;
    const char* table;
    int32_t code;
    const char* log;
  };
  const Case cases[] = {
      {"missing file", [](CapturedSystem& s) { s.remove(kAccounts3); }, "ZACCOUNT", 5,
       "initForTable:sqlite3 DB not found error"},
      {"folder in place of the file",
       [](CapturedSystem& s) {
         s.remove(kAccounts3);
         std::filesystem::create_directories(s.hostPath(kAccounts3));
       },
       "ZACCOUNT", 4, "initForTable:sqlite3 DB open error"},
      {"not a database", [](CapturedSystem& s) { s.write(kAccounts3, std::string(4096, 'x')); }, "ZACCOUNT", 3,
       "initForTable:sqlite3 prepare error"},
      {"missing table", [](CapturedSystem&) {}, "ZNOSUCHTABLE", 3, "initForTable:sqlite3 prepare error"},
      {"table name with SQL in it", [](CapturedSystem&) {}, "ZACCOUNT; DROP TABLE ZACCOUNT", 3,
       "initForTable:sqlite3 prepare error"},
      {"truncated file",
       [](CapturedSystem& s) {
         std::string bytes = s.read(kAccounts3);
         s.write(kAccounts3, bytes.substr(0, bytes.size() / 2));
       },
       "ZACCOUNTPROPERTY", 3, "initForTable:sqlite3 prepare error"},
  };
  for (const auto& c : cases) {
    CapturedSystem system("inv-10.11");
    c.prepare(system);
    const std::string before = system.read(kAccounts3);
    auto platform = system.platform();
    MailAccountDatabase db(*platform, c.table);
    EXPECT_EQ(db.initError(), c.code) << c.what;
    EXPECT_EQ(db.count(), 0u) << c.what;
    EXPECT_FALSE(db.search("Z_PK = 1")) << c.what;
    EXPECT_EQ(system.logs(), std::vector<std::string>{c.log}) << c.what;
    EXPECT_EQ(system.systemLogs(), std::vector<std::string>{c.log}) << c.what;
    EXPECT_EQ(system.read(kAccounts3), before) << c.what;
  }
  // The table named with SQL in it did not touch the real one.
  CapturedSystem system("inv-10.11");
  auto platform = system.platform();
  MailAccountDatabase{*platform, "ZACCOUNT; DROP TABLE ZACCOUNT"};
  EXPECT_EQ(MailAccountDatabase(*platform, "ZACCOUNT").count(), 6u);
}

TEST(MailAccountDatabaseTest, DatabaseLockedByAnotherProgramGivesNoRowsAndIsNotWritten) {
  CapturedSystem system("inv-10.11");
  const std::string file = system.hostPath(kAccounts3);
  const std::string before = system.read(kAccounts3);
  sqlite3* mail = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &mail), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(mail, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

  auto platform = system.platform();
  MailAccountDatabase accounts(*platform, "ZACCOUNT");
  EXPECT_EQ(accounts.initError(), MailAccountDatabase::kPrepareError);
  EXPECT_EQ(accounts.count(), 0u);

  sqlite3_exec(mail, "ROLLBACK", nullptr, nullptr, nullptr);
  MailAccountDatabase loaded(*platform, "ZACCOUNT");
  ASSERT_EQ(loaded.count(), 6u);
  loaded.objectAtIndex(1)->setObject(Value("taro"), "ZUSERNAME");
  ASSERT_EQ(sqlite3_exec(mail, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_EQ(loaded.commitUpdate(), MailAccountDatabase::kCommitOpenError);
  sqlite3_exec(mail, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(mail);
  EXPECT_EQ(system.read(kAccounts3), before);
}

// The system keeps the database in write-ahead-log mode, and Mail may hold it
// open with committed rows still in the log.
TEST(MailAccountDatabaseTest, ReadsWriteAheadLogDatabasesWhileMailHoldsThemOpen) {
  CapturedSystem system("inv-10.11");
  const std::string file = system.hostPath(kAccounts3);
  runSql(file, "PRAGMA journal_mode=WAL;");
  auto platform = system.platform();
  EXPECT_EQ(MailAccountDatabase(*platform, "ZACCOUNT").count(), 6u);

  sqlite3* mail = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &mail), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(mail, "PRAGMA wal_autocheckpoint=0; INSERT INTO ZACCOUNT (Z_PK, ZACCOUNTTYPE) VALUES (7, 7);",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  MailAccountDatabase accounts(*platform, "ZACCOUNT");
  EXPECT_EQ(accounts.initError(), 0);
  EXPECT_EQ(accounts.count(), 7u);
  sqlite3_close(mail);
}

TEST(MailAccountDatabaseTest, BlobsThatAreNotKeyedArchivesAreSkippedWithCode1) {
  CapturedSystem system("inv-10.11");
  runSql(system.hostPath(kAccounts3),
         "INSERT INTO ZACCOUNTPROPERTY VALUES (20, 3, 1, 2, 'Garbage', X'00010203');"
         "INSERT INTO ZACCOUNTPROPERTY VALUES (21, 3, 1, 2, 'Empty', X'');");
  const std::string before = system.read(kAccounts3);
  auto platform = system.platform();
  MailAccountDatabase properties(*platform, "ZACCOUNTPROPERTY");
  EXPECT_EQ(properties.initError(), MailAccountDatabase::kObjectError);
  EXPECT_EQ(properties.count(), 14u);
  auto garbage = properties.search("ZKEY = 'Garbage'");
  ASSERT_TRUE(garbage);
  EXPECT_TRUE(garbage->objectForKey("ZVALUE").isAbsent());
  EXPECT_EQ(garbage->objectForKey("ZOWNER"), Value(2));
  EXPECT_EQ(system.logs(), std::vector<std::string>(2, "initForTable:sqlite3 get object error"));
  EXPECT_EQ(system.read(kAccounts3), before);
}

TEST(MailAccountDatabaseTest, LoadingNeverWritesTheFile) {
  CapturedSystem system("inv-10.11");
  const std::string before = system.read(kAccounts3);
  auto platform = system.platform();
  for (const char* table : {"ZACCOUNTTYPE", "ZACCOUNT", "ZACCOUNTPROPERTY"}) MailAccountDatabase(*platform, table);
  EXPECT_EQ(system.read(kAccounts3), before);
  EXPECT_FALSE(std::filesystem::exists(system.hostPath(kAccounts3 + "-journal")));
}

TEST(MailAccountDatabaseTest, CommitWritesMarkedColumnsOfEveryKind) {
  CapturedSystem system("inv-10.11");
  auto platform = system.platform();
  {
    MailAccountDatabase accounts(*platform, "ZACCOUNT");
    auto row = accounts.search("Z_PK = 2");
    row->setObject(Value("taro"), "ZUSERNAME");
    row->setObject(Value(0), "ZACTIVE");
    row->setObject(Value(12.5), "ZDATE");
    EXPECT_EQ(accounts.commitUpdate(), 0);
  }
  {
    MailAccountDatabase properties(*platform, "ZACCOUNTPROPERTY");
    Dictionary alias;
    alias.set("DisplayName", Value("Taro Suzuki"));
    properties.search("ZOWNER = 2 AND ZKEY = 'EmailAliases'")->setObject(Value(Value::Array{Value(alias)}), "ZVALUE");
    properties.search("ZOWNER = 2 AND ZKEY = 'Hostname'")->setObject(Value(alias), "ZVALUE");
    EXPECT_EQ(properties.commitUpdate(), 0);
  }
  EXPECT_TRUE(system.logs().empty());

  MailAccountDatabase accounts(*platform, "ZACCOUNT");
  auto row = accounts.search("Z_PK = 2");
  EXPECT_EQ(row->objectForKey("ZUSERNAME"), Value("taro"));
  EXPECT_EQ(row->objectForKey("ZACTIVE"), Value(0));
  EXPECT_EQ(row->objectForKey("ZDATE"), Value(12.5));
  EXPECT_EQ(accounts.search("Z_PK = 4")->objectForKey("ZUSERNAME"), Value("yamada"));
  MailAccountDatabase properties(*platform, "ZACCOUNTPROPERTY");
  EXPECT_TRUE(properties.search("ZOWNER = 2 AND ZKEY = 'EmailAliases'")
                  ->objectForKey("ZVALUE")[0]["DisplayName"]
                  .equals("Taro Suzuki"));
  EXPECT_TRUE(properties.search("ZOWNER = 2 AND ZKEY = 'Hostname'")
                  ->objectForKey("ZVALUE")["DisplayName"]
                  .equals("Taro Suzuki"));
}

TEST(MailAccountDatabaseTest, CommitSkipsRowsWithoutKeyAndRemovedValues) {
  CapturedSystem system("inv-10.11");
  const std::string before = system.read(kAccounts3);
  auto platform = system.platform();
  MailAccountDatabase accounts(*platform, "ZACCOUNT");
  auto row = accounts.search("Z_PK = 4");
  row->setObject(Value(0), "Z_PK");  // marks Z_PK too
  row->setObject(Value("taro"), "ZUSERNAME");
  auto other = accounts.search("Z_PK = 2");
  other->setObject(Value("x"), "ZUSERNAME");
  other->removeObjectForKey("ZUSERNAME");
  EXPECT_EQ(accounts.commitUpdate(), 0);
  // Rows are written in no fixed order; each skipped column is logged once.
  std::vector<std::string> logs = system.logs();
  std::sort(logs.begin(), logs.end());
  EXPECT_EQ(logs, (std::vector<std::string>{"commitUpdate: update data not found",
                                            "commitUpdate: update item number not found",
                                            "commitUpdate: update item number not found"}));
  EXPECT_EQ(system.read(kAccounts3), before);
}

TEST(MailAccountDatabaseTest, FailedCommitRollsEverythingBack) {
  CapturedSystem system("inv-10.11");
  const std::string before = system.read(kAccounts3);
  auto platform = system.platform();
  MailAccountDatabase accounts(*platform, "ZACCOUNT");
  accounts.search("Z_PK = 2")->setObject(Value("taro"), "ZUSERNAME");
  accounts.search("Z_PK = 4")->setObject(Value("x"), "ZUSERNAME");
  accounts.search("Z_PK = 4")->didChangeValueForKey("ZNOSUCHCOLUMN\" = 1 --");
  accounts.search("Z_PK = 4")->setObject(Value("x"), "ZNOSUCHCOLUMN\" = 1 --");
  EXPECT_EQ(accounts.commitUpdate(), -3);
  EXPECT_EQ(system.logs().back(), "commitUpdate: DB data prepare error");
  EXPECT_EQ(system.read(kAccounts3), before);

  // A value that cannot be stored fails the bind.
  MailAccountDatabase again(*platform, "ZACCOUNT");
  again.search("Z_PK = 2")->setObject(Value(Uid{1}), "ZUSERNAME");
  EXPECT_EQ(again.commitUpdate(), SQLITE_MISMATCH);
  EXPECT_EQ(system.logs().back(), "commitUpdate: data bind error");
  EXPECT_EQ(system.read(kAccounts3), before);
}

TEST(MailAccountDatabaseTest, CommitWithoutDatabase) {
  CapturedSystem system("inv-10.11");
  auto platform = system.platform();
  MailAccountDatabase accounts(*platform, "ZACCOUNT");
  accounts.objectAtIndex(1)->setObject(Value("taro"), "ZUSERNAME");

  system.remove(kAccounts3);
  EXPECT_EQ(accounts.commitUpdate(), -1);
  EXPECT_EQ(system.logs().back(), "updateData: sqlite DB not found error");
  EXPECT_FALSE(std::filesystem::exists(system.hostPath(kAccounts3)));

  std::filesystem::create_directories(system.hostPath(kAccounts3));
  EXPECT_EQ(accounts.commitUpdate(), MailAccountDatabase::kCommitOpenError);
  EXPECT_EQ(system.logs().back(), "updateData: sqlite DB open error");
}

}  // namespace
}  // namespace corvane

#include "inventory/mail_discovery.h"

#include <gtest/gtest.h>

#include "captured_system.h"
#include "inventory/accounts_db_maker.h"

namespace corvane {
namespace {

using testing::CapturedMemorySystem;
using testing::CapturedSystem;
using Texts = std::vector<std::string>;

Value mailList(const char* version, const char* count, const char* first, const std::vector<Texts>& accounts) {
  Value::Array list;
  for (const auto& account : accounts) list.push_back(Value::strings(account));
  Value result(Value::Array{});
  result.append(Value(version));
  result.append(Value(count));
  result.append(Value(first));
  result.append(Value(std::move(list)));
  return result;
}

TEST(MailDiscoveryTest, MailListOfEachCapturedSystemWithSettingsFiles) {
  const std::pair<const char*, Value> cases[] = {
      // Mail 1.0 names an account without name by its user and host.
      {"inv-10.2", mailList("1.0", "2", "POP:hanako@pop.example.jp",
                            {{"POP:hanako@pop.example.jp", "hanako@example.jp", "Hanako Yamada", "hanako",
                              "pop.example.jp", "smtp.example.jp:hanako"},
                             {"Office", "h.yamada@example.com", "Hanako Yamada", "h.yamada", "mail.example.com",
                              "mail.example.com"}})},
      // IMAP and local accounts are left out; the migrated mark means nothing
      // before 10.11; other versions name an account without name by its address.
      {"inv-10.4",
       mailList("2.1.3", "3", "Home",
                {{"Home", "hanako@example.jp", "Hanako Yamada", "hanako", "pop.example.jp", "smtp.example.jp:hanako"},
                 {"jiro@example.net", "jiro@example.net", "Jiro Tanaka", "jiro", "pop.example.net", "smtp.example.net"},
                 {"", "", "", "", "", ""}})},
      {"inv-10.6", mailList("4.6", "1", "Example Net",
                            {{"Example Net", "hanako@example.net", "Hanako Yamada", "hanako", "pop.example.net",
                              "smtp.example.net:hanako"}})},
      // Both settings files: Accounts.plist is read.
      {"inv-10.7", mailList("5.3", "2", "Provider POP",
                            {{"Provider POP", "hanako@example.jp", "Hanako Yamada", "hanako", "pop.example.jp",
                              "smtp.example.jp:hanako"},
                             {"Second POP", "", "", "yamada", "pop2.example.jp", ""}})},
  };
  for (const auto& [name, expected] : cases) {
    CapturedMemorySystem system(name);
    EXPECT_EQ(getMail(system), expected) << name;
  }
}

// The accounts databases are real files: SQLite opens nothing else.
TEST(MailDiscoveryTest, MailListOfEachCapturedSystemWithDatabases) {
  const std::pair<const char*, Value> cases[] = {
      // From Accounts3.sqlite; a sending identifier that names no SMTP account
      // leaves the outgoing host empty.
      {"inv-10.11",
       mailList("9.3", "3", "Provider POP",
                {{"Provider POP", "hanako@example.jp", "Hanako Yamada", "hanako", "pop.example.jp", "smtp.example.jp"},
                 {"Second POP", "", "Yamada", "yamada", "pop2.example.jp", ""},
                 {"No properties", "", "", "", "", ""}})},
      // From Accounts4.sqlite, not the Accounts3 left over nor the settings file.
      {"inv-10.12",
       mailList("10.3", "2", "Example Jp",
                {{"Example Jp", "hanako@example.jp", "Hanako Yamada", "hanako", "pop.example.jp", "smtp.example.jp"},
                 {"Example Com", "taro@example.com", "Taro Suzuki", "taro", "pop.example.com", "smtp.example.jp"}})},
  };
  for (const auto& [name, expected] : cases) {
    CapturedSystem system(name);
    EXPECT_EQ(getMail(*system.platform()), expected) << name;
  }
}

TEST(MailDiscoveryTest, DatabaseAnswersOnlyFrom10_11) {
  CapturedSystem system("inv-10.7");
  EXPECT_EQ(getMailFromDatabase(*system.platform()), std::nullopt);  // no database there
  CapturedSystem eleven("inv-10.11");
  auto fromDatabase = getMailFromDatabase(*eleven.platform());
  ASSERT_TRUE(fromDatabase);
  EXPECT_EQ(*fromDatabase, getMail(*eleven.platform()));
}

TEST(MailDiscoveryTest, WithoutDatabaseTheSettingsFileSkipsMigratedAccounts) {
  const std::string databases[] = {"missing", "corrupt", "without SMTP type"};
  for (const auto& how : databases) {
    CapturedSystem system("inv-10.11");
    const std::string db = system.hostPath("/Users/user/Library/Accounts/Accounts3.sqlite");
    if (how == "missing") std::filesystem::remove(db);
    if (how == "corrupt") system.write("/Users/user/Library/Accounts/Accounts3.sqlite", "SQLite format 3");
    if (how == "without SMTP type") {
      ASSERT_EQ(
          testing::makeAccountsDatabase("CREATE TABLE ZACCOUNTTYPE (Z_PK INTEGER PRIMARY KEY, ZIDENTIFIER VARCHAR);"
                                        "INSERT INTO ZACCOUNTTYPE VALUES (7, 'com.apple.account.POP');",
                                        db),
          "");
    }
    auto platform = system.platform();
    EXPECT_EQ(getMailFromDatabase(*platform), std::nullopt) << how;
    EXPECT_EQ(getMail(*platform), mailList("9.3", "1", "Not migrated",
                                           {{"Not migrated", "taro@example.jp", "", "taro", "pop.example.jp", ""}}))
        << how;
  }
}

TEST(MailDiscoveryTest, DatabaseWithoutPOPAccountsAnswersNoAccountAndSettingsAreNotRead) {
  CapturedSystem system("inv-10.12");
  ASSERT_EQ(testing::makeAccountsDatabase(
                "CREATE TABLE ZACCOUNTTYPE (Z_PK INTEGER PRIMARY KEY, ZIDENTIFIER VARCHAR);"
                "INSERT INTO ZACCOUNTTYPE VALUES (2, 'com.apple.account.POP'), (4, 'com.apple.account.SMTP');"
                "CREATE TABLE ZACCOUNT (Z_PK INTEGER PRIMARY KEY, ZACCOUNTTYPE INTEGER, ZUSERNAME VARCHAR,"
                " ZACCOUNTDESCRIPTION VARCHAR, ZIDENTIFIER VARCHAR);"
                "INSERT INTO ZACCOUNT VALUES (1, 4, 'hanako', 'smtp.example.jp', 'S1');"
                "CREATE TABLE ZACCOUNTPROPERTY (Z_PK INTEGER PRIMARY KEY, ZOWNER INTEGER, ZKEY VARCHAR, ZVALUE BLOB);",
                system.hostPath("/Users/user/Library/Accounts/Accounts4.sqlite")),
            "");
  EXPECT_EQ(getMail(*system.platform()), mailList("10.3", "0", "", {}));
}

TEST(MailDiscoveryTest, PropertyBlobsThatAreNotArchivesGiveEmptyTexts) {
  CapturedSystem system("inv-10.12");
  ASSERT_EQ(
      testing::makeAccountsDatabase(
          "CREATE TABLE ZACCOUNTTYPE (Z_PK INTEGER PRIMARY KEY, ZIDENTIFIER VARCHAR);"
          "INSERT INTO ZACCOUNTTYPE VALUES (2, 'com.apple.account.POP'), (4, 'com.apple.account.SMTP');"
          "CREATE TABLE ZACCOUNT (Z_PK INTEGER PRIMARY KEY, ZACCOUNTTYPE INTEGER, ZUSERNAME VARCHAR,"
          " ZACCOUNTDESCRIPTION VARCHAR, ZIDENTIFIER VARCHAR);"
          "INSERT INTO ZACCOUNT VALUES (1, 2, 'hanako', 'Example Jp', 'P1');"
          "CREATE TABLE ZACCOUNTPROPERTY (Z_PK INTEGER PRIMARY KEY, ZOWNER INTEGER, ZKEY VARCHAR, ZVALUE BLOB);"
          "INSERT INTO ZACCOUNTPROPERTY VALUES (1, 1, 'Hostname', X'62706C6973743030');"
          "INSERT INTO ZACCOUNTPROPERTY VALUES (2, 1, 'EmailAliases', keyed_archive('<string>not a list</string>'));"
          "INSERT INTO ZACCOUNTPROPERTY VALUES (3, 1, 'SendingAccountIdentifier', "
          "keyed_archive('<integer>4</integer>'));",
          system.hostPath("/Users/user/Library/Accounts/Accounts4.sqlite")),
      "");
  EXPECT_EQ(getMail(*system.platform()),
            mailList("10.3", "1", "Example Jp", {{"Example Jp", "", "", "hanako", "", ""}}));
}

TEST(MailDiscoveryTest, SettingsFileChoiceFrom10_7) {
  const std::string preferences = "/Users/user/Library/Preferences/com.apple.mail.plist";
  const std::string accounts = "/Users/user/Library/Mail/V2/MailData/Accounts.plist";
  {
    CapturedMemorySystem system("inv-10.7");
    system.remove(accounts);
    EXPECT_EQ(getMail(system), mailList("5.3", "1", "Old settings",
                                        {{"Old settings", "old@example.jp", "", "old", "pop.old.example.jp", ""}}));
  }
  {
    CapturedMemorySystem system("inv-10.7");
    system.remove(preferences);
    EXPECT_EQ(getMail(system)[1], Value("2"));
  }
  {
    CapturedMemorySystem system("inv-10.7");
    system.remove(preferences);
    system.remove(accounts);
    EXPECT_EQ(getMail(system), mailList("5.3", "0", "", {}));
  }
  {
    // Before 10.7 only com.apple.mail.plist counts.
    CapturedMemorySystem system("inv-10.6");
    system.put(accounts, "<plist version=\"1.0\"><dict><key>MailAccounts</key><array/></dict></plist>");
    EXPECT_EQ(getMail(system)[1], Value("1"));
  }
}

TEST(MailDiscoveryTest, NoMailOrNoUsableSettingsMeansNoAccounts) {
  const std::string preferences = "/Users/user/Library/Preferences/com.apple.mail.plist";
  struct Case {
    const char* what;
    std::function<void(CapturedMemorySystem&)> prepare;
    Value expected;
  };
  const Case cases[] = {
      {"Mail not installed", [](CapturedMemorySystem& s) { s.remove("/Applications/Mail.app"); },
       mailList("0", "0", "", {})},
      {"settings missing", [&](CapturedMemorySystem& s) { s.remove(preferences); }, mailList("4.6", "0", "", {})},
      {"settings corrupt",
       [&](CapturedMemorySystem& s) { s.put(preferences, "<?xml version=\"1.0\"?><plist><dict><key>Mail"); },
       mailList("4.6", "0", "", {})},
      {"settings a list",
       [&](CapturedMemorySystem& s) { s.put(preferences, "<plist version=\"1.0\"><array/></plist>"); },
       mailList("4.6", "0", "", {})},
      {"accounts not a list",
       [&](CapturedMemorySystem& s) {
         s.put(preferences, "<plist version=\"1.0\"><dict><key>MailAccounts</key><string>x</string></dict></plist>");
       },
       mailList("4.6", "0", "", {})},
      {"account entries of the wrong kinds",
       [&](CapturedMemorySystem& s) {
         s.put(preferences,
               "<plist version=\"1.0\"><dict><key>MailAccounts</key><array><string>x</string>"
               "<dict><key>AccountType</key><string>POPAccount</string><key>AccountName</key><integer>3</integer>"
               "<key>EmailAddresses</key><string>a@example.jp</string><key>Username</key><array/></dict>"
               "</array></dict></plist>");
       },
       mailList("4.6", "1", "", {{"", "", "", "", "", ""}})},
      {"Mail bundle corrupt",
       [](CapturedMemorySystem& s) { s.put("/Applications/Mail.app/Contents/Info.plist", "\x00\x01"); },
       mailList("0", "0", "", {})},
  };
  for (const auto& c : cases) {
    CapturedMemorySystem system("inv-10.6");
    c.prepare(system);
    EXPECT_EQ(getMail(system), c.expected) << c.what;
  }
}

TEST(MailDiscoveryTest, MigratedMarkCountsFrom10_11) {
  // The 10.4 settings file on a system that reports 10.11 and has no database.
  CapturedMemorySystem system("inv-10.4");
  system.put("/System/Library/CoreServices/SystemVersion.plist",
             "<plist version=\"1.0\"><dict><key>ProductVersion</key><string>10.11.6</string></dict></plist>");
  system.put("/Users/user/Library/Mail/V2/MailData/Accounts.plist",
             system.read("/Users/user/Library/Preferences/com.apple.mail.plist"));
  Value list = getMail(system);
  EXPECT_EQ(list[1], Value("2"));
  EXPECT_EQ(list[3][1], Value::strings({"", "", "", "", "", ""}));
}

}  // namespace
}  // namespace corvane

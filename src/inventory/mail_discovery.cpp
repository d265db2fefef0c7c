#include "inventory/mail_discovery.h"

#include "core/os_version.h"
#include "core/platform.h"
#include "core/plist_io.h"
#include "core/text.h"
#include "inventory/app_versions.h"
#include "inventory/mail_account_database.h"

namespace corvane {

namespace {

// A value as an account text: texts as they are, anything else empty.
std::string textOf(const Value& value) { return value.isString() ? value.text() : std::string(); }

// Booleans as the system reads them from a settings file.
bool isTrue(const Value& value) {
  if (value.boolean()) return *value.boolean();
  if (value.integer() || value.real()) return value.intValue() != 0;
  if (value.isString() && value.length() > 0) {
    char c = value.text()[0];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
  }
  return false;
}

Value mailList(std::string version, const Value::Array& accounts) {
  Value list(Value::Array{});
  list.append(Value(std::move(version)));
  list.append(Value(std::to_string(accounts.size())));
  list.append(Value(accounts.empty() ? std::string() : accounts.front()[0].text()));
  list.append(Value(accounts));
  return list;
}

std::string mailVersion(const Platform& platform) {
  return getAppVersion(platform, fullPathForApplication(platform, "Mail.app"));
}

std::string settingsFilePath(const Platform& platform) {
  const std::string home = platform.homeFolder();
  const std::string preferences = home + "/Library/Preferences/com.apple.mail.plist";
  const std::string accounts = home + "/Library/Mail/V2/MailData/Accounts.plist";
  if (osAtLeast(platform, "10.7") && (!platform.exists(preferences) || platform.exists(accounts))) return accounts;
  return preferences;
}

Value accountFromSettings(const Value& account, const std::string& version) {
  std::string address = textOf(account["EmailAddresses"][0]);
  std::string name = textOf(getValue(account, "AccountName"));
  if (name.empty()) {
    name = version == "1.0" ? formatText("POP:%@@%@", {textOf(account["Username"]), textOf(account["Hostname"])})
                            : address;
  }
  return Value::strings({name, address, textOf(getValue(account, "FullUserName")),
                         textOf(getValue(account, "Username")), textOf(getValue(account, "Hostname")),
                         textOf(getValue(account, "SMTPIdentifier"))});
}

// The integer "Z_PK" of the ZACCOUNTTYPE row with this identifier; 0 when none.
int64_t accountType(const MailAccountDatabase& types, const char* predicate) {
  auto row = types.search(predicate);
  return row ? row->objectForKey("Z_PK").intValue() : 0;
}

const Value& propertyOf(const MailAccountDatabase& properties, int64_t owner, const char* predicate) {
  auto row = properties.search(predicate, {owner});
  return row ? row->objectForKey("ZVALUE") : Value::absent();
}

}  // namespace

Value getMail(const Platform& platform) {
  if (osAtLeast(platform, "10.11")) {
    if (auto fromDatabase = getMailFromDatabase(platform)) return *fromDatabase;
  }

  Value settings = readPropertyList(platform, settingsFilePath(platform));
  std::string version = mailVersion(platform);
  Value::Array accounts;
  if (settings.isDictionary() && intValueOfText(version) != 0) {
    const bool migratedAreGone = osAtLeast(platform, "10.11");
    const Value& mailAccounts = settings["MailAccounts"];
    for (size_t i = 0; i < mailAccounts.count(); ++i) {
      const Value& account = mailAccounts[i];
      if (!account["AccountType"].equals("POPAccount")) continue;
      if (migratedAreGone && isTrue(account["HasBeenMigratedToAccounts"])) continue;
      accounts.push_back(accountFromSettings(account, version));
    }
  }
  return mailList(std::move(version), accounts);
}

std::optional<Value> getMailFromDatabase(const Platform& platform) {
  MailAccountDatabase types(platform, "ZACCOUNTTYPE");
  const int64_t popType = accountType(types, "ZIDENTIFIER = 'com.apple.account.POP'");
  if (popType == 0) return std::nullopt;
  const int64_t smtpType = accountType(types, "ZIDENTIFIER = 'com.apple.account.SMTP'");
  if (smtpType == 0) return std::nullopt;

  MailAccountDatabase accountRows(platform, "ZACCOUNT");
  const auto popAccounts = accountRows.searchAll("ZACCOUNTTYPE=%ld", {popType});
  MailAccountDatabase properties(platform, "ZACCOUNTPROPERTY");
  const auto smtpAccounts = accountRows.searchAll("ZACCOUNTTYPE = %ld", {smtpType});

  Value::Array accounts;
  for (const auto& pop : popAccounts) {
    const int64_t key = pop->objectForKey("Z_PK").intValue();
    std::string address, displayName;

    const Value& aliases = propertyOf(properties, key, "ZOWNER = %ld AND ZKEY = 'EmailAliases'");
    if (aliases.isArray() && aliases.count() > 0) {
      const Value& alias = aliases[0];
      const Value& addresses = alias["EmailAddresses"];
      if (addresses.isArray() && addresses.count() > 0) address = textOf(addresses[0]["EmailAddress"]);
      displayName = textOf(alias["DisplayName"]);
    }

    std::string incoming = textOf(propertyOf(properties, key, "ZOWNER = %ld AND ZKEY = 'Hostname'"));

    std::string outgoing;
    std::string sending = textOf(propertyOf(properties, key, "ZOWNER = %ld AND ZKEY = 'SendingAccountIdentifier'"));
    if (!sending.empty()) {
      for (const auto& smtp : smtpAccounts) {
        const Value& identifier = smtp->objectForKey("ZIDENTIFIER");
        if (identifier.length() == 0 || !identifier.equals(sending)) continue;
        outgoing =
            textOf(propertyOf(properties, smtp->objectForKey("Z_PK").intValue(), "ZOWNER = %ld AND ZKEY = 'Hostname'"));
        break;
      }
    }

    accounts.push_back(Value::strings({textOf(pop->objectForKey("ZACCOUNTDESCRIPTION")), address, displayName,
                                       textOf(pop->objectForKey("ZUSERNAME")), incoming, outgoing}));
  }
  return mailList(mailVersion(platform), accounts);
}

}  // namespace corvane

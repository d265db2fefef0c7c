#pragma once
// Which version of Mail is installed and which POP accounts it holds.
//
// The mail list has exactly four elements: Mail's version text ("0" when Mail
// is not installed), the number of accounts as decimal text, the first
// account's name (or the empty text), and the list of accounts. Each account
// is six texts: name, address, full user name, user, incoming host, outgoing
// host; a missing one is the empty text.

#include <optional>

#include "core/plist_value.h"

namespace corvane {

class Platform;

// From 10.11 on the accounts database, when it tells POP and SMTP accounts
// apart; otherwise Mail's settings file ("Accounts.plist" of Mail's V2 data
// from 10.7 on when present, else "com.apple.mail.plist").
Value getMail(const Platform& platform);

// The mail list from the accounts database; nullopt when the database is
// missing or unreadable or knows no POP or no SMTP account type.
std::optional<Value> getMailFromDatabase(const Platform& platform);

}  // namespace corvane

#pragma once
// Builds the captured systems' accounts databases from readable SQL. The SQL
// may call keyed_archive('<property-list XML fragment>'), which stores the
// fragment's value as the binary keyed archive that the program's own encoder
// writes, as the system stores its account properties.

#include <string>

namespace corvane::testing {

// Runs the SQL into a new database at hostPath (replacing any file there).
// The empty text on success, else what went wrong.
std::string makeAccountsDatabase(const std::string& sql, const std::string& hostPath);

// Makes "X.sqlite" next to every "X.sqlite.sql" below a folder. The empty
// text on success, else the first failure.
std::string makeAccountsDatabasesBelow(const std::string& folder);

}  // namespace corvane::testing

#pragma once
// Owning handles for an SQLite connection and a prepared statement, so that
// every exit closes what it opened.

#include <memory>
#include <string_view>

#include <sqlite3.h>

namespace corvane {

struct SqliteCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct SqliteFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

using SqliteDatabase = std::unique_ptr<sqlite3, SqliteCloser>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

// Opens the database file at a host path with the given flags. The handle is
// set even when opening fails (SQLite hands one back to report the error);
// ok tells whether it is usable.
struct SqliteOpen {
  SqliteDatabase db;
  bool ok = false;
};
inline SqliteOpen openSqlite(const std::string& hostPath, int flags) {
  sqlite3* raw = nullptr;
  const bool ok = sqlite3_open_v2(hostPath.c_str(), &raw, flags, nullptr) == SQLITE_OK;
  return {SqliteDatabase(raw), ok};
}

// Prepares a statement; empty when SQLite refuses it.
inline SqliteStatement prepareSqlite(sqlite3* db, std::string_view sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK) {
    sqlite3_finalize(raw);
    return {};
  }
  return SqliteStatement(raw);
}

}  // namespace corvane

#include "inventory/mail_account_database.h"

#include "core/os_version.h"
#include "core/platform.h"
#include "inventory/account_predicate.h"
#include "inventory/keyed_archive.h"
#include "inventory/sqlite_handles.h"

namespace corvane {

namespace {

// A table or column name as an SQL identifier: quoted, inner quotes doubled,
// so a name can never change the statement around it.
std::string quoteIdentifier(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

// The column's value as the row holds it; absent when it gives no object.
Value columnValue(sqlite3_stmt* statement, int column) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER: return Value(static_cast<int64_t>(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT: return Value(sqlite3_column_double(statement, column));
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
      return Value(
          std::string(text ? text : "", text ? static_cast<size_t>(sqlite3_column_bytes(statement, column)) : 0));
    }
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
      if (!bytes) return {};
      return decodeKeyedArchive(std::string_view(bytes, static_cast<size_t>(sqlite3_column_bytes(statement, column))));
    }
    case SQLITE_NULL: return Value(0);
    default: return {};
  }
}

// Binds a row's value as parameter 1: collections, data and dates as their
// keyed archive, texts as UTF-8, numbers as themselves.
int bindValue(sqlite3_stmt* statement, const Value& value) {
  switch (value.kind()) {
    case Value::Kind::String:
      return sqlite3_bind_text(statement, 1, value.text().data(), static_cast<int>(value.length()), SQLITE_TRANSIENT);
    case Value::Kind::Integer: return sqlite3_bind_int64(statement, 1, *value.integer());
    case Value::Kind::Real: return sqlite3_bind_double(statement, 1, *value.real());
    case Value::Kind::Boolean: return sqlite3_bind_int(statement, 1, *value.boolean() ? 1 : 0);
    default: {
      auto archive = encodeKeyedArchive(value);
      if (!archive) return SQLITE_MISMATCH;
      return sqlite3_bind_blob(statement, 1, archive->data(), static_cast<int>(archive->size()), SQLITE_TRANSIENT);
    }
  }
}

}  // namespace

std::string accountsDatabasePath(const Platform& platform) {
  const char* file = osAtLeast(platform, "10.12") ? "Accounts/Accounts4.sqlite" : "Accounts/Accounts3.sqlite";
  return platform.homeFolder() + "/Library/" + file;
}

MailAccountDatabase::MailAccountDatabase(const Platform& platform, std::string tableName)
    : platform_(platform), table_name(std::move(tableName)) {
  load();
}

void MailAccountDatabase::load() {
  init_error = 0;
  self_array.clear();

  const std::string path = accountsDatabasePath(platform_);
  if (!platform_.exists(path)) {
    platform_.log("initForTable:sqlite3 DB not found error");
    init_error = kNotFound;
    return;
  }

  // Read-only: the file belongs to the system and Mail; loading never writes.
  // Resolved under the root: SQLite follows links on the path by itself.
  const std::optional<std::string> host = platform_.resolvedHostPath(path);
  SqliteOpen opened = host ? openSqlite(*host, SQLITE_OPEN_READONLY) : SqliteOpen{};
  if (!opened.ok) {
    platform_.log("initForTable:sqlite3 DB open error");
    init_error = kOpenError;
    return;
  }

  const std::string sql = "select * from " + quoteIdentifier(table_name);
  SqliteStatement prepared = prepareSqlite(opened.db.get(), sql);
  if (!prepared) {
    platform_.log("initForTable:sqlite3 prepare error");
    init_error = kPrepareError;
    return;
  }

  sqlite3_stmt* statement = prepared.get();
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
    auto row = std::make_shared<MailAccount>();
    const int columns = sqlite3_column_count(statement);
    for (int column = 0; column < columns; ++column) {
      const char* name = sqlite3_column_name(statement, column);
      if (!name) {
        platform_.log("initForTable:sqlite3 get filed name error");
        init_error = kNameError;
        continue;
      }
      Value value = columnValue(statement, column);
      if (value.isAbsent()) {
        platform_.log("initForTable:sqlite3 get object error");
        init_error = kObjectError;
        continue;
      }
      row->setObject(std::move(value), name);
    }
    self_array.push_back(std::move(row));
  }

  // A statement that stops on an error has not read the whole table: keep
  // nothing rather than a part that looks whole.
  if (step != SQLITE_DONE) {
    platform_.log("initForTable:sqlite3 prepare error");
    init_error = kPrepareError;
    self_array.clear();
  }
}

MailAccountDatabase::Row MailAccountDatabase::search(std::string_view format, const std::vector<int64_t>& args) const {
  auto found = searchAll(format, args);
  return found.empty() ? nullptr : found.front();
}

std::vector<MailAccountDatabase::Row> MailAccountDatabase::searchAll(std::string_view format,
                                                                     const std::vector<int64_t>& args) const {
  std::vector<Row> found;
  auto predicate = AccountPredicate::parse(format, args);
  if (!predicate) {
    platform_.verboseLog("search: unsupported predicate \"" + std::string(format) + "\"");
    return found;
  }
  for (const auto& row : self_array)
    if (row && predicate->matches(row->values())) found.push_back(row);
  return found;
}

MailAccountDatabase::Row MailAccountDatabase::objectAtIndex(size_t index) const {
  return index < self_array.size() ? self_array[index] : nullptr;
}

void MailAccountDatabase::insertObject(Row row, size_t index) {
  if (index <= self_array.size())
    self_array.insert(self_array.begin() + static_cast<std::ptrdiff_t>(index), std::move(row));
}

void MailAccountDatabase::removeObjectAtIndex(size_t index) {
  if (index < self_array.size()) self_array.erase(self_array.begin() + static_cast<std::ptrdiff_t>(index));
}

void MailAccountDatabase::addObject(Row row) { self_array.push_back(std::move(row)); }

void MailAccountDatabase::removeLastObject() {
  if (!self_array.empty()) self_array.pop_back();
}

void MailAccountDatabase::replaceObjectAtIndex(size_t index, Row row) {
  if (index < self_array.size()) self_array[index] = std::move(row);
}

int32_t MailAccountDatabase::commitUpdate() {
  std::vector<Row> changed;
  for (const auto& row : self_array)
    if (row && !row->updateList().empty()) changed.push_back(row);

  const std::string path = accountsDatabasePath(platform_);
  if (!platform_.exists(path)) {
    platform_.log("updateData: sqlite DB not found error");
    return -1;
  }
  if (changed.empty()) return 0;

  // A file the system protects opens read-only; that is no use for writing either.
  // Resolved under the root: SQLite follows links on the path by itself.
  const std::optional<std::string> host = platform_.resolvedHostPath(path);
  SqliteOpen opened = host ? openSqlite(*host, SQLITE_OPEN_READWRITE) : SqliteOpen{};
  if (!opened.ok || sqlite3_db_readonly(opened.db.get(), "main") != 0) {
    platform_.log("updateData: sqlite DB open error");
    return kCommitOpenError;
  }
  sqlite3* db = opened.db.get();
  auto updateError = [this](int code) { platform_.log("commitUpdate: DB update error code=" + std::to_string(code)); };

  // One transaction: either every marked column is written or none is.
  int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    updateError(rc);
    return kCommitOpenError;
  }

  int32_t result = 0;
  for (const auto& row : changed) {
    for (const auto& column : row->updateList()) {
      const Value& value = row->objectForKey(column);
      if (value.isAbsent()) {
        platform_.log("commitUpdate: update data not found");
        continue;
      }
      const int64_t key = row->objectForKey("Z_PK").intValue();
      if (key < 1) {
        platform_.log("commitUpdate: update item number not found");
        continue;
      }
      const std::string sql =
          "update " + quoteIdentifier(table_name) + " set " + quoteIdentifier(column) + " = ? where Z_PK = ?";
      SqliteStatement statement = prepareSqlite(db, sql);
      if (!statement) {
        platform_.log("commitUpdate: DB data prepare error");
        result = -3;
        break;
      }
      rc = bindValue(statement.get(), value);
      if (rc == SQLITE_OK) rc = sqlite3_bind_int64(statement.get(), 2, key);
      if (rc != SQLITE_OK) {
        platform_.log("commitUpdate: data bind error");
        result = rc;
      } else if ((rc = sqlite3_step(statement.get())) != SQLITE_DONE) {
        updateError(rc);
        result = rc;
      }
      if (result != 0) break;
    }
    if (result != 0) break;
  }

  if (result == 0 && (rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr)) != SQLITE_OK) {
    updateError(rc);
    result = rc;
  }
  if (result != 0) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  return result;
}

}  // namespace corvane

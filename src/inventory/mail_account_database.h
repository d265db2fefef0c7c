#pragma once
// A table of the user's system accounts database (an SQLite file that the
// system and Mail own), loaded whole into memory as MailAccount rows, with
// searches over the rows and a write-back of changed columns.
//
// The database is opened only for the length of one load or one write-back.
// A load opens it read-only and never changes it; a write-back changes only
// the marked columns of rows it can identify, inside one transaction.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "inventory/mail_account.h"

namespace corvane {

class Platform;

// The database file, a system path: "Accounts/Accounts3.sqlite" in the
// user's Library folder, "Accounts/Accounts4.sqlite" from 10.12 on.
std::string accountsDatabasePath(const Platform& platform);

class MailAccountDatabase {
 public:
  // Load codes (initError), each logged with its own text when met.
  static constexpr int32_t kNotFound = 5;      // "initForTable:sqlite3 DB not found error"
  static constexpr int32_t kOpenError = 4;     // "initForTable:sqlite3 DB open error"
  static constexpr int32_t kPrepareError = 3;  // "initForTable:sqlite3 prepare error"
  static constexpr int32_t kNameError = 2;     // "initForTable:sqlite3 get filed name error"
  static constexpr int32_t kObjectError = 1;   // "initForTable:sqlite3 get object error"

  // commitUpdate's answer when the database file exists but cannot be opened
  // for writing (or the write transaction cannot begin).
  static constexpr int32_t kCommitOpenError = -2;

  using Row = std::shared_ptr<MailAccount>;

  // Loads every row of the table (initForTable:). Codes 5, 4 and 3 leave no
  // rows; codes 2 and 1 skip single columns and loading goes on. A statement
  // that fails part-way (a damaged or locked file) counts as code 3 and keeps
  // no rows either.
  MailAccountDatabase(const Platform& platform, std::string tableName);

  int32_t initError() const { return init_error; }
  const std::string& tableName() const { return table_name; }

  // The first matching row in list order, or null. An unsupported predicate
  // matches nothing and is logged.
  Row search(std::string_view format, const std::vector<int64_t>& args = {}) const;
  // Every matching row, in list order.
  std::vector<Row> searchAll(std::string_view format, const std::vector<int64_t>& args = {}) const;

  // The list operations. Out-of-range indexes do nothing (or give null).
  size_t count() const { return self_array.size(); }
  Row objectAtIndex(size_t index) const;
  void insertObject(Row row, size_t index);
  void removeObjectAtIndex(size_t index);
  void addObject(Row row);
  void removeLastObject();
  void replaceObjectAtIndex(size_t index, Row row);

  // Writes the marked columns of every row back to the table, by the row's
  // "Z_PK". 0 when every write succeeded (or there was nothing to write);
  // -1 when the file is missing; kCommitOpenError when it cannot be opened;
  // -3 when a statement cannot be prepared; otherwise the SQLite code of the
  // failed bind or step. Any failure rolls the whole write back.
  int32_t commitUpdate();

 private:
  void load();

  const Platform& platform_;
  int32_t init_error = 0;
  std::vector<Row> self_array;
  std::string table_name;
};

}  // namespace corvane

#include "inventory/accounts_db_maker.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/plist_io.h"
#include "inventory/keyed_archive.h"

namespace corvane::testing {

namespace {

void keyedArchiveFunction(sqlite3_context* context, int, sqlite3_value** args) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
  std::string xml = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">") +
                    (text ? text : "") + "</plist>\n";
  Value value = parsePropertyList(xml);
  auto archive = encodeKeyedArchive(value);
  if (!archive) {
    sqlite3_result_error(context, "keyed_archive: not a property-list fragment", -1);
    return;
  }
  sqlite3_result_blob(context, archive->data(), static_cast<int>(archive->size()), SQLITE_TRANSIENT);
}

}  // namespace

std::string makeAccountsDatabase(const std::string& sql, const std::string& hostPath) {
  std::error_code ignored;
  std::filesystem::remove(hostPath, ignored);
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(hostPath.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    std::string error = db ? sqlite3_errmsg(db) : "cannot open";
    sqlite3_close(db);
    return hostPath + ": " + error;
  }
  sqlite3_create_function(db, "keyed_archive", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, keyedArchiveFunction,
                          nullptr, nullptr);
  char* message = nullptr;
  std::string error;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK)
    error = hostPath + ": " + (message ? message : "SQL failed");
  sqlite3_free(message);
  sqlite3_close(db);
  return error;
}

std::string makeAccountsDatabasesBelow(const std::string& folder) {
  namespace fs = std::filesystem;
  const std::string suffix = ".sqlite.sql";
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const std::string path = it->path().string();
    if (path.size() <= suffix.size() || path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0) continue;
    std::ifstream in(path);
    std::stringstream sql;
    sql << in.rdbuf();
    std::string error = makeAccountsDatabase(sql.str(), path.substr(0, path.size() - 4));
    if (!error.empty()) return error;
  }
  return ec ? folder + ": " + ec.message() : std::string();
}

}  // namespace corvane::testing

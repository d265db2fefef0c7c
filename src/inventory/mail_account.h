#pragma once
// One row of an accounts-database table: its values by column name, with the
// names of the columns changed since loading (the ones a write-back stores).

#include <string>
#include <string_view>
#include <vector>

#include "core/plist_value.h"

namespace corvane {

class MailAccount {
 public:
  // An empty row, without marks.
  MailAccount() = default;
  // A row holding these values under these keys (paired by position; extra
  // keys or values are ignored), without marks.
  MailAccount(const std::vector<std::string>& keys, const std::vector<Value>& values);

  // Stores a value; when the key already had one, the key is marked as changed.
  void setObject(Value value, const std::string& key);
  // Marks a key as changed.
  void didChangeValueForKey(const std::string& key);

  // The value under key, or absent.
  const Value& objectForKey(std::string_view key) const;
  // Removes the value; the key's mark, if any, stays.
  void removeObjectForKey(std::string_view key);
  size_t count() const { return self_dictionary.size(); }
  std::vector<std::string> keys() const;
  const Dictionary& values() const { return self_dictionary; }

  // The marked keys, each once, in the order they were first marked. Marks
  // are never removed.
  const std::vector<std::string>& updateList() const { return updated_items; }

 private:
  std::vector<std::string> updated_items;
  Dictionary self_dictionary;
};

}  // namespace corvane

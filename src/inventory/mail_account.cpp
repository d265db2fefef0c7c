#include "inventory/mail_account.h"

#include <algorithm>

namespace corvane {

MailAccount::MailAccount(const std::vector<std::string>& keys, const std::vector<Value>& values) {
  for (size_t i = 0; i < keys.size() && i < values.size(); ++i) self_dictionary.set(keys[i], values[i]);
}

void MailAccount::setObject(Value value, const std::string& key) {
  if (self_dictionary.find(key)) didChangeValueForKey(key);
  self_dictionary.set(key, std::move(value));
}

void MailAccount::didChangeValueForKey(const std::string& key) {
  if (std::find(updated_items.begin(), updated_items.end(), key) == updated_items.end()) updated_items.push_back(key);
}

const Value& MailAccount::objectForKey(std::string_view key) const {
  const Value* value = self_dictionary.find(key);
  return value ? *value : Value::absent();
}

void MailAccount::removeObjectForKey(std::string_view key) { self_dictionary.erase(key); }

std::vector<std::string> MailAccount::keys() const {
  std::vector<std::string> names;
  for (const auto& entry : self_dictionary) names.push_back(entry.first);
  return names;
}

}  // namespace corvane

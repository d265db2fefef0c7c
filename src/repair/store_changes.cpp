#include "repair/store_changes.h"

namespace corvane {

namespace {

std::string shortText(const Value& value) {
  switch (value.kind()) {
    case Value::Kind::String: return "\"" + value.text() + "\"";
    case Value::Kind::Integer: return std::to_string(*value.integer());
    case Value::Kind::Real: return std::to_string(*value.real());
    case Value::Kind::Boolean: return *value.boolean() ? "true" : "false";
    case Value::Kind::Array: {
      std::string text = "(";
      for (size_t i = 0; i < value.count(); ++i) text += (i ? ", " : "") + shortText(value[i]);
      return text + ")";
    }
    case Value::Kind::Dictionary: return "{" + std::to_string(value.count()) + " entries}";
    case Value::Kind::Data: return "<" + std::to_string(value.data()->bytes.size()) + " bytes>";
    default: return "?";
  }
}

void compare(const Value& before, const Value& after, const std::string& path, std::vector<std::string>& lines) {
  const Dictionary* old = before.dictionary();
  const Dictionary* now = after.dictionary();
  if (old && now) {
    for (const auto& [key, value] : *old) {
      const std::string child = path.empty() ? key : path + "/" + key;
      if (const Value* kept = now->find(key))
        compare(value, *kept, child, lines);
      else
        lines.push_back("- " + child);
    }
    for (const auto& [key, value] : *now)
      if (!old->find(key)) lines.push_back("+ " + (path.empty() ? key : path + "/" + key));
    return;
  }
  if (!(before == after)) lines.push_back("~ " + path + ": " + shortText(before) + " -> " + shortText(after));
}

}  // namespace

std::vector<std::string> describeChanges(const Value& before, const Value& after) {
  std::vector<std::string> lines;
  compare(before, after, "", lines);
  return lines;
}

}  // namespace corvane

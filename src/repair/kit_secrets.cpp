#include "repair/kit_secrets.h"

#include <algorithm>
#include <map>
#include <optional>

#include "core/text.h"

namespace corvane {
namespace {

constexpr std::string_view kOpening = "@@corvane-secret:";

class Marker {
 public:
  explicit Marker(const std::vector<CapturedSecret>& secrets) {
    for (const auto& secret : secrets) {
      types_[secret.placeholder] = secret.type;
      if (secret.type == "integer" || secret.type == "real") numbers_[secretMarkerNumber(secret.placeholder)] = secret;
    }
  }

  Value mark(const Value& value) {
    if (!ok()) return value;
    if (auto found = asPlaceholder(value)) return Value(*found);
    if (const Dictionary* dictionary = value.dictionary()) {
      Dictionary marked;
      for (const auto& [key, item] : *dictionary) {
        if (key.find(kOpening) != std::string::npos) return refuse("a placeholder in a key");
        marked.set(key, mark(item));
      }
      return Value(std::move(marked));
    }
    if (const Value::Array* array = value.array()) {
      Value::Array marked;
      for (const Value& item : *array) marked.push_back(mark(item));
      return Value(std::move(marked));
    }
    return value;
  }

  bool ok() const { return failure_.empty(); }
  const std::string& failure() const { return failure_; }
  const std::vector<std::string>& found() const { return found_; }

 private:
  Value refuse(std::string why) {
    if (failure_.empty()) failure_ = std::move(why);
    return {};
  }

  // The placeholder a value stands for, when it is one.
  std::optional<std::string> asPlaceholder(const Value& value) {
    if (const std::string* text = value.string()) return fromText(*text, "string");
    if (const Data* data = value.data()) {
      if (data->bytes.find(kOpening) == std::string::npos) return std::nullopt;
      return fromText(data->bytes, "data", true);
    }
    if (const int64_t* number = value.integer()) return fromNumber(std::to_string(*number), "integer");
    if (const double* number = value.real()) {
      if (*number != static_cast<double>(static_cast<int64_t>(*number))) return std::nullopt;
      return fromNumber(std::to_string(static_cast<int64_t>(*number)), "real");
    }
    if (const Value::Array* array = value.array())
      if (array->size() == 1 && (*array)[0].isString() && isPlaceholder((*array)[0].text()))
        return known((*array)[0].text(), "array");
    if (const Dictionary* dictionary = value.dictionary())
      if (dictionary->size() == 1 && dictionary->find("corvane-secret") &&
          dictionary->find("corvane-secret")->isString())
        return known(dictionary->find("corvane-secret")->text(), "dict");
    return std::nullopt;
  }

  static bool isPlaceholder(const std::string& text) {
    return text.starts_with(kOpening) && text.size() > kOpening.size() + 2 && text.ends_with("@@") &&
           text.find("@@", kOpening.size()) == text.size() - 2;
  }

  std::optional<std::string> known(const std::string& placeholder, const std::string& type) {
    const auto it = types_.find(placeholder);
    if (it == types_.end()) {
      refuse("the store holds a placeholder the capture's manifest does not list (" + placeholder +
             "): capture again with this corvane-capture");
      return std::nullopt;
    }
    if (it->second != type) {
      refuse("the placeholder " + placeholder + " stands for a value of type " + it->second + ", not " + type);
      return std::nullopt;
    }
    if (std::find(found_.begin(), found_.end(), placeholder) == found_.end()) found_.push_back(placeholder);
    return placeholder;
  }

  // A text that is a placeholder, or a string holding the placeholder of
  // its URL's password (one placeholder, perhaps more than once).
  std::optional<std::string> fromText(const std::string& text, const std::string& type, bool whole = false) {
    const size_t at = text.find(kOpening);
    if (at == std::string::npos) return std::nullopt;
    if (isPlaceholder(text)) return known(text, type);
    const size_t end = text.find("@@", at + kOpening.size());
    if (whole || end == std::string::npos) {
      refuse("a placeholder inside a value that cannot be put back whole");
      return std::nullopt;
    }
    const std::string placeholder = text.substr(at, end + 2 - at);
    for (size_t next = text.find(kOpening); next != std::string::npos; next = text.find(kOpening, next + 1))
      if (text.compare(next, placeholder.size(), placeholder) != 0) {
        refuse("a text holding two different placeholders");
        return std::nullopt;
      }
    return known(placeholder, type);
  }

  std::optional<std::string> fromNumber(const std::string& number, const std::string& type) {
    const auto it = numbers_.find(number);
    if (it == numbers_.end()) return std::nullopt;
    return known(it->second.placeholder, type);
  }

  std::map<std::string, std::string> types_;
  std::map<std::string, CapturedSecret> numbers_;
  std::vector<std::string> found_;
  std::string failure_;
};

}  // namespace

std::string secretMarkerNumber(const std::string& placeholder) {
  // "@@corvane-secret:ID:FILE:N@@"
  if (!placeholder.ends_with("@@")) return "";
  const std::vector<std::string> parts = splitText(placeholder.substr(0, placeholder.size() - 2), ":");
  if (parts.size() < 4) return "";
  const std::string& file = parts[parts.size() - 2];
  const std::string& number = parts.back();
  const auto digits = [](const std::string& text, size_t width) {
    return !text.empty() && text.size() <= width &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!digits(file, 5) || !digits(number, 6)) return "";
  return "-7319" + std::string(5 - file.size(), '0') + file + std::string(6 - number.size(), '0') + number;
}

MarkedSecrets markSecretsForKit(const Value& store, const std::vector<CapturedSecret>& secrets) {
  Marker marker(secrets);
  MarkedSecrets marked;
  marked.store = marker.mark(store);
  marked.failure = marker.failure();
  marked.placeholders = marker.found();
  return marked;
}

}  // namespace corvane

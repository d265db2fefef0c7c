#pragma once
// The bundle's localized strings: Localizable.strings files of the form
//   /* comment */  "key" = "value";  // comment
// in UTF-8 or UTF-16 (with a byte-order mark). Every user-visible text is
// looked up here by key; a key the table lacks is shown as it stands.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

class Bundle;

class LocalizedStrings {
 public:
  using Table = std::map<std::string, std::string>;

  // The "C" table: no texts, every key is shown as itself.
  LocalizedStrings() = default;
  explicit LocalizedStrings(std::map<std::string, std::string> table) : table_(std::move(table)) {}

  // The table of <bundle>/Contents/Resources/<language>.lproj/Localizable.strings;
  // the "C" table for the language "C" or when the file is missing or broken.
  static LocalizedStrings load(const Bundle& bundle, std::string_view language);

  // The text of key, or key itself when the table lacks it.
  std::string text(std::string_view key) const;
  std::string operator()(std::string_view key) const { return text(key); }

  bool empty() const { return table_.empty(); }
  bool has(std::string_view key) const { return table_.count(std::string(key)) > 0; }
  const std::map<std::string, std::string>& table() const { return table_; }

 private:
  std::map<std::string, std::string> table_;
};

// Parses the bytes of a strings file into key -> value (UTF-8). nullopt when
// the file is malformed; a later duplicate key replaces an earlier one.
std::optional<std::map<std::string, std::string>> parseStringsFile(std::string_view bytes);

// "ja" when the user's locale (LC_ALL, then LC_MESSAGES, then LANG, the
// first one set and not empty) starts with "ja", else "en".
std::string preferredLanguage();

}  // namespace corvane

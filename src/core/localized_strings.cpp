#include "core/localized_strings.h"

#include <cstdint>
#include <cstdlib>

#include "core/bundle.h"
#include "core/file_read.h"
#include "core/text.h"

namespace corvane {
namespace {

// UTF-16 with a byte-order mark becomes UTF-8; a UTF-8 mark is dropped.
// nullopt for an odd length or a broken surrogate pair.
std::optional<std::string> toUtf8(std::string_view bytes) {
  auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (starts("\xEF\xBB\xBF")) return std::string(bytes.substr(3));
  bool little = starts("\xFF\xFE");
  if (!little && !starts("\xFE\xFF")) return std::string(bytes);
  bytes.remove_prefix(2);
  if (bytes.size() % 2 != 0) return std::nullopt;
  auto unit = [&](size_t i) {
    auto a = static_cast<uint8_t>(bytes[i]), b = static_cast<uint8_t>(bytes[i + 1]);
    return static_cast<uint32_t>(little ? (b << 8 | a) : (a << 8 | b));
  };
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 2) {
    uint32_t code = unit(i);
    if (code >= 0xD800 && code < 0xDC00) {
      if (i + 2 >= bytes.size()) return std::nullopt;
      uint32_t low = unit(i + 2);
      if (low < 0xDC00 || low >= 0xE000) return std::nullopt;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    } else if (code >= 0xDC00 && code < 0xE000) {
      return std::nullopt;
    }
    appendUtf8(out, code);
  }
  return out;
}

class StringsParser {
 public:
  explicit StringsParser(std::string_view text) : text_(text) {}

  std::optional<std::map<std::string, std::string>> parse() {
    std::map<std::string, std::string> table;
    for (;;) {
      if (!skipBlanksAndComments()) return std::nullopt;
      if (atEnd()) return table;
      auto key = token();
      if (!key || !skipBlanksAndComments()) return std::nullopt;
      if (peek() == ';') {  // "key"; stands for "key" = "key";
        ++pos_;
        table[*key] = *key;
        continue;
      }
      if (peek() != '=') return std::nullopt;
      ++pos_;
      if (!skipBlanksAndComments()) return std::nullopt;
      auto value = token();
      if (!value || !skipBlanksAndComments() || peek() != ';') return std::nullopt;
      ++pos_;
      table[*key] = *value;
    }
  }

 private:
  bool atEnd() const { return pos_ >= text_.size(); }
  char peek() const { return atEnd() ? '\0' : text_[pos_]; }

  // False for an unterminated block comment.
  bool skipBlanksAndComments() {
    while (!atEnd()) {
      char c = text_[pos_];
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
        ++pos_;
      } else if (text_.substr(pos_, 2) == "//") {
        auto end = text_.find('\n', pos_);
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
      } else if (text_.substr(pos_, 2) == "/*") {
        auto end = text_.find("*/", pos_ + 2);
        if (end == std::string_view::npos) return false;
        pos_ = end + 2;
      } else {
        break;
      }
    }
    return true;
  }

  // A quoted text with escapes, or a bare word of letters, digits and _.$:/-.
  std::optional<std::string> token() {
    if (peek() == '"') return quoted();
    std::string word;
    while (!atEnd()) {
      char c = text_[pos_];
      bool wordChar = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                      c == '.' || c == '$' || c == ':' || c == '/' || c == '-';
      if (!wordChar) break;
      word += c;
      ++pos_;
    }
    if (word.empty()) return std::nullopt;
    return word;
  }

  std::optional<std::string> quoted() {
    ++pos_;  // opening quote
    std::string out;
    while (!atEnd()) {
      char c = text_[pos_++];
      if (c == '"') return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (atEnd()) return std::nullopt;
      char e = text_[pos_++];
      switch (e) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'U':
        case 'u': {
          if (pos_ + 4 > text_.size()) return std::nullopt;
          uint32_t code = 0;
          for (int i = 0; i < 4; ++i) {
            char h = text_[pos_++];
            code <<= 4;
            if (h >= '0' && h <= '9')
              code |= static_cast<uint32_t>(h - '0');
            else if (h >= 'a' && h <= 'f')
              code |= static_cast<uint32_t>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
              code |= static_cast<uint32_t>(h - 'A' + 10);
            else
              return std::nullopt;
          }
          if (code >= 0xD800 && code < 0xE000) code = 0xFFFD;  // a lone surrogate is not a character
          appendUtf8(out, code);
          break;
        }
        default: out += e; break;  // \" \\ \' and any other escaped character stand for themselves
      }
    }
    return std::nullopt;  // unterminated
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

std::optional<std::map<std::string, std::string>> parseStringsFile(std::string_view bytes) {
  auto text = toUtf8(bytes);
  if (!text) return std::nullopt;
  return StringsParser(*text).parse();
}

LocalizedStrings LocalizedStrings::load(const Bundle& bundle, std::string_view language) {
  if (language == "C" || language.empty()) return {};
  std::string path = bundle.resourcesFolder() + "/" + std::string(language) + ".lproj/Localizable.strings";
  const auto bytes = readWholeFile(path);
  if (!bytes) return {};
  auto table = parseStringsFile(*bytes);
  if (!table) return {};
  return LocalizedStrings(std::move(*table));
}

std::string LocalizedStrings::text(std::string_view key) const {
  auto it = table_.find(std::string(key));
  return it == table_.end() ? std::string(key) : it->second;
}

std::string preferredLanguage() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    return std::string_view(value).substr(0, 2) == "ja" ? "ja" : "en";
  }
  return "en";
}

}  // namespace corvane

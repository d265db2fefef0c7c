#include "inventory/account_predicate.h"

#include <cctype>
#include <charconv>

namespace corvane {

namespace {

class Scanner {
 public:
  Scanner(std::string_view text, const std::vector<int64_t>& args) : text_(text), args_(args) {}

  // True when there was at least one blank.
  bool skipBlanks() {
    size_t start = pos_;
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    return pos_ > start;
  }
  bool atEnd() const { return pos_ == text_.size(); }
  bool allArgumentsUsed() const { return nextArg_ == args_.size(); }

  bool literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  std::optional<std::string> identifier() {
    size_t start = pos_;
    if (pos_ < text_.size() && (std::isalpha(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_')) {
      while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
        ++pos_;
    }
    if (pos_ == start) return std::nullopt;
    return std::string(text_.substr(start, pos_ - start));
  }

  // A quoted text, an integer literal or an integer argument.
  std::optional<Value> operand() {
    if (pos_ >= text_.size()) return std::nullopt;
    char c = text_[pos_];
    if (c == '\'' || c == '"') return quoted(c);
    if (literal("%ld") || literal("%d")) {
      if (nextArg_ >= args_.size()) return std::nullopt;
      return Value(args_[nextArg_++]);
    }
    return integer();
  }

 private:
  std::optional<Value> quoted(char quote) {
    size_t end = text_.find(quote, pos_ + 1);
    if (end == std::string_view::npos) return std::nullopt;
    std::string_view inner = text_.substr(pos_ + 1, end - pos_ - 1);
    // Escapes and format specifiers inside quotes are not among the supported forms.
    if (inner.find('\\') != std::string_view::npos || inner.find('%') != std::string_view::npos) return std::nullopt;
    pos_ = end + 1;
    return Value(std::string(inner));
  }

  std::optional<Value> integer() {
    int64_t number = 0;
    auto [end, error] = std::from_chars(text_.data() + pos_, text_.data() + text_.size(), number);
    if (error != std::errc() || end == text_.data() + pos_) return std::nullopt;
    pos_ = static_cast<size_t>(end - text_.data());
    return Value(number);
  }

  std::string_view text_;
  const std::vector<int64_t>& args_;
  size_t pos_ = 0;
  size_t nextArg_ = 0;
};

bool isNumber(const Value& v) { return v.integer() || v.real() || v.boolean(); }

bool termHolds(const PredicateTerm& term, const Dictionary& row) {
  const Value* value = row.find(term.column);
  if (!value) return false;
  if (term.expected.isString()) return value->isString() && value->text() == term.expected.text();
  if (!isNumber(*value)) return false;
  if (value->real()) return *value->real() == static_cast<double>(*term.expected.integer());
  return value->intValue() == *term.expected.integer();
}

}  // namespace

std::optional<AccountPredicate> AccountPredicate::parse(std::string_view format, const std::vector<int64_t>& args) {
  AccountPredicate predicate;
  Scanner scan(format, args);
  for (;;) {
    scan.skipBlanks();
    auto column = scan.identifier();
    if (!column || *column == "AND") return std::nullopt;
    scan.skipBlanks();
    if (!scan.literal("=") || scan.literal("=")) return std::nullopt;  // "==" is not a supported form
    scan.skipBlanks();
    auto expected = scan.operand();
    if (!expected) return std::nullopt;
    predicate.terms_.push_back({std::move(*column), std::move(*expected)});
    bool blank = scan.skipBlanks();
    if (scan.atEnd()) break;
    // "AND" must stand as a word between blanks.
    if (!blank || !scan.literal("AND") || !scan.skipBlanks()) return std::nullopt;
  }
  if (!scan.allArgumentsUsed()) return std::nullopt;
  return predicate;
}

bool AccountPredicate::matches(const Dictionary& row) const {
  for (const auto& term : terms_)
    if (!termHolds(term, row)) return false;
  return !terms_.empty();
}

}  // namespace corvane

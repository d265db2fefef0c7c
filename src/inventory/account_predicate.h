#pragma once
// The search conditions the accounts database understands: equality of a
// column with a quoted text or an integer, joined by AND, for example
//   ZOWNER = %ld AND ZKEY = 'Hostname'
// Blanks around "=" are optional. "%ld" (or "%d") takes the next integer
// argument. Anything else is not a supported predicate.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/plist_value.h"

namespace corvane {

struct PredicateTerm {
  std::string column;
  Value expected;  // a String or an Integer
};

class AccountPredicate {
 public:
  // nullopt when the format is not one of the supported forms or the
  // arguments do not match its "%ld"s one for one.
  static std::optional<AccountPredicate> parse(std::string_view format, const std::vector<int64_t>& args);

  // True when every term holds for the row: a text matches a text column equal
  // byte for byte, an integer a number column of equal value.
  bool matches(const Dictionary& row) const;

  const std::vector<PredicateTerm>& terms() const { return terms_; }

 private:
  std::vector<PredicateTerm> terms_;
};

}  // namespace corvane

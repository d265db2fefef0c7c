#include "app/row_texts.h"

#include <string_view>

#include "core/text.h"

namespace corvane {

std::string browserRowText(const Value& browsers) {
  std::string text;
  if (browsers.count() != 4) return text;
  auto present = [&](size_t i) { return intValueOfText(browsers[i].text()) != 0; };
  auto piece = [&](std::string_view format, size_t i) { return formatText(format, {browsers[i].text()}); };
  if (present(0)) {
    text = piece("Internet Explorer %@", 0);
    if (present(1)) text += piece(" / Safari %@", 1);
    bool second = false;
    if (present(2)) {
      text += piece("\nNetscape %@", 2);
      second = true;
    }
    if (present(3)) text += piece(second ? " / Firefox %@" : "\nFirefox %@", 3);
    return text;
  }
  constexpr std::string_view names[] = {"", "Safari", "Netscape", "Firefox"};
  int shown = 0;
  for (size_t i = 1; i < 4; ++i) {
    if (!present(i)) continue;
    std::string_view separator = shown == 0 ? "" : shown % 2 == 1 ? " / " : "\n";
    text += std::string(separator) + std::string(names[i]) + " " + browsers[i].text();
    ++shown;
  }
  if (shown == 0) text = "----------";
  return text;
}

}  // namespace corvane

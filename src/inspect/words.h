#pragma once
// Walking the words of one line of tool output without copying them.

#include <string_view>

namespace corvane {

// The words of a line split at every single space, as the tools' lines are
// read: runs of spaces give empty words. next() gives each word in turn.
class SpaceSeparatedWords {
 public:
  explicit SpaceSeparatedWords(std::string_view line) : rest_(line) {}

  // The next word; false when the line has no more.
  bool next(std::string_view& word) {
    if (done_) return false;
    size_t space = rest_.find(' ');
    if (space == std::string_view::npos) {
      word = rest_;
      done_ = true;
    } else {
      word = rest_.substr(0, space);
      rest_.remove_prefix(space + 1);
    }
    return true;
  }

 private:
  std::string_view rest_;
  bool done_ = false;
};

}  // namespace corvane

#pragma once
// The property-list value used throughout the program: the configuration
// store, the interface list, Mail's settings, bundles' Info.plist files and the
// readers' result lists are all Values.
//
// Lookups are tolerant: asking an absent value, or a value that is not a
// dictionary, for a key yields the absent value, whose count and length are 0,
// whose integer value is 0 and which equals no string. Readers chain lookups
// through missing levels instead of testing each one.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace corvane {

class Value;

// A dictionary that keeps its entries in insertion order (the order of the
// file it came from), so that walking it is repeatable and a rewritten file
// keeps its layout. Keys are unique; setting an existing key replaces its value
// in place.
class Dictionary {
 public:
  using Entry = std::pair<std::string, Value>;

  Dictionary();
  Dictionary(const Dictionary& other);
  Dictionary(Dictionary&& other) noexcept;
  Dictionary& operator=(const Dictionary& other);
  Dictionary& operator=(Dictionary&& other) noexcept;
  ~Dictionary();

  // Defined below Value: clang needs the entry type complete to instantiate them.
  size_t size() const;
  bool empty() const;

  // The value under key, or nullptr.
  const Value* find(std::string_view key) const;
  Value* find(std::string_view key);

  // Room for n entries without moving them again, for a reader that knows
  // how many keys it is about to set.
  void reserve(size_t n);

  // Replaces the value under key, or appends the entry at the end.
  Value& set(std::string key, Value value);
  // Removes the entry; later entries keep their order. False when absent.
  bool erase(std::string_view key);

  const std::vector<Entry>& entries() const { return entries_; }
  std::vector<Entry>::const_iterator begin() const;
  std::vector<Entry>::const_iterator end() const;

  bool operator==(const Dictionary& other) const;

 private:
  // Hashes a key given as any text, so that a lookup makes no string of it.
  struct KeyHash {
    using is_transparent = void;
    size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
  };
  using Index = std::unordered_map<std::string, size_t, KeyHash, std::equal_to<>>;

  void rebuildIndex();

  std::vector<Entry> entries_;
  // Key to position; kept only for larger dictionaries, where a linear search
  // would make walking a big store quadratic.
  std::unique_ptr<Index> index_;
};

struct Data {
  std::string bytes;
  bool operator==(const Data&) const = default;
};

// Seconds since 2001-01-01 00:00:00 UTC, the property-list epoch.
struct Date {
  double seconds = 0;
  bool operator==(const Date&) const = default;
};

// A keyed archive's object reference (CF$UID).
struct Uid {
  uint64_t value = 0;
  bool operator==(const Uid&) const = default;
};

class Value {
 public:
  enum class Kind { Absent, Dictionary, Array, String, Integer, Real, Boolean, Data, Date, Uid };
  using Array = std::vector<Value>;

  Value() = default;  // the absent value
  Value(corvane::Dictionary d) : v_(std::move(d)) {}
  Value(Array a) : v_(std::move(a)) {}
  Value(std::string s) : v_(std::move(s)) {}
  Value(std::string_view s) : v_(std::string(s)) {}
  Value(const char* s) : v_(std::string(s)) {}
  Value(int64_t i) : v_(i) {}
  Value(int i) : v_(int64_t{i}) {}
  Value(double r) : v_(r) {}
  Value(bool b) : v_(b) {}
  Value(corvane::Data d) : v_(std::move(d)) {}
  Value(corvane::Date d) : v_(d) {}
  Value(corvane::Uid u) : v_(u) {}

  // An array of texts, the readers' most common result.
  static Value strings(std::initializer_list<std::string_view> texts);
  static Value strings(const std::vector<std::string>& texts);

  // The one shared absent value that failed lookups refer to.
  static const Value& absent();

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool isAbsent() const { return kind() == Kind::Absent; }
  bool isDictionary() const { return kind() == Kind::Dictionary; }
  bool isArray() const { return kind() == Kind::Array; }
  bool isString() const { return kind() == Kind::String; }

  // Tolerant lookups: absent unless this is a dictionary holding key, or an
  // array long enough.
  const Value& operator[](std::string_view key) const;
  const Value& operator[](size_t index) const;
  const Value& operator[](int index) const { return (*this)[static_cast<size_t>(index < 0 ? SIZE_MAX : index)]; }

  // Entries of a dictionary or array; 0 for anything else.
  size_t count() const;
  // Bytes of a string; 0 for anything else.
  size_t length() const;
  // Integer value: numbers as they are (reals cut toward zero, booleans 0/1),
  // strings as their leading decimal number (see intValueOfText); 0 otherwise.
  int64_t intValue() const;
  // True only for a string equal to text.
  bool equals(std::string_view text) const;
  // The text of a string; the empty text for anything else.
  const std::string& text() const;

  // Typed access; nullptr when the value is of another kind.
  const corvane::Dictionary* dictionary() const { return std::get_if<corvane::Dictionary>(&v_); }
  corvane::Dictionary* dictionary() { return std::get_if<corvane::Dictionary>(&v_); }
  const Array* array() const { return std::get_if<Array>(&v_); }
  Array* array() { return std::get_if<Array>(&v_); }
  const std::string* string() const { return std::get_if<std::string>(&v_); }
  const int64_t* integer() const { return std::get_if<int64_t>(&v_); }
  const double* real() const { return std::get_if<double>(&v_); }
  const bool* boolean() const { return std::get_if<bool>(&v_); }
  const corvane::Data* data() const { return std::get_if<corvane::Data>(&v_); }
  const corvane::Date* date() const { return std::get_if<corvane::Date>(&v_); }
  const corvane::Uid* uid() const { return std::get_if<corvane::Uid>(&v_); }

  // Appends to an array (an absent value becomes an empty array first).
  // Does nothing to a value of any other kind.
  void append(Value item);

  bool operator==(const Value& other) const { return v_ == other.v_; }

 private:
  std::variant<std::monostate, corvane::Dictionary, Array, std::string, int64_t, double, bool, corvane::Data,
               corvane::Date, corvane::Uid>
      v_;
};

inline size_t Dictionary::size() const { return entries_.size(); }
inline bool Dictionary::empty() const { return entries_.empty(); }
inline std::vector<Dictionary::Entry>::const_iterator Dictionary::begin() const { return entries_.begin(); }
inline std::vector<Dictionary::Entry>::const_iterator Dictionary::end() const { return entries_.end(); }

// The tolerant lookup by name, for code that reads like the algorithms it
// implements: the value stored under key, or absent.
const Value& GetSubDictionary(const Value& dictionary, std::string_view key);

}  // namespace corvane

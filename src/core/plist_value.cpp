#include "core/plist_value.h"

#include "core/text.h"

namespace corvane {

namespace {
// Below this size a linear search is as fast as hashing and costs no memory.
constexpr size_t kIndexThreshold = 12;
}  // namespace

Dictionary::Dictionary() = default;
Dictionary::~Dictionary() = default;
Dictionary::Dictionary(Dictionary&& other) noexcept = default;
Dictionary& Dictionary::operator=(Dictionary&& other) noexcept = default;

Dictionary::Dictionary(const Dictionary& other) : entries_(other.entries_) {
  if (other.index_) index_ = std::make_unique<Index>(*other.index_);
}

Dictionary& Dictionary::operator=(const Dictionary& other) {
  if (this != &other) {
    entries_ = other.entries_;
    index_.reset();
    if (other.index_) index_ = std::make_unique<Index>(*other.index_);
  }
  return *this;
}

const Value* Dictionary::find(std::string_view key) const {
  if (index_) {
    auto it = index_->find(key);
    return it == index_->end() ? nullptr : &entries_[it->second].second;
  }
  for (const auto& [k, v] : entries_)
    if (k == key) return &v;
  return nullptr;
}

Value* Dictionary::find(std::string_view key) {
  return const_cast<Value*>(static_cast<const Dictionary*>(this)->find(key));
}

void Dictionary::reserve(size_t n) { entries_.reserve(n); }

Value& Dictionary::set(std::string key, Value value) {
  if (Value* existing = find(key)) {
    *existing = std::move(value);
    return *existing;
  }
  entries_.emplace_back(std::move(key), std::move(value));
  if (index_)
    index_->emplace(entries_.back().first, entries_.size() - 1);
  else if (entries_.size() > kIndexThreshold)
    rebuildIndex();
  return entries_.back().second;
}

bool Dictionary::erase(std::string_view key) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->first == key) {
      entries_.erase(it);
      if (index_) rebuildIndex();
      return true;
    }
  }
  return false;
}

void Dictionary::rebuildIndex() {
  index_ = std::make_unique<Index>();
  index_->reserve(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) index_->emplace(entries_[i].first, i);
}

bool Dictionary::operator==(const Dictionary& other) const { return entries_ == other.entries_; }

Value Value::strings(std::initializer_list<std::string_view> texts) {
  Array items;
  items.reserve(texts.size());
  for (auto t : texts) items.emplace_back(std::string(t));
  return Value(std::move(items));
}

Value Value::strings(const std::vector<std::string>& texts) {
  Array items;
  items.reserve(texts.size());
  for (const auto& t : texts) items.emplace_back(t);
  return Value(std::move(items));
}

const Value& Value::absent() {
  static const Value kAbsent;
  return kAbsent;
}

const Value& Value::operator[](std::string_view key) const {
  if (const auto* d = dictionary())
    if (const Value* v = d->find(key)) return *v;
  return absent();
}

const Value& Value::operator[](size_t index) const {
  if (const auto* a = array())
    if (index < a->size()) return (*a)[index];
  return absent();
}

size_t Value::count() const {
  if (const auto* d = dictionary()) return d->size();
  if (const auto* a = array()) return a->size();
  return 0;
}

size_t Value::length() const {
  const auto* s = string();
  return s ? s->size() : 0;
}

int64_t Value::intValue() const {
  switch (kind()) {
    case Kind::Integer: return *integer();
    case Kind::Real: {
      double r = *real();
      if (!(r == r)) return 0;  // NaN
      if (r >= 9.2e18) return INT64_MAX;
      if (r <= -9.2e18) return INT64_MIN;
      return static_cast<int64_t>(r);
    }
    case Kind::Boolean: return *boolean() ? 1 : 0;
    case Kind::String: return intValueOfText(*string());
    default: return 0;
  }
}

bool Value::equals(std::string_view text) const {
  const auto* s = string();
  return s && *s == text;
}

const std::string& Value::text() const {
  static const std::string kEmpty;
  const auto* s = string();
  return s ? *s : kEmpty;
}

void Value::append(Value item) {
  if (isAbsent()) v_ = Array{};
  if (auto* a = array()) a->push_back(std::move(item));
}

const Value& GetSubDictionary(const Value& dictionary, std::string_view key) { return dictionary[key]; }

}  // namespace corvane

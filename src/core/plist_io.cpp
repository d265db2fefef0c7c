#include "core/plist_io.h"

#include <plist/plist.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/binary_plist_texts.h"
#include "core/plist_depth.h"
#include "core/plist_expansion.h"
#include "core/utf8.h"

namespace corvane {

namespace {

// Deeper nesting than any real property list; guards the stack.
constexpr int kMaxDepth = kPropertyListMaxDepth;

// The library keeps dates as 32-bit seconds from 2001-01-01 and microseconds.
constexpr double kEarliestDate = std::numeric_limits<int32_t>::min();
constexpr double kLatestDate = std::numeric_limits<int32_t>::max();

struct PlistDeleter {
  void operator()(plist_t p) const { plist_free(p); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

bool fromNode(plist_t node, int depth, Value& out);

bool dictionaryFromNode(plist_t node, int depth, Value& out) {
  Dictionary dict;
  dict.reserve(plist_dict_get_size(node));
  plist_dict_iter it = nullptr;
  plist_dict_new_iter(node, &it);
  if (!it) return false;
  bool ok = true;
  for (;;) {
    char* key = nullptr;
    plist_t item = nullptr;
    plist_dict_next_item(node, it, &key, &item);
    if (!item) {
      std::free(key);
      break;
    }
    Value child;
    ok = key && fromNode(item, depth + 1, child);
    if (ok && plist_dict_get_size(node) == 1 && std::string_view(key) == "CF$UID" && child.integer()) {
      // XML keyed archives write object references as {CF$UID: n}.
      out = Value(Uid{static_cast<uint64_t>(*child.integer())});
      std::free(key);
      std::free(it);
      return true;
    }
    if (ok) dict.set(key, std::move(child));
    std::free(key);
    if (!ok) break;
  }
  std::free(it);
  if (ok) out = Value(std::move(dict));
  return ok;
}

// Walks the items with an iterator: libplist finds an item by index by
// counting from the first one, which made reading a long array (a keyed
// archive's object table) quadratic.
bool arrayFromNode(plist_t node, int depth, Value& out) {
  Value::Array items;
  items.reserve(plist_array_get_size(node));
  plist_array_iter it = nullptr;
  plist_array_new_iter(node, &it);
  if (!it) return false;
  bool ok = true;
  for (;;) {
    plist_t item = nullptr;
    plist_array_next_item(node, it, &item);
    if (!item) break;
    Value child;
    if (!(ok = fromNode(item, depth + 1, child))) break;
    items.push_back(std::move(child));
  }
  std::free(it);
  if (ok) out = Value(std::move(items));
  return ok;
}

bool fromNode(plist_t node, int depth, Value& out) {
  if (!node || depth > kMaxDepth) return false;
  switch (plist_get_node_type(node)) {
    case PLIST_DICT: return dictionaryFromNode(node, depth, out);
    case PLIST_ARRAY: return arrayFromNode(node, depth, out);
    case PLIST_STRING:
    case PLIST_KEY: {
      uint64_t len = 0;
      const char* s = plist_get_string_ptr(node, &len);
      std::string text(s ? s : "", s ? len : 0);
      // A text holding a NUL could not be written back as it was read: the
      // file is treated as damaged.
      if (text.find('\0') != std::string::npos) return false;
      out = Value(std::move(text));
      return true;
    }
    case PLIST_UINT: {
      uint64_t v = 0;
      plist_get_uint_val(node, &v);
      out = Value(static_cast<int64_t>(v));  // libplist keeps negatives as two's complement
      return true;
    }
    case PLIST_REAL: {
      double r = 0;
      plist_get_real_val(node, &r);
      out = Value(r);
      return true;
    }
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      out = Value(b != 0);
      return true;
    }
    case PLIST_DATA: {
      char* bytes = nullptr;
      uint64_t len = 0;
      plist_get_data_val(node, &bytes, &len);
      out = Value(Data{std::string(bytes ? bytes : "", bytes ? len : 0)});
      std::free(bytes);
      return true;
    }
    case PLIST_DATE: {
      int32_t sec = 0, usec = 0;
      plist_get_date_val(node, &sec, &usec);
      // The library hands out whole seconds cut toward zero and the fraction
      // without its sign; dates between -1 and 0 come back positive.
      const double seconds = sec < 0 ? sec - usec / 1e6 : sec + usec / 1e6;
      // A date the writer cannot give back (outside the library's range).
      if (!(seconds >= kEarliestDate && seconds <= kLatestDate)) return false;
      out = Value(Date{seconds});
      return true;
    }
    case PLIST_UID: {
      uint64_t v = 0;
      plist_get_uid_val(node, &v);
      out = Value(Uid{v});
      return true;
    }
    default: return false;
  }
}

plist_t toNode(const Value& value) {
  switch (value.kind()) {
    case Value::Kind::Dictionary: {
      plist_t dict = plist_new_dict();
      for (const auto& [key, child] : *value.dictionary())
        if (plist_t node = toNode(child)) plist_dict_set_item(dict, key.c_str(), node);
      return dict;
    }
    case Value::Kind::Array: {
      plist_t array = plist_new_array();
      for (const auto& child : *value.array())
        if (plist_t node = toNode(child)) plist_array_append_item(array, node);
      return array;
    }
    case Value::Kind::String: return plist_new_string(value.string()->c_str());
    case Value::Kind::Integer: return plist_new_uint(static_cast<uint64_t>(*value.integer()));
    case Value::Kind::Real: return plist_new_real(*value.real());
    case Value::Kind::Boolean: return plist_new_bool(*value.boolean() ? 1 : 0);
    case Value::Kind::Data: {
      const auto& bytes = value.data()->bytes;
      return plist_new_data(bytes.data(), bytes.size());
    }
    case Value::Kind::Date: {
      // Whole seconds and a non-negative fraction, kept inside the range the
      // library takes.
      const double seconds = value.date()->seconds;
      const double s = std::isnan(seconds) ? 0 : std::clamp(seconds, kEarliestDate, kLatestDate);
      double whole = std::floor(s);
      double micro = std::round((s - whole) * 1e6);
      if (micro >= 1e6) {
        micro = whole < kLatestDate ? 0 : 999999;
        whole = std::min(whole + 1, kLatestDate);
      }
      return plist_new_date(static_cast<int32_t>(whole), static_cast<int32_t>(micro));
    }
    case Value::Kind::Uid: return plist_new_uid(value.uid()->value);
    case Value::Kind::Absent: return nullptr;
  }
  return nullptr;
}

}  // namespace

Value parsePropertyList(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max()) return {};
  if (binaryPlistHasTextWithNul(bytes)) return {};
  // The library parses and frees recursively: a list nested deep enough
  // would overflow the stack before it came back.
  if (propertyListNestsDeeperThan(bytes)) return {};
  // Shared objects become copies of their own: a small file must not expand
  // past any real list's size.
  if (binaryPlistExpandsBeyond(bytes)) return {};
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  PlistPtr owner(root);
  Value out;
  if (!root || !fromNode(root, 0, out)) return {};
  return out;
}

std::string toXmlPropertyList(const Value& value) {
  PlistPtr root(toNode(value));
  if (!root) return {};
  char* xml = nullptr;
  uint32_t len = 0;
  plist_to_xml(root.get(), &xml, &len);
  std::string out(xml ? xml : "", xml ? len : 0);
  std::free(xml);
  return out;
}

namespace {

// Whether every key and string is UTF-8, as the binary form needs.
bool textsAreUtf8(const Value& value) {
  if (const std::string* text = value.string()) return isWellFormedUtf8(*text);
  if (const Dictionary* dict = value.dictionary()) {
    for (const auto& [key, child] : *dict)
      if (!isWellFormedUtf8(key) || !textsAreUtf8(child)) return false;
  }
  if (const Value::Array* items = value.array()) {
    for (const auto& child : *items)
      if (!textsAreUtf8(child)) return false;
  }
  return true;
}

}  // namespace

std::string toBinaryPropertyList(const Value& value) {
  // The library would write such a text cut short or garbled.
  if (!textsAreUtf8(value)) return {};
  PlistPtr root(toNode(value));
  if (!root) return {};
  char* bin = nullptr;
  uint32_t len = 0;
  plist_to_bin(root.get(), &bin, &len);
  std::string out(bin ? bin : "", bin ? len : 0);
  std::free(bin);
  return out;
}

}  // namespace corvane

#include "core/plist_io.h"

#include <plist/plist.h>

#include <cstdlib>
#include <limits>

#include "core/platform.h"

namespace corvane {

namespace {

// Deeper nesting than any real property list; guards the stack.
constexpr int kMaxDepth = 256;

struct PlistDeleter {
  void operator()(plist_t p) const { plist_free(p); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

bool fromNode(plist_t node, int depth, Value& out);

bool dictionaryFromNode(plist_t node, int depth, Value& out) {
  Dictionary dict;
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
      out = Value(std::string(s ? s : "", s ? len : 0));
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
      out = Value(Date{sec + usec / 1e6});
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
      double s = value.date()->seconds;
      auto sec = static_cast<int32_t>(s);
      return plist_new_date(sec, static_cast<int32_t>((s - sec) * 1e6));
    }
    case Value::Kind::Uid: return plist_new_uid(value.uid()->value);
    case Value::Kind::Absent: return nullptr;
  }
  return nullptr;
}

}  // namespace

Value parsePropertyList(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max()) return {};
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  PlistPtr owner(root);
  Value out;
  if (!root || !fromNode(root, 0, out)) return {};
  return out;
}

Value readPropertyList(const Platform& platform, std::string_view systemPath) {
  auto bytes = platform.readFile(systemPath);
  return bytes ? parsePropertyList(*bytes) : Value();
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

std::string toBinaryPropertyList(const Value& value) {
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

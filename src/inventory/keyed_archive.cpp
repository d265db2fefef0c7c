#include "inventory/keyed_archive.h"

#include <map>

#include "core/plist_io.h"

namespace corvane {

namespace {

// Deeper than any real archive; a circular reference runs into it.
constexpr int kMaxDepth = 128;
// More objects than any real archive holds once shared references are
// expanded; an archive that shares objects to blow up in size runs into it.
constexpr size_t kMaxDecodedObjects = 100000;

class Decoder {
 public:
  explicit Decoder(const Value::Array& objects) : objects_(objects) {}

  // False when the object cannot be decoded; isNull tells a "$null" apart.
  bool decode(const Value& reference, int depth, Value& out, bool& isNull) const {
    isNull = false;
    const Uid* uid = reference.uid();
    if (!uid || depth > kMaxDepth || uid->value >= objects_.size()) return false;
    if (++decoded_ > kMaxDecodedObjects) return false;
    const Value& object = objects_[uid->value];
    if (object.equals("$null")) {
      isNull = true;
      return true;
    }
    switch (object.kind()) {
      case Value::Kind::String:
      case Value::Kind::Integer:
      case Value::Kind::Real:
      case Value::Kind::Boolean:
      case Value::Kind::Data:
      case Value::Kind::Date: out = object; return true;
      case Value::Kind::Dictionary: return decodeObject(object, depth, out);
      default: return false;
    }
  }

 private:
  bool decodeObject(const Value& object, int depth, Value& out) const {
    const Value* classRef = object.dictionary()->find("$class");
    if (!classRef || !classRef->uid() || classRef->uid()->value >= objects_.size()) return false;
    const std::string& name = objects_[classRef->uid()->value]["$classname"].text();

    if (name == "NSDictionary" || name == "NSMutableDictionary") return decodeDictionary(object, depth, out);
    if (name == "NSArray" || name == "NSMutableArray" || name == "NSSet" || name == "NSMutableSet")
      return decodeList(object["NS.objects"], depth, out);
    if (name == "NSString" || name == "NSMutableString")
      return copyInline(object["NS.string"], Value::Kind::String, out);
    if (name == "NSData" || name == "NSMutableData") return copyInline(object["NS.data"], Value::Kind::Data, out);
    if (name == "NSDate") {
      const Value& time = object["NS.time"];
      if (time.real())
        out = Value(Date{*time.real()});
      else if (time.integer())
        out = Value(Date{static_cast<double>(*time.integer())});
      else
        return false;
      return true;
    }
    return false;
  }

  static bool copyInline(const Value& value, Value::Kind kind, Value& out) {
    if (value.kind() != kind) return false;
    out = value;
    return true;
  }

  bool decodeList(const Value& references, int depth, Value& out) const {
    if (!references.isArray()) return false;
    Value::Array items;
    items.reserve(references.count());
    for (const Value& reference : *references.array()) {
      Value item;
      bool isNull = false;
      if (!decode(reference, depth + 1, item, isNull)) return false;
      if (!isNull) items.push_back(std::move(item));
    }
    out = Value(std::move(items));
    return true;
  }

  bool decodeDictionary(const Value& object, int depth, Value& out) const {
    const Value& keys = object["NS.keys"];
    const Value& values = object["NS.objects"];
    if (!keys.isArray() || !values.isArray() || keys.count() != values.count()) return false;
    Dictionary dict;
    dict.reserve(keys.count());
    for (size_t i = 0; i < keys.count(); ++i) {
      Value key, value;
      bool keyIsNull = false, valueIsNull = false;
      if (!decode(keys[i], depth + 1, key, keyIsNull) || !decode(values[i], depth + 1, value, valueIsNull))
        return false;
      if (keyIsNull || valueIsNull) continue;
      if (!key.isString()) return false;  // the program's dictionaries are keyed by text
      dict.set(key.text(), std::move(value));
    }
    out = Value(std::move(dict));
    return true;
  }

  const Value::Array& objects_;
  mutable size_t decoded_ = 0;
};

class Encoder {
 public:
  Encoder() { objects_.push_back(Value("$null")); }

  // The reference of the encoded value; nullopt when it cannot be archived.
  std::optional<Uid> encode(const Value& value) {
    switch (value.kind()) {
      case Value::Kind::String:
      case Value::Kind::Integer:
      case Value::Kind::Real:
      case Value::Kind::Boolean:
      case Value::Kind::Data: return add(value);  // the system stores these inline too
      case Value::Kind::Date: return addObject("NSDate", {{"NS.time", Value(value.date()->seconds)}});
      case Value::Kind::Array: return encodeList(*value.array());
      case Value::Kind::Dictionary: return encodeDictionary(*value.dictionary());
      case Value::Kind::Absent:
      case Value::Kind::Uid: return std::nullopt;
    }
    return std::nullopt;
  }

  Value::Array takeObjects() { return std::move(objects_); }

 private:
  Uid add(Value object) {
    objects_.push_back(std::move(object));
    return Uid{objects_.size() - 1};
  }

  // Reserves the object's place first, so that a container comes before its
  // members, as in the system's own archives.
  std::optional<Uid> addObject(const std::string& className, std::vector<std::pair<std::string, Value>> fields) {
    Uid self = add(Value());
    Dictionary object;
    object.set("$class", Value(classReference(className)));
    for (auto& [key, value] : fields) object.set(key, std::move(value));
    objects_[self.value] = Value(std::move(object));
    return self;
  }

  std::optional<Uid> encodeList(const Value::Array& items) {
    Uid self = add(Value());
    Value::Array references;
    for (const Value& item : items) {
      if (item.isAbsent()) continue;
      auto reference = encode(item);
      if (!reference) return std::nullopt;
      references.push_back(Value(*reference));
    }
    Dictionary object;
    object.set("NS.objects", Value(std::move(references)));
    object.set("$class", Value(classReference("NSArray")));
    objects_[self.value] = Value(std::move(object));
    return self;
  }

  std::optional<Uid> encodeDictionary(const Dictionary& dict) {
    Uid self = add(Value());
    Value::Array keys, values;
    for (const auto& [key, value] : dict) {
      if (value.isAbsent()) continue;
      keys.push_back(Value(add(Value(key))));
      auto reference = encode(value);
      if (!reference) return std::nullopt;
      values.push_back(Value(*reference));
    }
    Dictionary object;
    object.set("NS.keys", Value(std::move(keys)));
    object.set("NS.objects", Value(std::move(values)));
    object.set("$class", Value(classReference("NSDictionary")));
    objects_[self.value] = Value(std::move(object));
    return self;
  }

  Uid classReference(const std::string& name) {
    auto known = classes_.find(name);
    if (known != classes_.end()) return known->second;
    Dictionary description;
    description.set("$classname", Value(name));
    description.set("$classes", Value::strings({name, "NSObject"}));
    Uid uid = add(Value(std::move(description)));
    classes_[name] = uid;
    return uid;
  }

  Value::Array objects_;
  std::map<std::string, Uid> classes_;
};

}  // namespace

Value decodeKeyedArchive(std::string_view bytes) {
  Value archive = parsePropertyList(bytes);
  if (!archive["$archiver"].equals("NSKeyedArchiver") || !archive["$objects"].isArray()) return {};
  const Value& top = archive["$top"];
  const Value* root = top.dictionary() ? top.dictionary()->find("root") : nullptr;
  // Archives written by other tools sometimes name their one root differently.
  if (!root && top.dictionary() && top.count() == 1) root = &top.dictionary()->entries().front().second;
  if (!root) return {};

  Decoder decoder(*archive["$objects"].array());
  Value out;
  bool isNull = false;
  if (!decoder.decode(*root, 0, out, isNull) || isNull) return {};
  return out;
}

std::optional<std::string> encodeKeyedArchive(const Value& value) {
  Encoder encoder;
  auto root = encoder.encode(value);
  if (!root) return std::nullopt;
  Dictionary top;
  top.set("root", Value(*root));
  Dictionary archive;
  archive.set("$version", Value(100000));
  archive.set("$archiver", Value("NSKeyedArchiver"));
  archive.set("$top", Value(std::move(top)));
  archive.set("$objects", Value(encoder.takeObjects()));
  std::string bytes = toBinaryPropertyList(Value(std::move(archive)));
  if (bytes.empty()) return std::nullopt;  // a text the binary form cannot hold
  return bytes;
}

}  // namespace corvane

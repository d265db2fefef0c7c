#include "repair/dictionary_edit.h"

namespace corvane {

Dictionary* subDictionary(Dictionary& dictionary, std::string_view key) {
  Value* value = dictionary.find(key);
  return value ? value->dictionary() : nullptr;
}

Dictionary* subDictionaryAt(Value& value, std::initializer_list<std::string_view> path) {
  Dictionary* level = value.dictionary();
  for (std::string_view key : path) {
    if (!level) return nullptr;
    level = subDictionary(*level, key);
  }
  return level;
}

const Value& entryOf(const Dictionary& dictionary, std::string_view key) {
  const Value* value = dictionary.find(key);
  return value ? *value : Value::absent();
}

}  // namespace corvane

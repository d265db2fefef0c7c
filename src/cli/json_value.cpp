#include "cli/json_value.h"

namespace corvane::cli {

namespace {

std::string base64(const std::string& bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    uint32_t n = (uint8_t(bytes[i]) << 16) | (uint8_t(bytes[i + 1]) << 8) | uint8_t(bytes[i + 2]);
    for (int s = 18; s >= 0; s -= 6) out += kAlphabet[(n >> s) & 63];
  }
  if (i < bytes.size()) {
    uint32_t n = uint8_t(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= uint8_t(bytes[i + 1]) << 8;
    out += kAlphabet[(n >> 18) & 63];
    out += kAlphabet[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

}  // namespace

nlohmann::ordered_json toJson(const Value& value) {
  using Kind = Value::Kind;
  switch (value.kind()) {
    case Kind::Absent: return nullptr;
    case Kind::Dictionary: {
      auto object = nlohmann::ordered_json::object();
      for (const auto& [key, child] : *value.dictionary()) object[key] = toJson(child);
      return object;
    }
    case Kind::Array: {
      auto array = nlohmann::ordered_json::array();
      for (const auto& child : *value.array()) array.push_back(toJson(child));
      return array;
    }
    case Kind::String: return value.text();
    case Kind::Integer: return *value.integer();
    case Kind::Real: return *value.real();
    case Kind::Boolean: return *value.boolean();
    case Kind::Data: return base64(value.data()->bytes);
    case Kind::Date: return value.date()->seconds;
    case Kind::Uid: return value.uid()->value;
  }
  return nullptr;
}

}  // namespace corvane::cli

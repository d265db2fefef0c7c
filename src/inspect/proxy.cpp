#include "inspect/proxy.h"

#include <cmath>
#include <cstdio>

#include "core/os_version.h"
#include "core/text.h"

namespace corvane {

namespace {

// A host or port value as text: strings as they are, numbers as their
// digits, anything else (missing, or a kind with no text form) as "(null)".
std::string textForm(const Value& value) {
  if (const auto* text = value.string()) return *text;
  if (const auto* integer = value.integer()) return std::to_string(*integer);
  if (const auto* boolean = value.boolean()) return *boolean ? "1" : "0";
  if (const auto* real = value.real()) {
    if (std::isfinite(*real) && *real == std::trunc(*real) && std::fabs(*real) < 1e15)
      return std::to_string(static_cast<int64_t>(*real));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", *real);
    return buffer;
  }
  return "(null)";
}

}  // namespace

std::string getProxyValue(const Platform& /*platform*/, const Value& proxies, std::string_view protocol) {
  std::string word(protocol);
  if (proxies[word + "Enable"].intValue() == 0) return "";
  return formatText("%@:%@", {textForm(proxies[word + "Proxy"]), textForm(proxies[word + "Port"])});
}

Value getProxy(const Platform& platform, const Value& service) {
  const Value& proxies = GetSubDictionary(service, "Proxies");
  // Present but not a dictionary: every key reads as missing, so the list
  // keeps its layout with every item off.
  if (proxies.isAbsent()) return Value(Value::Array{});

  std::vector<std::string> texts;
  for (std::string_view protocol : kProxyProtocols) texts.push_back(getProxyValue(platform, proxies, protocol));
  bool hasAutomatic = osAtLeast(platform, "10.3.2");
  if (hasAutomatic) {
    bool on = proxies["ProxyAutoConfigEnable"].intValue() != 0;
    texts.push_back(on ? proxies["ProxyAutoConfigURLString"].text() : "");
  }
  const Value& exceptions = proxies["ExceptionsList"];

  Value list = Value::strings(texts);
  list.append(exceptions.isArray() && exceptions.count() > 0 ? exceptions : Value(Value::Array{}));
  for (const auto& text : texts) {
    if (!text.empty()) {
      list.append("OK");
      break;
    }
  }
  return list;
}

}  // namespace corvane

#include "app/named_json.h"

namespace corvane {

using Json = nlohmann::ordered_json;

Json textOrNull(std::string_view text) {
  if (text.empty() || text == "----------" || text == "(null)") return nullptr;
  return std::string(text);
}

Json textOrNull(const Value& value) {
  if (!value.isString()) return nullptr;
  return textOrNull(value.text());
}

namespace {

Json textList(const Value& list) {
  Json out = Json::array();
  for (size_t i = 0; i < list.count(); ++i)
    if (Json text = textOrNull(list[i]); !text.is_null()) out.push_back(text);
  return out;
}

}  // namespace

Json proxyListJson(const Value& proxyList, bool newer) {
  if (!proxyList.isArray() || proxyList.count() == 0) return nullptr;
  static constexpr const char* kNames[] = {"http", "socks", "ftp", "gopher", "https", "rtsp", "mail"};
  Json out = Json::object();
  for (size_t i = 0; i < std::size(kNames); ++i) out[kNames[i]] = textOrNull(proxyList[i]);
  size_t next = std::size(kNames);
  if (newer) out["automatic"] = textOrNull(proxyList[next++]);
  out["exceptions"] = textList(proxyList[next]);
  out["anySet"] = proxyList[next + 1].text() == "OK";
  return out;
}

Json portEntryJson(const Value& portEntry, bool newer) {
  // [name, MAC, proxy list] or, without a known address, [name, proxy list].
  bool withMac = portEntry.count() >= 3;
  const Value& proxies = portEntry.count() >= 2 ? portEntry[portEntry.count() - 1] : Value::absent();
  return Json{{"name", textOrNull(portEntry[0])},
              {"mac", withMac ? textOrNull(portEntry[1]) : Json(nullptr)},
              {"proxies", proxies.isArray() ? proxyListJson(proxies, newer) : Json(nullptr)}};
}

Json portListJson(const Value& networks, bool newer) {
  Json locations = Json::array();
  for (size_t i = 1; i < networks.count(); ++i) {
    const Value& location = networks[i];
    Json ports = Json::array();
    for (size_t p = 0; p < location[1].count(); ++p) ports.push_back(portEntryJson(location[1][p], newer));
    locations.push_back(Json{{"name", textOrNull(location[0])}, {"ports", ports}});
  }
  return Json{{"current", textOrNull(networks[0])}, {"locations", locations}};
}

Json addressRecordJson(const Value& record) {
  Json ipv6 = Json::array();
  for (size_t i = 4; i < record.count(); ++i)
    if (Json text = textOrNull(record[i]); !text.is_null()) ipv6.push_back(text);
  return Json{{"interface", textOrNull(record[0])},
              {"address", textOrNull(record[1])},
              {"subnetMask", textOrNull(record[2])},
              {"broadcast", textOrNull(record[3])},
              {"ipv6Addresses", ipv6}};
}

Json tcpipRecordJson(const Value& record) {
  Json out = addressRecordJson(record[0]);
  out["method"] = textOrNull(record[1]);
  out["dnsServerInUse"] = textOrNull(record[2]);
  out["dnsServers"] = textList(record[3]);
  out["searchDomains"] = textList(record[4]);
  out["ipv6Method"] = textOrNull(record[5]);
  return out;
}

Json tcpipListJson(const Value& tcpips) {
  Json services = Json::array();
  for (size_t i = 0; i < tcpips.count(); ++i) services.push_back(tcpipRecordJson(tcpips[i]));
  return Json{{"services", services}};
}

Json browserListJson(const Value& browsers) {
  static constexpr const char* kNames[] = {"internetExplorer", "safari", "netscape", "firefox"};
  Json out = Json::object();
  for (size_t i = 0; i < std::size(kNames); ++i) {
    // "0" is how the readers say "not installed".
    std::string version = browsers[i].text();
    out[kNames[i]] = version == "0" ? Json(nullptr) : textOrNull(version);
  }
  return out;
}

Json mailListJson(const Value& mails) {
  Json accounts = Json::array();
  const Value& list = mails[3];
  for (size_t i = 0; i < list.count(); ++i) {
    const Value& a = list[i];
    accounts.push_back(Json{{"name", textOrNull(a[0])},
                            {"address", textOrNull(a[1])},
                            {"fullName", textOrNull(a[2])},
                            {"user", textOrNull(a[3])},
                            {"incomingServer", textOrNull(a[4])},
                            {"outgoingServer", textOrNull(a[5])}});
  }
  std::string version = mails[0].text();
  return Json{{"mailVersion", version == "0" ? Json(nullptr) : textOrNull(version)},
              {"accountCount", mails[1].intValue()},
              {"accounts", accounts}};
}

}  // namespace corvane

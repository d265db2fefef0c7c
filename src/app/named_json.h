#pragma once
// The readers' positional lists as JSON objects with named fields: what the
// report and `inspect` print for people and scripts. A value the readers mark
// as not found ("", "----------", "(null)") is null here.

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "core/plist_value.h"

namespace corvane {

// A text, or null when it stands for "not found".
nlohmann::ordered_json textOrNull(std::string_view text);
nlohmann::ordered_json textOrNull(const Value& value);
inline nlohmann::ordered_json textOrNull(const std::string& text) { return textOrNull(std::string_view(text)); }
inline nlohmann::ordered_json textOrNull(const char* text) { return textOrNull(std::string_view(text)); }

// A proxy list: {"http", "socks", "ftp", "gopher", "https", "rtsp", "mail",
// "automatic", "exceptions": [...], "anySet": bool}; the automatic address
// only where the list has it (10.3.2 on). An empty list gives null.
nlohmann::ordered_json proxyListJson(const Value& proxyList, bool newer);

// A port entry: {"name", "mac", "proxies"}.
nlohmann::ordered_json portEntryJson(const Value& portEntry, bool newer);

// The port list: {"current": name, "locations": [{"name", "ports": [...]}]}.
nlohmann::ordered_json portListJson(const Value& networks, bool newer);

// An address record: {"interface", "address", "subnetMask", "broadcast",
// "ipv6Addresses": [...]}.
nlohmann::ordered_json addressRecordJson(const Value& record);

// One TCP/IP record: {"interface", "address", "subnetMask", "broadcast",
// "ipv6Addresses", "method", "dnsServerInUse", "dnsServers", "searchDomains",
// "ipv6Method"}.
nlohmann::ordered_json tcpipRecordJson(const Value& record);
// The TCP/IP list: {"services": [record...]}.
nlohmann::ordered_json tcpipListJson(const Value& tcpips);

// The browser list: {"internetExplorer", "safari", "netscape", "firefox"},
// each version or null when not installed.
nlohmann::ordered_json browserListJson(const Value& browsers);

// The mail list: {"mailVersion", "accountCount", "accounts": [{"name",
// "address", "fullName", "user", "incomingServer", "outgoingServer"}]}.
nlohmann::ordered_json mailListJson(const Value& mails);

}  // namespace corvane

#pragma once
// What the provider prescribes: window title, router and DNS addresses, the
// TCP/IP method, the proxies and the test address. Loaded once from the
// provider file, the bundle resource "Corvane" of type "idx".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class Bundle;

struct ProviderDatas {
  // No value (nullopt) is distinct from the empty text; where a length is
  // asked, no value counts as empty.
  std::optional<std::string> title;     // "app_title"
  std::optional<std::string> routerip;  // "ruteip"
  std::optional<std::string> dns;       // "dns1"
  std::optional<std::string> dns2;      // "dns2"
  std::optional<std::string> tcp;       // "tcp"
  std::optional<std::string> tcpipv6;   // "tcpipv6"
  std::optional<std::string> iever;     // "ie_minver"
  std::string p_server;                 // "proxy_server": one proxy for every protocol
  std::string p_http;                   // "proxy_http", host:port or empty
  std::string p_secure;                 // "proxy_secure"
  std::string p_ftp;                    // "proxy_ftp"
  std::string p_gopher;                 // "proxy_gopher"
  std::string p_socks;                  // "proxy_socks"
  std::string no_proxy;                 // "proxy_no"
  std::optional<std::string> testurl;   // "http_access_url"
  bool p_enable = false;                // "proxy_enable": integer value exactly 1
  // Set by the repair when the existing modem configuration carries
  // SupportsModemOnHold.
  std::string smoh;

  // True when the record holds any setting of the provider (a missing,
  // unreadable or empty provider file gives none): without one there is
  // nothing to repair against.
  bool hasSettings() const;

  // The record of the bundle's provider file (defaults when it is missing).
  static ProviderDatas load(const Bundle& bundle);
  // The record of the provider file at a host path: every entry applied, then
  // a non-empty proxy_server copied over the five protocols.
  static ProviderDatas loadFile(const std::string& path);

  // Reads the provider file at a host path and fills the fields from its
  // entries; a file that cannot be read leaves them as they are. Always true.
  bool SetupProviders(const std::string& path);
};

// Splits one provider line (Shift-JIS bytes) at its first "=" into key and
// value, both UTF-8; the empty list when there is no "=" or the bytes are not
// Shift-JIS.
std::vector<std::string> getKeyAndValue(std::string_view line);

}  // namespace corvane

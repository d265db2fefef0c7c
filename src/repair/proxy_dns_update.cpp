#include "repair/proxy_dns_update.h"

#include "core/os_version.h"
#include "core/text.h"
#include "repair/dictionary_edit.h"

namespace corvane {

bool isNumber(const Value& value, int64_t n) {
  if (const int64_t* i = value.integer()) return *i == n;
  if (const double* r = value.real()) return *r == static_cast<double>(n);
  if (const bool* b = value.boolean()) return (*b ? 1 : 0) == n;
  return false;
}

void SetProxy(const Platform& platform, Dictionary& proxies, std::string_view protocol, std::string_view value) {
  const std::string enableKey = std::string(protocol) + "Enable";
  const std::string portKey = std::string(protocol) + "Port";
  const std::string proxyKey = std::string(protocol) + "Proxy";
  const Value* enable = proxies.find(enableKey);

  if (value.empty()) {
    if (enable && enable->intValue() != 0) {
      proxies.set(enableKey, 0);
      platform.log(formatText("Proxy:%@", {enableKey}));
    }
    return;
  }

  const std::vector<std::string> parts = splitText(value, ":");
  if (parts.size() != 2) return;
  const int32_t port = intValueOfText(parts[1]);
  const Value* host = proxies.find(proxyKey);
  const Value* currentPort = proxies.find(portKey);
  if (enable && enable->intValue() == 1 && host && host->equals(parts[0]) && currentPort &&
      currentPort->intValue() == port)
    return;
  proxies.set(enableKey, 1);
  proxies.set(proxyKey, parts[0]);
  proxies.set(portKey, port);
}

void UpdateProxy(const Platform& platform, Dictionary& service, const ProviderDatas& settings) {
  Dictionary unattached;
  Dictionary* proxies = subDictionary(service, "Proxies");
  if (!proxies) {
    platform.log("no proxy");
    proxies = &unattached;
  }

  const Value* exceptions = proxies->find("ExceptionsList");
  if (exceptions && exceptions->count() > 0) {
    proxies->erase("ExceptionsList");
    platform.log("ExceptionsList");
  }

  SetProxy(platform, *proxies, "HTTP", settings.p_http);
  SetProxy(platform, *proxies, "SOCKS", settings.p_socks);
  SetProxy(platform, *proxies, "FTP", settings.p_ftp);
  SetProxy(platform, *proxies, "Gopher", settings.p_gopher);
  SetProxy(platform, *proxies, "HTTPS", settings.p_secure);
  SetProxy(platform, *proxies, "RTSP", "");

  if (compOSVersion(platform, "10.3") >= 0 && compOSVersion(platform, "10.3.3") < 0)
    SetProxy(platform, *proxies, "Mail", "");

  if (compOSVersion(platform, "10.4") >= 0) {
    const Value* selected = proxies->find("AppleProxyConfigurationSelected");
    if (selected && isNumber(*selected, 1)) proxies->set("AppleProxyConfigurationSelected", 2);
  }
  if (compOSVersion(platform, "10.3.2") >= 0) {
    const Value* autoConfig = proxies->find("ProxyAutoConfigEnable");
    if (autoConfig && isNumber(*autoConfig, 1)) proxies->set("ProxyAutoConfigEnable", 0);
  }
}

void UpdateDNS(Dictionary& service) {
  Dictionary* dns = subDictionary(service, "DNS");
  if (!dns || dns->empty()) return;
  const Value* servers = dns->find("ServerAddresses");
  if (servers && servers->count() > 0) dns->erase("ServerAddresses");
  const Value* domains = dns->find("SearchDomains");
  if (domains && domains->count() > 0) dns->erase("SearchDomains");
}

}  // namespace corvane

#include "app/row_texts.h"

#include <string_view>

#include "core/text.h"

namespace corvane {
namespace {

constexpr std::string_view kNotFound = "----------";

// The offer's label of each protocol, in list order.
constexpr std::string_view kProxyLabels[kProxyProtocolCount] = {"  HTTP",  "  Socks", "  FTP", "  Gopher",
                                                                "  https", "  RTSP",  "  Mail"};

std::string_view proxyLabel(ProxyProtocol protocol) { return kProxyLabels[static_cast<size_t>(protocol)]; }

}  // namespace

std::string hardwareRowText(const Value& hardwareProfile, const LocalizedStrings& l) {
  std::string cpu, clock, memory;
  const Value& items = hardwareProfile[0];
  if (items.isDictionary() && items.count() > 0) {
    cpu = items["cpu_type"].text();
    clock = items["current_processor_speed"].text();
    memory = items["physical_memory"].text();
  }
  if (cpu.empty()) cpu = "UNKNOWN";
  if (clock.empty()) clock = "? MHz";
  if (memory.empty()) memory = "? MB";
  return formatText("%@ : %@\n%@ : %@,   %@ : %@", {l("CPU"), cpu, l("clock"), clock, l("memory"), memory});
}

std::string networkRowText(const Value& portEntry, bool hasAutomatic, const LocalizedStrings& l) {
  if (!portEntry.isArray() || portEntry.count() == 0) return l("noNetwork");
  const PortEntry entry = PortEntry::fromList(portEntry, hasAutomatic);
  std::string text = formatText("%@ : %@\n", {l("port"), entry.port});
  if (portEntry.count() >= 3) text += formatText("%@ : %@   ", {l("mac"), entry.mac});
  text += formatText("%@ : ", {l("proxy")});
  text += entry.proxies.complete ? l("exist") : l("no");
  return text;
}

std::string tcpipRowText(const TcpipRecord& record, const LocalizedStrings& l) {
  const std::string ipv6 = record.address.ipv6Address.value_or(std::string(kNotFound));
  return formatText("%@ : %@   %@\n%@ : %@\n%@ : %@   %@",
                    {l("ipaddress"), record.address.address, l(record.method), l("dns"), record.dnsServerInUse,
                     l("ipv6address"), ipv6, l(record.ipv6Method)});
}

std::string mailRowText(const MailList& mail, const LocalizedStrings& l) {
  if (!mail.installed) return std::string(kNotFound);
  std::string text = formatText("Mail %@\n", {mail.version});
  if (mail.accountCount == 1) return text + formatText("%@ : %@", {l("account"), mail.firstAccount});
  return text + formatText("%@ : %@", {l("accountCount"), std::to_string(mail.accountCount)});
}

std::string browserRowText(const Value& browsers) {
  std::string text;
  if (browsers.count() != 4) return text;
  auto present = [&](size_t i) { return intValueOfText(browsers[i].text()) != 0; };
  auto piece = [&](std::string_view format, size_t i) { return formatText(format, {browsers[i].text()}); };
  if (present(0)) {
    text = piece("Internet Explorer %@", 0);
    if (present(1)) text += piece(" / Safari %@", 1);
    bool second = false;
    if (present(2)) {
      text += piece("\nNetscape %@", 2);
      second = true;
    }
    if (present(3)) text += piece(second ? " / Firefox %@" : "\nFirefox %@", 3);
    return text;
  }
  constexpr std::string_view names[] = {"", "Safari", "Netscape", "Firefox"};
  int shown = 0;
  for (size_t i = 1; i < 4; ++i) {
    if (!present(i)) continue;
    std::string_view separator = shown == 0 ? "" : shown % 2 == 1 ? " / " : "\n";
    text += std::string(separator) + std::string(names[i]) + " " + browsers[i].text();
    ++shown;
  }
  if (shown == 0) text = std::string(kNotFound);
  return text;
}

std::vector<std::string> proxyOfferPairs(const ProxyList& proxies, const ProviderDatas& prvs,
                                         const LocalizedStrings& l) {
  std::vector<std::string> pairs;
  auto add = [&](std::string name, std::string result) {
    pairs.push_back(std::move(name));
    pairs.push_back(std::move(result));
  };
  if (proxies.complete) {
    add(l("proxy"), l("exist"));
    for (size_t i = 0; i < kProxyProtocolCount; ++i)
      if (!proxies.protocols[i].empty()) add(std::string(kProxyLabels[i]), proxies.protocols[i]);
    if (!proxies.automatic.empty()) add("  " + l("auto"), proxies.automatic);
    for (size_t i = 0; i < proxies.exceptions.size(); ++i) add(i == 0 ? l("exception") : "", proxies.exceptions[i]);
  } else {
    add(l("proxy"), l("no"));
  }
  add("", "");
  add(l("recommended"), "");
  if (prvs.p_enable) {
    add(l("proxy"), l("exist"));
    const std::pair<const std::string&, ProxyProtocol> recommended[] = {{prvs.p_http, ProxyProtocol::Http},
                                                                        {prvs.p_socks, ProxyProtocol::Socks},
                                                                        {prvs.p_ftp, ProxyProtocol::Ftp},
                                                                        {prvs.p_gopher, ProxyProtocol::Gopher},
                                                                        {prvs.p_secure, ProxyProtocol::Https}};
    for (const auto& [value, protocol] : recommended)
      if (!value.empty()) add(std::string(proxyLabel(protocol)), value);
  } else {
    add(l("proxy"), l("no"));
  }
  return pairs;
}

}  // namespace corvane

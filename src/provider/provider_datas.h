#pragma once
// Provider settings record (placeholder until the provider library lands).

#include <optional>
#include <string>

namespace corvane {

struct ProviderDatas {
  std::optional<std::string> title, routerip, dns, dns2, tcp, tcpipv6, iever, testurl;
  std::string p_server, p_http, p_secure, p_ftp, p_gopher, p_socks, no_proxy;
  bool p_enable = false;
  std::string smoh;
};

}  // namespace corvane

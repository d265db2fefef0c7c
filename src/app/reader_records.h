#pragma once
// The readers' lists under names. The readers give positional lists (the
// formats documented beside them, which `inspect --raw` prints, the report
// names and the tests' canned results are written in); the controller and the
// panel models read them through these records. Reading a list never fails:
// an element it lacks or holds in another type reads as the empty text or list.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/plist_value.h"

namespace corvane {

// The proxy list's protocols, in list order.
enum class ProxyProtocol { Http, Socks, Ftp, Gopher, Https, Rtsp, Mail };
inline constexpr size_t kProxyProtocolCount = 7;

// A port's proxy list: the seven protocol texts, from 10.3.2 on the automatic
// proxy, the exceptions, and "OK" when some text is set. A port whose proxies
// are all off has a shorter list, its missing texts unset.
struct ProxyList {
  std::array<std::string, kProxyProtocolCount> protocols;
  std::string automatic;  // always "" before 10.3.2
  std::vector<std::string> exceptions;
  // The list has every element, which it has only when some proxy is set.
  bool complete = false;

  const std::string& operator[](ProxyProtocol protocol) const { return protocols[static_cast<size_t>(protocol)]; }
  // hasAutomatic: the list carries the automatic proxy (10.3.2 and later).
  static ProxyList fromList(const Value& list, bool hasAutomatic);
};

// A port entry of a location: [port name], [port name, proxy list] or
// [port name, hardware address, proxy list].
struct PortEntry {
  std::string port;
  std::string mac;  // "" when the entry has no hardware address
  Value proxyList;  // the list itself, empty when the entry has none
  ProxyList proxies;

  static PortEntry fromList(const Value& entry, bool hasAutomatic);
};

// An address record: [interface name, IPv4 address, netmask, broadcast or
// point-to-point peer, IPv6 address...].
struct AddressRecord {
  std::string interfaceName;
  std::string address;
  std::string subnetMask;
  std::string broadcast;
  // The second IPv6 address when there are two or more (the first is the
  // link-local one), else the only one; nullopt without any.
  std::optional<std::string> ipv6Address;

  static AddressRecord fromList(const Value& record);
};

// A TCP/IP record: [address record, IPv4 method, DNS server in use,
// [configured DNS servers], [search domains], IPv6 method].
struct TcpipRecord {
  AddressRecord address;
  std::string method;
  std::string dnsServerInUse;
  std::vector<std::string> dnsServers;
  std::vector<std::string> searchDomains;
  std::string ipv6Method;

  static TcpipRecord fromList(const Value& record);
};

// One mail account: [name, address, full user name, user, incoming host,
// outgoing host].
struct MailListAccount {
  std::string name;
  std::string address;
  std::string fullName;
  std::string user;
  std::string incomingHost;
  std::string outgoingHost;

  static MailListAccount fromList(const Value& account);
};

// The mail list: [Mail's version ("0" without Mail), account count, first
// account's name, [account...]].
struct MailList {
  std::string version;
  bool installed = false;  // the version reads as a nonzero number
  int64_t accountCount = 0;
  std::string firstAccount;
  std::vector<MailListAccount> accounts;

  static MailList fromList(const Value& list);
};

}  // namespace corvane

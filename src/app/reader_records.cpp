#include "app/reader_records.h"

namespace corvane {
namespace {

std::vector<std::string> texts(const Value& list) {
  std::vector<std::string> out;
  for (size_t i = 0; i < list.count(); ++i) out.push_back(list[i].text());
  return out;
}

}  // namespace

ProxyList ProxyList::fromList(const Value& list, bool hasAutomatic) {
  ProxyList proxies;
  for (size_t i = 0; i < kProxyProtocolCount; ++i) proxies.protocols[i] = list[i].text();
  size_t next = kProxyProtocolCount;
  if (hasAutomatic) proxies.automatic = list[next++].text();
  proxies.exceptions = texts(list[next]);
  proxies.complete = list.count() == next + 2;
  return proxies;
}

PortEntry PortEntry::fromList(const Value& entry, bool hasAutomatic) {
  PortEntry port;
  port.port = entry[0].text();
  if (entry.count() >= 3) port.mac = entry[1].text();
  const Value& last = entry[entry.count() - 1];
  port.proxyList = entry.count() >= 2 && last.isArray() ? last : Value(Value::Array{});
  port.proxies = ProxyList::fromList(port.proxyList, hasAutomatic);
  return port;
}

AddressRecord AddressRecord::fromList(const Value& record) {
  AddressRecord address;
  address.interfaceName = record[0].text();
  address.address = record[1].text();
  address.subnetMask = record[2].text();
  address.broadcast = record[3].text();
  if (record.count() > 5)
    address.ipv6Address = record[5].text();
  else if (record.count() > 4)
    address.ipv6Address = record[4].text();
  return address;
}

TcpipRecord TcpipRecord::fromList(const Value& record) {
  TcpipRecord tcpip;
  tcpip.address = AddressRecord::fromList(record[0]);
  tcpip.method = record[1].text();
  tcpip.dnsServerInUse = record[2].text();
  tcpip.dnsServers = texts(record[3]);
  tcpip.searchDomains = texts(record[4]);
  tcpip.ipv6Method = record[5].text();
  return tcpip;
}

MailListAccount MailListAccount::fromList(const Value& account) {
  return MailListAccount{account[0].text(), account[1].text(), account[2].text(),
                         account[3].text(), account[4].text(), account[5].text()};
}

MailList MailList::fromList(const Value& list) {
  MailList mail;
  mail.version = list[0].text();
  mail.installed = list[0].intValue() != 0;
  mail.accountCount = list[1].intValue();
  mail.firstAccount = list[2].text();
  const Value& accounts = list[list.count() - 1];
  if (accounts.isArray())
    for (size_t i = 0; i < accounts.count(); ++i) mail.accounts.push_back(MailListAccount::fromList(accounts[i]));
  return mail;
}

}  // namespace corvane

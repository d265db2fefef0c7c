#include "app/tcpip_panel.h"

namespace corvane {

void TcpipPanelModel::showPanel(const Value& tcpips, const Value& networks, const LocalizedStrings& strings) {
  tcpips_ = tcpips;
  strings_ = &strings;
  fill(networks, strings);
  placeEnabled_ = false;  // the TCP/IP list describes the current location only
}

void TcpipPanelModel::showPort(const Value&, size_t portIndex) {
  clearValue();
  const Value& record = tcpips_[portIndex];
  if (record.isAbsent()) return;
  fields_.dns1 = record[2].text();
  fields_.use = strings_->text(record[1].text());
  const Value& address = record[0];
  if (address.count() > 1) fields_.ipaddress = address[1].text();
  if (address.count() > 2) fields_.subnetmask = address[2].text();
  if (address.count() > 3) fields_.router = address[3].text();
  if (address.count() > 5)
    fields_.ipv6address = address[5].text();
  else if (address.count() > 4)
    fields_.ipv6address = address[4].text();
  if (record.count() > 5) fields_.ipv6config = strings_->text(record[5].text());
  const Value& servers = record[3];
  for (size_t i = 0; i < servers.count(); ++i) {
    if (i > 0) fields_.dnsserver += "\n";
    fields_.dnsserver += servers[i].text();
  }
  const Value& domains = record[4];
  for (size_t i = 0; i < domains.count(); ++i) fields_.searchdomain += domains[i].text();
}

}  // namespace corvane

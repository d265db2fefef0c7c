#include "app/tcpip_panel_model.h"

#include <vector>

namespace corvane {

namespace {

// A port entry that the port list makes for a service that the store lacks
// or that has no settings: no name, no hardware address, an empty proxy list.
bool isEntryWithoutService(const Value& entry) {
  return entry.count() == 2 && entry[0].text().empty() && entry[1].isArray() && entry[1].count() == 0;
}

}  // namespace

std::optional<size_t> tcpipRecordIndex(const Value& location, size_t portIndex, size_t recordCount) {
  // The entries that the port pop-up lists, in its order.
  std::vector<const Value*> ports;
  for (size_t i = 0; i < location[1].count(); ++i)
    if (location[1][i].count() > 1) ports.push_back(&location[1][i]);
  if (portIndex >= ports.size()) return std::nullopt;
  // The TCP/IP list leaves out the services that are missing or empty, while
  // the port list keeps an entry for each; as many entries as the TCP/IP list
  // is short, taken among those that can stand for such a service, have no
  // record.
  size_t skipped = ports.size() > recordCount ? ports.size() - recordCount : 0;
  size_t record = 0;
  for (size_t i = 0; i < ports.size(); ++i) {
    bool withoutRecord = skipped > 0 && isEntryWithoutService(*ports[i]);
    if (withoutRecord) --skipped;
    if (i == portIndex) {
      if (withoutRecord || record >= recordCount) return std::nullopt;
      return record;
    }
    if (!withoutRecord) ++record;
  }
  return std::nullopt;
}

void TcpipPanelModel::showPanel(const Value& tcpips, const Value& networks, const LocalizedStrings& strings) {
  tcpips_ = tcpips;
  strings_ = &strings;
  fill(networks, strings);
  placeEnabled_ = false;  // the TCP/IP list describes the current location only
}

void TcpipPanelModel::showPort(const Value& location, size_t portIndex) {
  clearValue();
  const auto recordIndex = tcpipRecordIndex(location, portIndex, tcpips_.count());
  if (!recordIndex) return;
  const Value& record = tcpips_[*recordIndex];
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

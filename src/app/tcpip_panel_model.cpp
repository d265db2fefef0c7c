#include "app/tcpip_panel_model.h"

#include <vector>

#include "app/reader_records.h"
#include "core/text.h"

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
  if (tcpips_[*recordIndex].isAbsent()) return;
  const TcpipRecord record = TcpipRecord::fromList(tcpips_[*recordIndex]);
  fields_.dns1 = record.dnsServerInUse;
  fields_.use = strings_->text(record.method);
  fields_.ipaddress = record.address.address;
  fields_.subnetmask = record.address.subnetMask;
  fields_.router = record.address.broadcast;
  fields_.ipv6address = record.address.ipv6Address.value_or("");
  fields_.ipv6config = strings_->text(record.ipv6Method);
  fields_.dnsserver = joinTexts(record.dnsServers, "\n");
  fields_.searchdomain = joinTexts(record.searchDomains, "");
}

}  // namespace corvane

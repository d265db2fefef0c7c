#include "app/network_panel_model.h"

#include "app/reader_records.h"
#include "core/text.h"

namespace corvane {

void NetworkPanelModel::showPanel(const Value& networks, const LocalizedStrings& strings, bool newer) {
  newer_ = newer;
  fill(networks, strings);
}

void NetworkPanelModel::showPort(const Value& location, size_t portIndex) {
  // The pop-up lists only entries with more than one item; find the one shown.
  const Value* entry = &Value::absent();
  size_t shown = 0;
  for (size_t i = 0; i < location[1].count(); ++i) {
    if (location[1][i].count() <= 1) continue;
    if (shown++ == portIndex) {
      entry = &location[1][i];
      break;
    }
  }
  clearValue();
  if (entry->count() < 2) return;
  const PortEntry port = PortEntry::fromList(*entry, newer_);
  fields_.mac = port.mac;
  const ProxyList& proxies = port.proxies;
  fields_.web = proxies[ProxyProtocol::Http];
  fields_.socks = proxies[ProxyProtocol::Socks];
  fields_.ftp = proxies[ProxyProtocol::Ftp];
  fields_.gopher = proxies[ProxyProtocol::Gopher];
  fields_.secure = proxies[ProxyProtocol::Https];
  fields_.rtsp = proxies[ProxyProtocol::Rtsp];
  fields_.mail = proxies[ProxyProtocol::Mail];
  fields_.autoP = proxies.automatic;
  fields_.noProxy = joinTexts(proxies.exceptions, "\n");
}

}  // namespace corvane

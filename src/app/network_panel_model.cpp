#include "app/network_panel_model.h"

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
  if (entry->count() > 2 && !(*entry)[1].text().empty()) fields_.mac = (*entry)[1].text();
  if (entry->count() < 2) return;
  const Value& proxy = (*entry)[entry->count() - 1];
  if (proxy.count() == 0) return;
  fields_.web = proxy[0].text();
  fields_.socks = proxy[1].text();
  fields_.ftp = proxy[2].text();
  fields_.gopher = proxy[3].text();
  fields_.secure = proxy[4].text();
  fields_.rtsp = proxy[5].text();
  fields_.mail = proxy[6].text();
  if (newer_) fields_.autoP = proxy[7].text();
  const Value& exceptions = proxy[newer_ ? 8 : 7];
  for (size_t i = 0; i < exceptions.count(); ++i) {
    if (i > 0) fields_.noProxy += "\n";
    fields_.noProxy += exceptions[i].text();
  }
}

}  // namespace corvane

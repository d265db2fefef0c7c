#pragma once
// The network panel: a port's hardware address and proxies for a chosen
// location and port of the port list.

#include <string>

#include "app/location_popups.h"
#include "core/platform.h"

namespace corvane {

class NetworkPanelModel : public LocationPopups {
 public:
  struct Fields {
    std::string mac, web, socks, ftp, gopher, secure, rtsp, mail, autoP, noProxy;
  };

  // newer: the running system is 10.3.2 or later (automatic proxy
  // configuration at proxy-list item 7, exceptions at item 8).
  void showPanel(const Value& networks, const LocalizedStrings& strings, bool newer);

  const Fields& fields() const { return fields_; }

 private:
  void clearValue() override { fields_ = {}; }
  void showPort(const Value& location, size_t portIndex) override;

  bool newer_ = true;
  Fields fields_;
};

}  // namespace corvane

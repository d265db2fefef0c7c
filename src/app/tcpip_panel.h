#pragma once
// The TCP/IP panel: the TCP/IP record of a chosen port of the current
// location. The port pop-up's index is the index into the TCP/IP list.

#include <string>

#include "app/location_popups.h"

namespace corvane {

class TcpipPanelModel : public LocationPopups {
 public:
  struct Fields {
    std::string dns1, use, ipaddress, subnetmask, router, dnsserver, searchdomain, ipv6address, ipv6config;
  };

  void showPanel(const Value& tcpips, const Value& networks, const LocalizedStrings& strings);

  const Fields& fields() const { return fields_; }

 private:
  void clearValue() override { fields_ = {}; }
  void showPort(const Value& location, size_t portIndex) override;

  Value tcpips_;
  const LocalizedStrings* strings_ = nullptr;
  Fields fields_;
};

}  // namespace corvane

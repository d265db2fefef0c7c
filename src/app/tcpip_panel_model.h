#pragma once
// The TCP/IP panel: the TCP/IP record of a chosen port of the current
// location.

#include <optional>
#include <string>

#include "app/location_popups.h"

namespace corvane {

// The index in the TCP/IP list of the record of the port at portIndex of the
// port pop-up (the location entry's ports with more than one item). Both
// lists hold the location's active services in service order, but the
// TCP/IP list leaves out those missing from the store or empty, for which
// the port list keeps a nameless entry without address or proxies: when the
// TCP/IP list has n records fewer than the pop-up has ports, the first n
// such entries have no record. nullopt for those and past the end.
std::optional<size_t> tcpipRecordIndex(const Value& location, size_t portIndex, size_t recordCount);

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

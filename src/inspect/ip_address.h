#pragma once
// The addresses the interfaces have now, from "/sbin/ifconfig -au", and the
// address record of one configured service.

#include <string>

#include "core/platform.h"
#include "core/plist_value.h"

namespace corvane {

// The record of a service with no address: "", then "----------" three times.
Value noAddressRecord();

// One address record per interface with an IPv4 address (see
// addressRecordsFromIfconfig); runs ifconfig on every call.
Value IPAddressList(Platform& platform);

// The address record of a service: the record of its device, or for a PPP
// service the first "ppp" interface; a PPP service whose daemon is not running
// for it (pppLinkUp false) and a service without a matching interface get the
// no-address record. A service of type "Ethernet" adds one to *ethcount,
// when given: the count of Ethernet services a walk examined.
Value getIPAddr(Platform& platform, const Value& service, bool pppLinkUp, int* ethcount = nullptr);

// The IPv4 address of the current location's first usable service,
// "----------" when it has none, "0" when there is no usable service.
std::string getIPAddress(Platform& platform);

}  // namespace corvane

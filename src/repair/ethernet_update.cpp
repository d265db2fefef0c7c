#include "repair/ethernet_update.h"

#include "core/os_version.h"
#include "repair/dictionary_edit.h"
#include "repair/proxy_dns_update.h"

namespace corvane {

namespace {

void repairInterface(const Platform& platform, Dictionary& interface) {
  if (!entryOf(interface, "Type").equals("Ethernet")) {
    platform.log("dont ethernet");
    interface.set("Type", "Ethernet");
  }
  if (entryOf(interface, "SubType").length() > 0) {
    interface.erase("SubType");
    platform.log("subtype");
  }
}

void repairIPv4(const Platform& platform, Dictionary& ipv4) {
  if (entryOf(ipv4, "Addresses").count() > 0) {
    platform.log("ipv4 address");
    ipv4.erase("Addresses");
  }
  if (!entryOf(ipv4, "ConfigMethod").equals("DHCP")) {
    platform.log("DHCP");
    ipv4.set("ConfigMethod", "DHCP");
  }
  if (entryOf(ipv4, "DHCPClientID").length() > 0) {
    platform.log("DHCP Client ID");
    ipv4.erase("DHCPClientID");
  }
  if (entryOf(ipv4, "Router").length() > 0) {
    platform.log("router");
    ipv4.erase("Router");
  }
  if (entryOf(ipv4, "SubnetMasks").count() > 0) {
    platform.log("subnetmask");
    ipv4.erase("SubnetMasks");
  }
}

}  // namespace

void UpdateEthernetService(const Platform& platform, Dictionary& service, const ProviderDatas& settings) {
  if (Dictionary* ppp = subDictionary(service, "PPP"); ppp && compOSVersion(platform, "10.4") < 0) {
    if (entryOf(*ppp, "LogFile").length() > 0) {
      platform.log("LogFile");
      ppp->erase("LogFile");
      ppp->set("Logfile", "/tmp/ppp.log");
    }
  }
  Dictionary* ppp = subDictionary(service, "PPP");
  if (!ppp || entryOf(*ppp, "__INACTIVE__").intValue() != 1) {
    if (ppp) ppp->set("__INACTIVE__", 1);
    platform.log("ppp __INACTIVE__");
  }
  if (!subDictionary(service, "IPv4")) platform.log("no ipv4");
  if (!subDictionary(service, "IPv6")) platform.log("no ipv6");

  UpdateProxy(platform, service, settings);
  UpdateDNS(service);

  // Looked up again: the steps above may have changed the service.
  if (Dictionary* interface = subDictionary(service, "Interface"))
    repairInterface(platform, *interface);
  else
    platform.log("no interface");

  Dictionary unattachedIPv4;
  Dictionary* ipv4 = subDictionary(service, "IPv4");
  repairIPv4(platform, ipv4 ? *ipv4 : unattachedIPv4);

  Dictionary unattachedIPv6;
  Dictionary* ipv6 = subDictionary(service, "IPv6");
  if (!ipv6) ipv6 = &unattachedIPv6;
  if (!entryOf(*ipv6, "ConfigMethod").equals("Automatic")) {
    platform.log("IPv6 ConfigMethod");
    ipv6->set("ConfigMethod", "Automatic");
  }

  service.erase("__INACTIVE__");
}

}  // namespace corvane

#include "inspect/ip_address.h"

#include "inspect/get_port.h"
#include "inspect/ifconfig_output.h"

namespace corvane {

Value noAddressRecord() { return Value::strings({"", "----------", "----------", "----------"}); }

Value IPAddressList(Platform& platform) {
  return addressRecordsFromIfconfig(platform.runTool("/sbin/ifconfig", {"-au"}).output);
}

Value getIPAddr(Platform& platform, const Value& service, bool pppLinkUp, int* ethcount) {
  Value interface = getType(platform, service);
  const std::string& type = interface[1].text();
  const std::string& deviceName = interface[2].text();
  bool isPPP = type == "PPP";
  if (!pppLinkUp && isPPP) return noAddressRecord();
  if (type == "Ethernet" && ethcount) ++*ethcount;

  Value records = IPAddressList(platform);
  if (const auto* list = records.array()) {
    for (const Value& record : *list) {
      const std::string& name = record[0].text();
      if (name == deviceName || (isPPP && name.starts_with("ppp"))) return record;
    }
  }
  return noAddressRecord();
}

std::string getIPAddress(Platform& platform) {
  Value store = loadStore(platform);
  Value serviceIDs = getCurrentSet(store);
  for (const Value& serviceID : *serviceIDs.array()) {
    Value service = getServiceAndKey(store, serviceID.text());
    if (service.count() == 0) continue;
    return getIPAddr(platform, service, false)[1].text();
  }
  return "0";
}

}  // namespace corvane

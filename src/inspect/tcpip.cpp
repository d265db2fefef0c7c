#include "inspect/tcpip.h"

#include "inspect/get_port.h"
#include "inspect/ip_address.h"
#include "inspect/resolver_output.h"

namespace corvane {

namespace {

constexpr std::string_view kNoServer = "----------";

std::string configMethod(const Value& service, std::string_view protocol) {
  const Value& settings = GetSubDictionary(service, protocol);
  return settings.count() > 0 ? settings["ConfigMethod"].text() : "";
}

Value configuredList(const Value& service, std::string_view key) {
  const Value& list = GetSubDictionary(service, "DNS")[key];
  return list.isArray() && list.count() > 0 ? list : Value(Value::Array{});
}

}  // namespace

std::string getTCP(const Platform& /*platform*/, const Value& service) { return configMethod(service, "IPv4"); }

std::string getIPv6Type(const Platform& /*platform*/, const Value& service) { return configMethod(service, "IPv6"); }

Value getDomain(const Platform& /*platform*/, const Value& service) {
  return configuredList(service, "ServerAddresses");
}

Value getSearchDomain(const Platform& /*platform*/, const Value& service) {
  return configuredList(service, "SearchDomains");
}

std::string getDNSServer(Platform& platform, std::string_view interfaceName) {
  if (interfaceName.empty()) return std::string(kNoServer);
  // Only the lines naming the server are of interest; the name looked up is not.
  auto server = serverFromResolverOutput(platform.runTool("/usr/bin/nslookup", {std::string(interfaceName)}).output,
                                         kNslookupServerPrefix);
  if (!server) server = serverFromResolverOutput(platform.runTool("/usr/bin/dig", {}).output, kDigServerPrefix);
  return server.value_or(std::string(kNoServer));
}

Value getTCPIP(Platform& platform, int* ethcount) {
  Value records(Value::Array{});
  // One reading of the store for the whole walk: the services are then taken
  // from one consistent state, and a large store is parsed once, not per service.
  Value store = loadStore(platform);
  Value serviceIDs = getCurrentSet(store);
  if (ethcount) *ethcount = 0;
  if (serviceIDs.count() == 0 || serviceIDs[0].length() == 0) return records;

  for (const Value& serviceID : *serviceIDs.array()) {
    std::string pppServiceID = getServiceID(platform);
    Value service = getServiceAndKey(store, serviceID.text());
    if (service.count() == 0) continue;
    bool pppLinkUp = !pppServiceID.empty() && pppServiceID == serviceID.text();
    Value address = getIPAddr(platform, service, pppLinkUp, ethcount);
    Value record(Value::Array{});
    record.append(address);
    record.append(getTCP(platform, service));
    record.append(getDNSServer(platform, address[0].text()));
    record.append(getDomain(platform, service));
    record.append(getSearchDomain(platform, service));
    record.append(getIPv6Type(platform, service));
    records.append(std::move(record));
  }
  return records;
}

}  // namespace corvane

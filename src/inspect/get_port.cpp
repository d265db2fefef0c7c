#include "inspect/get_port.h"

#include "core/os_version.h"
#include "core/plist_io.h"
#include "core/text.h"
#include "inspect/ps_output.h"

namespace corvane {

namespace {

// The store's root dictionary at a path, or absent. Returned by moving: a
// conditional expression here would copy the whole store.
Value readStoreFile(const Platform& platform, std::string_view path) {
  Value root = readPropertyList(platform, path);
  if (!root.isDictionary()) return Value();
  return root;
}

Value emptyDictionary() { return Value(Dictionary()); }

}  // namespace

Value loadStore(const Platform& platform) {
  Value store;
  if (osAtLeast(platform, "10.3")) store = readStoreFile(platform, kStorePath);
  if (store.isAbsent()) store = readStoreFile(platform, kOldStorePath);
  return store;
}

Value getCurrentSet(const Platform& platform) { return getCurrentSet(loadStore(platform)); }

Value getCurrentSet(const Value& store) {
  if (store.count() == 0) return Value::strings({""});
  std::string setKey = lastPathComponent(store["CurrentSet"].text());
  const Value& network = store["Sets"][setKey]["Network"];
  const Value& order = network["Global"]["IPv4"]["ServiceOrder"];
  const Value& links = network["Service"];

  Value serviceIDs(Value::Array{});
  if (const auto* references = order.array()) {
    for (const Value& reference : *references) {
      const Value& link = links[reference.text()]["__LINK__"];
      if (reference.isString() && link.isString()) serviceIDs.append(lastPathComponent(link.text()));
    }
  }
  return serviceIDs;
}

Value getServiceAndKey(const Platform& platform, std::string_view serviceID) {
  return getServiceAndKey(loadStore(platform), serviceID);
}

Value getServiceAndKey(const Value& store, std::string_view serviceID) {
  if (store.count() == 0) return emptyDictionary();
  const Value& service = store["NetworkServices"][serviceID];
  if (!service.isDictionary()) return Value();
  if (service["__INACTIVE__"].intValue() == 1) return emptyDictionary();
  return service;
}

Value getType(const Platform& /*platform*/, const Value& service) {
  const Value& interface = GetSubDictionary(service, "Interface");
  return Value::strings(
      {interface["UserDefinedName"].text(), interface["Type"].text(), interface["DeviceName"].text()});
}

std::string getServiceID(Platform& platform) { return pppServiceIDFromPs(platform.runTool("/bin/ps", {"-a"}).output); }

}  // namespace corvane

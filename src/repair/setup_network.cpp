#include "repair/setup_network.h"

#include <algorithm>

#include "core/os_version.h"
#include "core/plist_io.h"
#include "core/text.h"
#include "inspect/get_port.h"
#include "repair/dictionary_edit.h"
#include "repair/ethernet_update.h"
#include "repair/machine_ports.h"
#include "repair/privileged_step.h"
#include "repair/proxy_dns_update.h"
#include "repair/service_templates.h"

namespace corvane {

namespace {

bool contains(const std::vector<std::string>& list, const std::string& text) {
  return std::find(list.begin(), list.end(), text) != list.end();
}

// The kind of a service by its Interface, or kPortKinds for none.
size_t kindOf(const Value& interface) {
  const Value& type = interface["Type"];
  const Value& hardware = interface["Hardware"];
  if (type.equals("PPP") && hardware.equals("Modem")) {
    const Value& variant = interface["HardwareVariant"];
    if (variant.equals("IrDA-IrCOMM")) return kIrDA;
    if (variant.equals("Bluetooth")) return kBluetooth;
    return kModem;
  }
  if (type.equals("Ethernet") && hardware.equals("Ethernet")) return kEthernet;
  if (type.equals("FireWire") && hardware.equals("FireWire")) return kFireWire;
  if (type.equals("Ethernet") && hardware.equals("AirPort")) return kAirPort;
  return kPortKinds;
}

// The service ids that the current location links.
std::vector<std::string> currentServiceIDs(const Platform& platform, const Value& store) {
  std::vector<std::string> ids;
  const Value& set = store["Sets"][lastPathComponent(store["CurrentSet"].text())];
  const Dictionary* links = set["Network"]["Service"].dictionary();
  if (!links) return ids;
  for (const auto& [reference, link] : *links) {
    const Value& target = link["__LINK__"];
    if (!target.isString()) {
      platform.log("ERROR");
      continue;
    }
    ids.push_back(lastPathComponent(target.text()));
  }
  return ids;
}

void setInactive(Dictionary& services, const std::optional<std::string>& id) {
  if (!id) return;
  if (Dictionary* service = subDictionary(services, *id)) service->set("__INACTIVE__", 1);
}

std::vector<std::string> dialUpList(const PortLists& lists) {
  std::vector<std::string> joined;
  for (size_t kind : {kModem, kIrDA, kBluetooth}) joined.insert(joined.end(), lists[kind].begin(), lists[kind].end());
  return joined;
}

}  // namespace

void CheckPort(const Platform& platform, PortLists& names, PortLists& devices, std::string& smoh) {
  PortLists foundNames(kPortKinds), foundDevices(kPortKinds);
  const Value store = loadStore(platform);
  const std::vector<std::string> current = currentServiceIDs(platform, store);
  if (const Dictionary* services = store["NetworkServices"].dictionary()) {
    for (const auto& [id, service] : *services) {
      if (!contains(current, id)) continue;
      const Value& interface = service["Interface"];
      const size_t kind = kindOf(interface);
      if (kind == kPortKinds) continue;
      const Value& name = service["UserDefinedName"];
      if (name.length() == 0) break;
      const std::string& device = interface["DeviceName"].text();
      const bool pccardModem = kind == kModem && device.starts_with("pccard-modem");
      if (!contains(foundNames[kind], name.text()) || pccardModem) {
        foundNames[kind].push_back(name.text());
        foundDevices[kind].push_back(device);
      }
      if (kind == kModem && interface.dictionary() && interface.dictionary()->find("SupportsModemOnHold")) smoh = "YES";
    }
  }
  names.insert(names.end(), foundNames.begin(), foundNames.end());
  devices.insert(devices.end(), foundDevices.begin(), foundDevices.end());
}

Dictionary* GetOrAddSubDictionary(Dictionary& dictionary, const std::string& key) {
  Value* value = dictionary.find(key);
  if (!value) value = &dictionary.set(key, Dictionary{});
  return value->dictionary();
}

std::string SearchEmptySetsNumber(const Dictionary& dictionary, long long start) {
  for (long long n = start;; ++n) {
    std::string key = std::to_string(n);
    if (!dictionary.find(key)) return key;
  }
}

Value CreateSet(const Platform& platform, const std::string& name, const std::vector<std::string>& serviceIDs,
                const Value& airPortSettings, const std::string& airPortDevice) {
  Dictionary links;
  for (const auto& id : serviceIDs) {
    Dictionary link;
    link.set("__LINK__", "/NetworkServices/" + id);
    links.set(id, std::move(link));
  }
  Dictionary ipv4;
  ipv4.set("PPPOverridePrimary", 0);
  ipv4.set("ServiceOrder", Value::strings(serviceIDs));
  Dictionary global;
  global.set("IPv4", std::move(ipv4));
  global.set("NetInfo", Dictionary{});

  Dictionary network;
  network.set("Service", std::move(links));
  network.set("Global", std::move(global));
  if (compOSVersion(platform, "10.2") >= 0) {
    Dictionary ethernet;
    if (compOSVersion(platform, "10.3") >= 0) ethernet.set("__INACTIVE__", 1);
    Dictionary en0;
    en0.set("Ethernet", std::move(ethernet));
    Dictionary interfaces;
    interfaces.set("en0", std::move(en0));
    if (airPortSettings.isDictionary() && airPortSettings.count() > 0) {
      if (airPortDevice == "en0") {
        // The Wi-Fi device is en0: its settings join the en0 entry.
        for (const auto& [key, item] : *airPortSettings.dictionary())
          if (key != "Ethernet") interfaces.find("en0")->dictionary()->set(key, item);
      } else {
        interfaces.set(airPortDevice, airPortSettings);
      }
    }
    network.set("Interface", std::move(interfaces));
  }

  Dictionary set;
  set.set("UserDefinedName", name);
  set.set("Network", std::move(network));
  return Value(std::move(set));
}

std::optional<std::string> SearchService(const Dictionary& services, const Value& set, const std::string& device,
                                         const std::string& type) {
  const Dictionary* links = set["Network"]["Service"].dictionary();
  if (!links) return std::nullopt;
  for (const auto& [reference, link] : *links) {
    const Value& target = link["__LINK__"];
    if (!target.isString()) continue;
    const std::vector<std::string> parts = splitText(target.text(), "/");
    if (parts.size() < 3) continue;
    const Value* service = services.find(parts[2]);
    if (!service) continue;
    const Value& interface = (*service)["Interface"];
    if (interface.isAbsent()) continue;
    if (interface["DeviceName"].equals(device) && interface["Type"].equals(type)) return parts[2];
  }
  return std::nullopt;
}

std::string SetupNetwork::fail(std::string why) {
  failure_ = std::move(why);
  unchanged_ = false;
  return "-1";
}

namespace {

// The current location's ports as CheckPort found them, with the dial-up
// ports (modems, IrDA, Bluetooth) joined in that order.
struct Ports {
  PortLists names, devices;
  std::vector<std::string> dialUpNames, dialUpDevices;
};

std::optional<std::string> findLocation(const Dictionary& sets, const std::string& name) {
  for (const auto& [key, set] : sets)
    if (set["UserDefinedName"].equals(name)) return key;
  return std::nullopt;
}

// Adds a new location built from the templates; returns its set key. Its
// first service is the machine's built-in port: the built-in Ethernet, or an
// AirPort service where the built-in port is the Wi-Fi device (which then
// needs no AirPort service of its own).
std::string addLocation(const Platform& platform, const Value& liveStore, Dictionary& sets, Dictionary& services,
                        const Ports& ports, const ProviderDatas& settings, const std::string& name,
                        const MachinePorts& machine) {
  const size_t d = ports.dialUpNames.size();
  // Before 10.4 no FireWire service is built, so no id is reserved for one:
  // a location must not link services that do not exist.
  const size_t f = compOSVersion(platform, "10.4") >= 0 ? ports.names[kFireWire].size() : 0;
  const size_t a = machine.builtInIsWiFi ? 0 : ports.names[kAirPort].size();

  const std::string setKey = SearchEmptySetsNumber(sets, 0);
  std::vector<std::string> ids;
  long long previous = -1;
  for (size_t n = 0; n < d + 1 + f + a; ++n) {
    ids.push_back(SearchEmptySetsNumber(services, previous + 1));
    previous = std::stoll(ids.back());
  }

  std::vector<Value> dialUp;
  size_t next = 0;
  for (size_t i = 0; i < ports.names[kModem].size(); ++i, ++next)
    dialUp.push_back(CreatePPPService(platform, ports.dialUpNames[next], ports.dialUpDevices[next], settings));
  for (size_t j = 0; j < ports.names[kIrDA].size(); ++j, ++next)
    dialUp.push_back(CreateIrDAService(platform, ports.dialUpDevices[next], settings, ports.dialUpNames[next]));
  for (size_t j = 0; j < ports.names[kBluetooth].size(); ++j, ++next)
    dialUp.push_back(CreateBluetoothService(platform, ports.dialUpDevices[next], settings, ports.dialUpNames[next]));

  // The AirPort interface settings move with the Wi-Fi device: on the common
  // layout that is en1 in the current location and in the new one.
  const Value& currentSet = liveStore["Sets"][lastPathComponent(liveStore["CurrentSet"].text())];
  const std::string airPortDevice = machine.builtInIsWiFi ? machine.builtIn : machine.wiFi;
  Value set = CreateSet(platform, name, ids, currentSet["Network"]["Interface"][airPortDevice], airPortDevice);

  if (machine.builtInIsWiFi) {
    const std::string portName = ports.names[kAirPort].empty() ? "Wi-Fi" : ports.names[kAirPort][0];
    services.set(ids[0], CreateBuiltInAirPortService(platform, portName, machine.builtIn));
  } else {
    services.set(ids[0], CreateEthernetService(platform, machine.builtIn));
  }
  for (size_t k = 0; k < d; ++k) services.set(ids[k + 1], dialUp[k]);
  for (size_t q = 0; q < f; ++q)
    services.set(ids[d + 1 + q],
                 CreateFireWireService(platform, ports.names[kFireWire][q], ports.devices[kFireWire][q]));
  for (size_t q = 0; q < a; ++q)
    services.set(ids[d + 1 + f + q], CreateAirMacService(platform, ports.names[kAirPort][q], machine.wiFi));
  sets.set(setKey, std::move(set));
  return setKey;
}

// The service ids a set links, with the link keys that its service order uses.
std::vector<std::pair<std::string, std::string>> linkedServices(const Value& set) {
  std::vector<std::pair<std::string, std::string>> linked;
  if (const Dictionary* links = set["Network"]["Service"].dictionary())
    for (const auto& [reference, link] : *links) {
      const std::vector<std::string> parts = splitText(link["__LINK__"].text(), "/");
      if (parts.size() >= 3) linked.emplace_back(reference, parts[2]);
    }
  return linked;
}

// Puts the service first in the set's service order.
void putFirst(Value& set, const std::string& serviceID) {
  Dictionary* ipv4 = subDictionaryAt(set, {"Network", "Global", "IPv4"});
  if (!ipv4) return;
  Value* order = ipv4->find("ServiceOrder");
  if (!order || !order->array()) return;
  for (const auto& [reference, id] : linkedServices(set)) {
    if (id != serviceID) continue;
    Value::Array& entries = *order->array();
    Value::Array reordered{Value(reference)};
    for (const Value& entry : entries)
      if (!entry.equals(reference)) reordered.push_back(entry);
    entries = std::move(reordered);
    return;
  }
}

bool anyActive(const Value& set, const Dictionary& services) {
  for (const auto& [reference, id] : linkedServices(set)) {
    const Value* service = services.find(id);
    if (service && service->isDictionary() && (*service)["__INACTIVE__"].intValue() != 1) return true;
  }
  return false;
}

// Makes the location's service on the built-in port its only active service
// on that port and the first in its service order; the dial-up, FireWire
// (10.4 on) and AirPort services become inactive. Returns why the location
// would have no active service, or "".
std::string repairLocation(const Platform& platform, Value& set, Dictionary& services, const Ports& ports,
                           const ProviderDatas& settings, const MachinePorts& machine, const std::string& name) {
  const std::string& port = machine.builtIn;
  std::optional<std::string> repaired = SearchService(services, set, port, "Ethernet");
  if (!repaired) repaired = SearchService(services, set, port, "PPP");
  // Whatever the port lists say, the service just repaired stays on.
  const auto turnOff = [&](const std::optional<std::string>& id) {
    if (id != repaired) setInactive(services, id);
  };

  for (const auto& device : ports.dialUpDevices) turnOff(SearchService(services, set, device, "PPP"));

  if (repaired)
    if (Dictionary* service = subDictionary(services, *repaired)) {
      UpdateEthernetService(platform, *service, settings);
      // A Wi-Fi device's service is an AirPort service, never an Ethernet one.
      if (machine.builtInIsWiFi)
        if (Dictionary* interface = subDictionary(*service, "Interface")) interface->set("Hardware", "AirPort");
    }

  if (compOSVersion(platform, "10.3") >= 0)
    if (Dictionary* en0 = subDictionaryAt(set, {"Network", "Interface", "en0", "Ethernet"}))
      if (!isNumber(entryOf(*en0, "__INACTIVE__"), 1)) en0->set("__INACTIVE__", 1);

  if (compOSVersion(platform, "10.4") >= 0)
    for (const auto& device : ports.devices[kFireWire]) turnOff(SearchService(services, set, device, "FireWire"));
  for (const auto& device : ports.devices[kAirPort]) turnOff(SearchService(services, set, device, "Ethernet"));
  if (!machine.builtInIsWiFi) turnOff(SearchService(services, set, machine.wiFi, "Ethernet"));

  if (!repaired)
    return "the location \"" + name + "\" has no service on the built-in port " + port +
           ", so it would have no active service";
  // The repaired service is the only active one on its port (PPPoE and other
  // services there would be judged instead) and comes first.
  for (const auto& [reference, id] : linkedServices(set)) {
    if (id == *repaired) continue;
    const Value* service = services.find(id);
    if (service && (*service)["Interface"]["DeviceName"].equals(port)) setInactive(services, id);
  }
  putFirst(set, *repaired);
  if (!anyActive(set, services)) return "the location \"" + name + "\" would have no active service";
  return "";
}

}  // namespace

std::string SetupNetwork::DoSetup(const std::string& name, ProviderDatas& settings) {
  const std::string setKey = Build(name, settings);
  if (setKey == "-1") return setKey;
  copy_ = writePrivateCopy(platform_, fromPlist_ ? "preferences.plist" : "preferences.xml", built_);
  if (!copy_.ok()) return fail(copy_.failure);
  return setKey;
}

std::string SetupNetwork::Build(const std::string& name, ProviderDatas& settings) {
  Ports ports;
  CheckPort(platform_, ports.names, ports.devices, settings.smoh);
  ports.dialUpNames = dialUpList(ports.names);
  ports.dialUpDevices = dialUpList(ports.devices);

  liveStore_ = loadStore(platform_);
  if (!liveStore_.isDictionary()) return fail("the network configuration store cannot be read");
  fromPlist_ = compOSVersion(platform_, "10.3") >= 0 && readPropertyList(platform_, kStorePath).isDictionary();

  built_ = liveStore_;
  Dictionary& store = *built_.dictionary();
  if (!GetOrAddSubDictionary(store, "Sets") || !GetOrAddSubDictionary(store, "NetworkServices"))
    return fail("the network configuration store has no usable Sets or NetworkServices");
  // Looked up after both were added: adding an entry moves the others.
  Dictionary& sets = *store.find("Sets")->dictionary();
  Dictionary& services = *store.find("NetworkServices")->dictionary();

  const MachinePorts machine = findMachinePorts(platform_);
  std::optional<std::string> setKey = findLocation(sets, name);
  if (!setKey) setKey = addLocation(platform_, liveStore_, sets, services, ports, settings, name, machine);
  // The key is an argument of the location switch.
  if (setKey->size() > kMaxArgumentBytes) return fail("the location's set key is longer than 4095 bytes");
  const std::string refused = repairLocation(platform_, *sets.find(*setKey), services, ports, settings, machine, name);
  if (!refused.empty()) return fail(refused);
  store.set("CurrentSet", "/Sets/" + *setKey);
  unchanged_ = built_ == liveStore_;
  return *setKey;
}

}  // namespace corvane

#include "repair/service_templates.h"

#include "core/os_version.h"
#include "inspect/get_network.h"

namespace corvane {

namespace {

enum class Kind { Modem, IrDA, Bluetooth, FireWire, AirPort, BuiltInEthernet };
enum class Band { Before10_2, From10_2, From10_4 };

struct Port {
  Kind kind;
  std::string name;
  std::string device;
  bool modemOnHold = false;
  // The location's active port: configured by DHCP whatever its kind.
  bool builtIn = false;
};

bool isDialUp(Kind kind) { return kind == Kind::Modem || kind == Kind::IrDA || kind == Kind::Bluetooth; }

Band bandOf(const Platform& platform) {
  if (compOSVersion(platform, "10.2") < 0) return Band::Before10_2;
  if (compOSVersion(platform, "10.4") >= 0) return Band::From10_4;
  return Band::From10_2;
}

Value oneEmptyText() { return Value::strings({""}); }

Dictionary appleTalk() {
  Dictionary d;
  d.set("ConfigMethod", "Node");
  d.set("__INACTIVE__", 1);
  return d;
}

Dictionary dns() {
  Dictionary d;
  d.set("SearchDomains", oneEmptyText());
  d.set("ServerAddresses", oneEmptyText());
  return d;
}

Dictionary interfaceOf(const Port& port) {
  Dictionary d;
  d.set("DeviceName", port.device);
  switch (port.kind) {
    case Kind::FireWire: d.set("Hardware", "FireWire"); break;
    case Kind::AirPort: d.set("Hardware", "AirPort"); break;
    case Kind::BuiltInEthernet: d.set("Hardware", "Ethernet"); break;
    default: d.set("Hardware", "Modem"); break;
  }
  if (port.kind == Kind::IrDA) d.set("HardwareVariant", "IrDA-IrCOMM");
  if (port.kind == Kind::Bluetooth) d.set("HardwareVariant", "Bluetooth");
  if (isDialUp(port.kind)) {
    d.set("SubType", "PPPSerial");
    if (port.modemOnHold) d.set("SupportsModemOnHold", 1);
  }
  switch (port.kind) {
    case Kind::FireWire: d.set("Type", "FireWire"); break;
    case Kind::AirPort:
    case Kind::BuiltInEthernet: d.set("Type", "Ethernet"); break;
    default: d.set("Type", "PPP"); break;
  }
  d.set("UserDefinedName", port.name);
  return d;
}

Dictionary ipv4Of(Kind kind, bool builtIn) {
  Dictionary d;
  if (isDialUp(kind)) {
    d.set("ConfigMethod", "PPP");
  } else if (kind == Kind::BuiltInEthernet || builtIn) {
    d.set("ConfigMethod", "DHCP");
  } else {
    d.set("Addresses", oneEmptyText());
    d.set("ConfigMethod", "Manual");
    d.set("Router", "");
    d.set("SubnetMasks", oneEmptyText());
  }
  return d;
}

Dictionary modem() {
  Dictionary d;
  d.set("ConnectionScript", "");
  d.set("DialMode", "WaitForDialTone");
  d.set("PulseDial", 0);
  d.set("Speaker", 1);
  d.set("DataCompression", 1);
  d.set("ErrorCorrection", 1);
  return d;
}

// Dial-up, wired (FireWire, built-in Ethernet) and AirPort PPP dictionaries
// share most keys; the values that differ are picked per kind.
Dictionary pppOf(Kind kind, Band band) {
  const bool dialUp = isDialUp(kind);
  const bool airPort = kind == Kind::AirPort;
  Dictionary d;
  if (airPort) d.set("ACSPEnabled", 0);
  if (dialUp) {
    d.set("AuthName", "");
    d.set("AuthPassword", Data{});
  }
  d.set("CommDisplayTerminalWindow", 0);
  d.set("CommRedialCount", 1);
  d.set("CommRedialEnabled", 1);
  d.set("CommRedialInterval", airPort ? 5 : 30);
  if (dialUp) d.set("CommRemoteAddress", "");
  if (band != Band::Before10_2) d.set("CommUseTerminalScript", 0);
  if (band == Band::From10_4) d.set("DisconnectOnFastUserSwitch", 1);
  d.set("DialOnDemand", dialUp ? 1 : 0);
  d.set("DisconnectOnIdle", airPort ? 0 : 1);
  d.set("DisconnectOnIdleTimer", airPort ? 1800 : 900);
  d.set("DisconnectOnLogout", 1);
  if (airPort) d.set("DisconnectOnSleep", 1);
  d.set("IdleReminder", dialUp ? 1 : 0);
  d.set("IdleReminderTimer", airPort ? 1800 : 900);
  d.set("IPCPCompressionVJ", 1);
  const bool echo = kind == Kind::Modem || kind == Kind::BuiltInEthernet || airPort;
  d.set("LCPEchoEnabled", echo ? 1 : 0);
  d.set("LCPEchoFailure", airPort && band == Band::From10_4 ? 4 : 3);
  d.set("LCPEchoInterval", 10);
  d.set("Logfile", band == Band::From10_4 ? "/var/log/ppp.log" : "/tmp/ppp.log");
  d.set("VerboseLogging", 0);
  if (!dialUp) d.set("__INACTIVE__", 1);
  return d;
}

Dictionary proxiesOf(Kind kind, Band band) {
  const bool dialUp = isDialUp(kind);
  const bool newest = band == Band::From10_4;
  Dictionary d;
  if (!(dialUp && newest)) {
    d.set("ExceptionsList", oneEmptyText());
    d.set("FTPEnable", 0);
  }
  d.set("FTPPassive", band == Band::Before10_2 ? 0 : 1);
  if (!(dialUp && newest)) {
    d.set("GopherEnable", 0);
    d.set("HTTPEnable", 0);
    if (!dialUp) {
      d.set("HTTPPort", 0);
      d.set("HTTPProxy", "");
    } else {
      d.set("HTTPSEnable", 0);
    }
    d.set("RTSPEnable", 0);
    d.set("SOCKSEnable", 0);
  }
  if (newest) {
    d.set("AppleProxyConfigurationSelected", 2);
    // The key is spelled this way in the stores the system writes.
    d.set("ExclludeSimpleHostnames", 0);
    d.set("ProxyAutoDiscoveryEnable", 0);
  }
  return d;
}

Value assemble(const Platform& platform, const Port& port) {
  const Band band = bandOf(platform);
  const Kind kind = port.kind;
  const bool wired = !isDialUp(kind);
  Dictionary service;
  if (wired) service.set("AppleTalk", appleTalk());
  if (kind == Kind::AirPort) service.set("AirPort", Dictionary{});
  service.set("DNS", dns());
  if (kind == Kind::BuiltInEthernet) {
    Dictionary ethernet;
    const Value address = GetMacAddress(platform, Value(port.device));
    if (address.length() > 0) ethernet.set("MACAddress", address);
    service.set("Ethernet", std::move(ethernet));
  }
  service.set("Interface", interfaceOf(port));
  service.set("IPv4", ipv4Of(kind, port.builtIn));
  if (compOSVersion(platform, "10.3") >= 0) {
    Dictionary ipv6;
    ipv6.set("ConfigMethod", "Automatic");
    service.set("IPv6", std::move(ipv6));
  }
  if (!wired) service.set("Modem", modem());
  service.set("PPP", pppOf(kind, band));
  service.set("Proxies", proxiesOf(kind, band));
  service.set("UserDefinedName", port.name);
  service.set("__INACTIVE__", 1);
  return Value(std::move(service));
}

}  // namespace

Value CreatePPPService(const Platform& platform, const std::string& name, const std::string& device,
                       const ProviderDatas& settings) {
  return assemble(platform, {Kind::Modem, name, device, !settings.smoh.empty()});
}

Value CreateIrDAService(const Platform& platform, const std::string& device, const ProviderDatas& settings,
                        const std::string& name) {
  return assemble(platform, {Kind::IrDA, name, device, !settings.smoh.empty()});
}

Value CreateBluetoothService(const Platform& platform, const std::string& device, const ProviderDatas& settings,
                             const std::string& name) {
  return assemble(platform, {Kind::Bluetooth, name, device, !settings.smoh.empty()});
}

Value CreateFireWireService(const Platform& platform, const std::string& name, const std::string& device) {
  return assemble(platform, {Kind::FireWire, name, device});
}

Value CreateAirMacService(const Platform& platform, const std::string& name, const std::string& device) {
  return assemble(platform, {Kind::AirPort, name, device});
}

Value CreateBuiltInAirPortService(const Platform& platform, const std::string& name, const std::string& device) {
  return assemble(platform, {.kind = Kind::AirPort, .name = name, .device = device, .builtIn = true});
}

Value CreateEthernetService(const Platform& platform, const std::string& device) {
  return assemble(platform, {Kind::BuiltInEthernet, kBuiltInEthernetName, device});
}

}  // namespace corvane

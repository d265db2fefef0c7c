#include "repair/machine_ports.h"

#include <optional>
#include <tuple>

#include "inspect/get_network.h"

namespace corvane {

namespace {

struct Candidate {
  bool builtIn;
  int64_t unit;
  std::string name;
};

// The interface of that type with the lowest (built-in first, then unit)
// rank; only built-in ones when builtInOnly.
std::optional<Candidate> lowest(const Value::Array& entries, std::string_view type, bool builtInOnly) {
  std::optional<Candidate> best;
  for (const Value& entry : entries) {
    const Value& name = entry["BSD Name"];
    if (!name.isString() || name.length() == 0 || !entry["SCNetworkInterfaceType"].equals(type)) continue;
    const bool* flag = entry["IOBuiltin"].boolean();
    const bool builtIn = flag ? *flag : entry["IOBuiltin"].intValue() == 1;
    if (builtInOnly && !builtIn) continue;
    Candidate candidate{builtIn, entry["IOInterfaceUnit"].intValue(), name.text()};
    if (!best || std::make_tuple(!candidate.builtIn, candidate.unit) < std::make_tuple(!best->builtIn, best->unit))
      best = candidate;
  }
  return best;
}

bool lists(const Value::Array& entries, std::string_view name) {
  for (const Value& entry : entries)
    if (entry["BSD Name"].equals(name)) return true;
  return false;
}

}  // namespace

MachinePorts machinePortsOf(const Value& interfaceEntries) {
  MachinePorts ports;
  const Value::Array* entries = interfaceEntries.array();
  if (!entries) return ports;
  if (auto wiFi = lowest(*entries, "IEEE80211", false)) ports.wiFi = wiFi->name;
  if (auto ethernet = lowest(*entries, "Ethernet", true)) {
    ports.builtIn = ethernet->name;
  } else if (auto wiFi = lowest(*entries, "IEEE80211", true); wiFi && lists(*entries, ports.builtIn)) {
    ports.builtIn = wiFi->name;
    ports.builtInIsWiFi = true;
  }
  return ports;
}

MachinePorts findMachinePorts(const Platform& platform) { return machinePortsOf(interfaceListEntries(platform)); }

}  // namespace corvane

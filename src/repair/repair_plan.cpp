#include "repair/repair_plan.h"

#include <algorithm>

#include "core/text.h"
#include "repair/network_repair.h"
#include "repair/setup_network.h"

namespace corvane {

namespace {

struct ActiveService {
  std::string name;
  std::string port;  // device, type and hardware of its interface
};

// The current location's active services, in service order.
std::vector<ActiveService> activeServices(const Value& store) {
  std::vector<ActiveService> active;
  const Value& set = store["Sets"][lastPathComponent(store["CurrentSet"].text())];
  const Value& links = set["Network"]["Service"];
  const Value::Array* order = set["Network"]["Global"]["IPv4"]["ServiceOrder"].array();
  if (!order) return active;
  for (const Value& reference : *order) {
    const Value& service = store["NetworkServices"][lastPathComponent(links[reference.text()]["__LINK__"].text())];
    if (!service.isDictionary() || service["__INACTIVE__"].intValue() == 1) continue;
    const Value& interface = service["Interface"];
    active.push_back(
        {service["UserDefinedName"].text(),
         interface["DeviceName"].text() + "\n" + interface["Type"].text() + "\n" + interface["Hardware"].text()});
  }
  return active;
}

}  // namespace

RepairPlan describeRepair(const Value& liveStore, const Value& repairedStore) {
  RepairPlan plan;
  plan.alreadyMatches = liveStore == repairedStore;
  plan.location =
      repairedStore["Sets"][lastPathComponent(repairedStore["CurrentSet"].text())]["UserDefinedName"].text();
  const std::vector<ActiveService> after = activeServices(repairedStore);
  for (const ActiveService& service : activeServices(liveStore)) {
    const bool stays =
        std::any_of(after.begin(), after.end(), [&](const ActiveService& a) { return a.port == service.port; });
    if (!stays) plan.turnedOff.push_back(service.name);
  }
  return plan;
}

RepairPlan planRepair(Platform& platform, ProviderDatas settings) {
  if (!settings.hasSettings()) {
    RepairPlan plan;
    plan.failure = "the provider file is missing or holds no settings";
    return plan;
  }
  SetupNetwork setup(platform);
  if (setup.Build(kRepairLocationName, settings) == "-1") {
    RepairPlan plan;
    plan.failure = setup.failure();
    return plan;
  }
  return describeRepair(setup.liveStore(), setup.built());
}

}  // namespace corvane

#pragma once
// What a repair will do, in the terms a user sees: the location it switches
// to and each service active now that it turns off. The repair offers show
// it beside the current and recommended settings.

#include <string>
#include <vector>

#include "core/platform.h"
#include "core/plist_value.h"
#include "provider/provider_datas.h"

namespace corvane {

struct RepairPlan {
  std::string failure;          // why no repair can be built; "" when one can
  bool alreadyMatches = false;  // the store already holds what the repair writes
  std::string location;         // the location the repair switches to
  // The names of the current location's active services that are not active
  // in that location afterwards (matched by device, type and hardware), in
  // service order.
  std::vector<std::string> turnedOff;
};

// Compares the live store with the repaired one.
RepairPlan describeRepair(const Value& liveStore, const Value& repairedStore);

// Builds the repair in memory (nothing is written, nothing run) and describes it.
RepairPlan planRepair(Platform& platform, ProviderDatas settings);

}  // namespace corvane

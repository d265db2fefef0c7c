#pragma once
// What the check sequence reads from the system, and the repair it applies:
// one seam, so that the controller can be driven by the real readers or by
// the tests' canned results. Results are in the readers' own list formats.

#include <string>
#include <string_view>
#include <vector>

#include "core/plist_value.h"
#include "repair/repair_plan.h"

namespace corvane {

struct ProviderDatas;

class CheckReaders {
 public:
  virtual ~CheckReaders() = default;
  // The OS text and the start-up disk text of the system row.
  virtual std::string getOS() = 0;
  virtual std::string getHDD() = 0;
  // The system profiler's items of a data type ("SPHardwareDataType").
  virtual Value getSystemProfile(std::string_view dataType) = 0;
  // [current location, [location, [port entry...]]...]
  virtual Value getNetwork() = 0;
  // [[address record, method, DNS in use, [servers], [domains], IPv6 method]...]
  virtual Value getTCPIP() = 0;
  // Four version texts: Internet Explorer, Safari, Netscape, Firefox.
  virtual Value getBrowser() = 0;
  // [version, account count, first account name, [account...]]
  virtual Value getMail() = 0;
  // The system paths of the mounted local volumes.
  virtual std::vector<std::string> mountedLocalVolumePaths() = 0;
  // Builds and applies the repair location; true once it is applied.
  virtual bool OnRepair(ProviderDatas& prvs) = 0;
  // What the repair would do, for its offer; nothing known by default.
  virtual RepairPlan planRepair(const ProviderDatas& prvs) {
    (void)prvs;
    return {};
  }
};

}  // namespace corvane

#pragma once
// The network repair as the controller sees it: build the repair location in
// a private copy of the store, obtain administrator rights, keep a backup of
// the live store, install the copy (chown, then mv beside the store and a
// rename over it), switch to the location, make name lookup reload and wait
// for the interfaces.
//
// Safe by construction: nothing is installed unless the copy was built and
// read back, the rights were granted and the live store was backed up; a
// privileged step that fails ends the repair with the live store as it was.

#include <string>
#include <string_view>

#include "core/authorizer.h"
#include "core/platform.h"
#include "provider/provider_datas.h"
#include "repair/privileged_step.h"

namespace corvane {

inline constexpr const char* kRepairLocationName = "Quorvalin";
inline constexpr std::string_view kLookupdPidPath = "/var/run/lookupd.pid";

struct RepairOutcome {
  bool applied = false;  // the repaired store was installed
  std::string setKey;
  std::string backup;   // system path of the kept store ("" when there was none)
  std::string failure;  // why the repair was not applied, one line
};

// The store file the repair replaces: preferences.plist from 10.3 on,
// preferences.xml before (a system path).
std::string storeDestination(const Platform& platform);

// The whole repair with the location "Quorvalin". applied is true only when
// the repaired store was installed.
RepairOutcome OnRepair(Platform& platform, Authorizer& authorizer, ProviderDatas& settings);

// Installs the copy at copyPath (a host path) holding copyBytes: privileged
// chown root, mv to a temporary name beside the store, mv over the store;
// then checks the installed store and switches to the location with
// scselect. Fails, with the live store unchanged, when chown or either mv
// fails; fails when the installed store does not hold copyBytes.
StepResult ApplyConfiguration(Platform& platform, Authorizer& authorizer, const std::string& copyPath,
                              const std::string& copyBytes, const std::string& setKey);

// Makes the name-lookup daemon reload (kill -HUP with the process id from
// /var/run/lookupd.pid) and waits for the interfaces (ipconfigd waitall).
// Failures are logged; the store is installed by then.
void getNetworkAgain(Platform& platform, Authorizer& authorizer);

// Puts the newest backup back over its store with administrator rights and
// switches to the location it names as current. The result's path is the
// restored store's; fails when there is no backup, no rights, or a step fails
// (the store is then left as it was).
StepResult undoRepair(Platform& platform, Authorizer& authorizer);

// The process id in the lookup daemon's pid file: the first non-empty piece,
// split at single spaces, of the first non-empty line; "" when there is none.
std::string lookupdProcessId(std::string_view pidFileText);

// True for a decimal process id above 1 that fits a pid ("-1" or "0" would
// signal a whole group of processes).
bool isUsableProcessId(std::string_view pid);

}  // namespace corvane

#pragma once
// The network repair as the controller sees it: build the repair location in
// a private copy of the store, obtain administrator rights, keep a backup of
// the live store, install the copy (chown, then mv beside the store and a
// rename over it), switch to the location, make name lookup reload and wait
// for the interfaces.
//
// Safe by construction: nothing is installed unless the copy was built and
// read back, differs from the live store, the rights were granted and the
// live store was backed up; a privileged step or location switch that fails
// ends the repair with the live store as it was.

#include <ctime>
#include <optional>
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
  // The store already holds what the repair would write: nothing was done.
  bool alreadyMatches = false;
  std::string setKey;
  std::string backup;  // system path of the kept store ("" when there was none)
  // Why the repair was not applied, one line; with applied, the restart step
  // that failed after the store was installed.
  std::string failure;
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
// fails; fails when the installed store does not hold copyBytes or the switch
// fails (scselect missing or exiting non-zero). Given
// storeBefore (the store's bytes when the copy was built; nullopt for no
// file), fails with the store untouched when it holds anything else just
// before the copy is moved over it: another program has rewritten it. On
// failure, path is the store's once the move over it has been attempted (the
// store may then need putting back), empty before.
StepResult ApplyConfiguration(Platform& platform, Authorizer& authorizer, const std::string& copyPath,
                              const std::string& copyBytes, const std::string& setKey,
                              const std::optional<std::string>* storeBefore = nullptr);

// Runs scselect with the set key; "" on success, else why the switch failed.
std::string switchLocation(Platform& platform, const std::string& setKey);

// Makes the name-lookup daemon reload (kill -HUP with the process id from
// /var/run/lookupd.pid; skipped, without running cat, when there is no such
// file) and waits for the interfaces (ipconfigd waitall). Failures are
// logged and the first is returned; the store is installed by then.
StepResult getNetworkAgain(Platform& platform, Authorizer& authorizer);

struct UndoOptions {
  std::string backup;   // a backup's file name; "" for the one the walk gives
  bool dryRun = false;  // check and name the backup, change nothing
};

// Puts a backup back over its store with administrator rights, keeping the
// store it replaces as a backup of its own, then runs the restart steps of a
// repair: the switch to the location the backup names as current, the lookup
// daemon's reload and the wait for the interfaces. Without options.backup the
// backup is backupToUndo's, so repeated undos walk back through the repairs.
// A backup that does not read as a configuration store is refused. The
// result's path is the restored store's (with dryRun, the backup's); fails
// when there is no backup, it is damaged, no rights, or a step fails (the
// store is then left, or put back, as it was).
StepResult undoRepair(Platform& platform, Authorizer& authorizer, const UndoOptions& options = {});

// The process id in the lookup daemon's pid file: the first non-empty piece,
// split at single spaces, of the first non-empty line; "" when there is none.
std::string lookupdProcessId(std::string_view pidFileText);

// True for a decimal process id above 1 that fits a pid ("-1" or "0" would
// signal a whole group of processes).
bool isUsableProcessId(std::string_view pid);

}  // namespace corvane

#include "repair/network_repair.h"

#include <climits>
#include <ctime>

#include "core/os_version.h"
#include "core/plist_io.h"
#include "core/text.h"
#include "inspect/get_port.h"
#include "repair/repair_lock.h"
#include "repair/setup_network.h"
#include "repair/store_backup.h"

namespace corvane {

std::string storeDestination(const Platform& platform) {
  return std::string(compOSVersion(platform, "10.3") >= 0 ? kStorePath : kOldStorePath);
}

RepairOutcome OnRepair(Platform& platform, Authorizer& authorizer, ProviderDatas& settings) {
  RepairOutcome outcome;
  if (!settings.hasSettings()) {
    outcome.failure = "the provider file is missing or holds no settings: there is nothing to repair against";
    return outcome;
  }
  const RepairLock lock = takeRepairLock(platform);
  if (!lock.held) {
    outcome.failure = lock.failure;
    return outcome;
  }
  // The store as the builder finds it; one that another program rewrites
  // before the install is not replaced by a copy built from the old one.
  const std::optional<std::string> storeRead = platform.readFile(storeDestination(platform));
  SetupNetwork setup(platform);
  outcome.setKey = setup.DoSetup(kRepairLocationName, settings);
  if (outcome.setKey == "-1") {
    outcome.failure = setup.failure();
    return outcome;
  }
  const PrivateCopy& copy = setup.copy();
  if (setup.unchanged()) {
    // Nothing to install: no rights asked, no backup, no tool run.
    removePrivateCopy(platform, copy);
    outcome.alreadyMatches = true;
    return outcome;
  }
  const std::string destination = storeDestination(platform);

  // Every argument a privileged tool will get must fit before anything runs.
  const std::string longestBackup =
      std::string(kBackupFolder) + "/.corvane-" + backupFileName(lastPathComponent(destination), 0, LLONG_MAX) + ".new";
  if (!argumentsFit({copy.path, platform.hostPath(temporaryPathBeside(destination)), platform.hostPath(destination),
                     platform.hostPath(longestBackup), outcome.setKey})) {
    removePrivateCopy(platform, copy);
    outcome.failure = "a path of the repair is longer than 4095 bytes";
    return outcome;
  }

  if (!authorizer.obtainRights()) {
    removePrivateCopy(platform, copy);
    outcome.failure = "administrator rights were not granted";
    return outcome;
  }

  StepResult backup = backupStore(platform, authorizer, destination, platform.now());
  if (!backup.ok()) {
    authorizer.releaseRights();
    removePrivateCopy(platform, copy);
    outcome.failure = "the store was not changed: no copy of it could be kept: " + backup.failure;
    return outcome;
  }
  outcome.backup = backup.path;
  const std::optional<std::string> kept = backup.path.empty() ? std::nullopt : platform.readFile(backup.path);
  if (kept != storeRead || platform.readFile(destination) != storeRead) {
    authorizer.releaseRights();
    removePrivateCopy(platform, copy);
    outcome.failure = "the store was not changed: another program rewrote it while the repair was being prepared";
    return outcome;
  }

  StepResult install = ApplyConfiguration(platform, authorizer, copy.path, copy.bytes, outcome.setKey, &storeRead);
  if (!install.ok()) {
    outcome.failure = install.failure;
    // A store that was replaced but does not read back is put back as it was;
    // one that another program rewrote before the move is left alone.
    if (!install.path.empty() && !backup.path.empty() &&
        platform.readFile(destination) != platform.readFile(backup.path)) {
      StepResult restore = restoreBackup(platform, authorizer, backup.path);
      outcome.failure += restore.ok() ? "; the previous store was put back"
                                      : "; the previous store could not be put back (" + restore.failure +
                                            "), it is kept at " + backup.path;
    }
    authorizer.releaseRights();
    removePrivateCopy(platform, copy);
    return outcome;
  }

  const StepResult restart = getNetworkAgain(platform, authorizer);
  authorizer.releaseRights();
  removePrivateCopy(platform, copy);
  platform.pause(5);
  outcome.applied = true;
  if (!restart.ok()) outcome.failure = "the repaired store is installed, but " + restart.failure;
  return outcome;
}

StepResult ApplyConfiguration(Platform& platform, Authorizer& authorizer, const std::string& copyPath,
                              const std::string& copyBytes, const std::string& setKey,
                              const std::optional<std::string>* storeBefore) {
  StepResult result = runPrivilegedStep(authorizer, "/usr/sbin/chown", {"root", copyPath});
  if (!result.ok()) return result;
  platform.pause(1);

  const std::string destination = storeDestination(platform);
  const std::string staged = temporaryPathBeside(destination);
  result = runStepOnPaths(platform, authorizer, "/bin/mv", {"-f", copyPath}, {staged});
  if (result.ok() && platform.readFile(staged) != copyBytes)
    result.failure = "the repaired store did not arrive beside the live one intact";
  if (result.ok() && storeBefore && platform.readFile(destination) != *storeBefore)
    result.failure = "the store was not changed: another program rewrote it while the repair was being installed";
  if (result.ok()) {
    result = runStepOnPaths(platform, authorizer, "/bin/mv", {"-f"}, {staged, destination});
    // From here on the store may have been replaced, whatever mv reported.
    result.path = destination;
  }
  if (!result.ok()) return result;
  platform.pause(1);
  if (platform.readFile(destination) != copyBytes) {
    result.failure = "the installed store " + destination + " is not the repaired copy";
    return result;
  }

  result.failure = switchLocation(platform, setKey);
  return result;
}

std::string switchLocation(Platform& platform, const std::string& setKey) {
  const ToolRun select = platform.runTool("/usr/sbin/scselect", {setKey});
  if (!select.started) return "the location switch failed: /usr/sbin/scselect could not be run";
  if (select.exitStatus != 0)
    return "the location switch failed: /usr/sbin/scselect " + setKey + " exited with status " +
           std::to_string(select.exitStatus);
  return "";
}

StepResult getNetworkAgain(Platform& platform, Authorizer& authorizer) {
  StepResult result;
  // From 10.5 on there is no lookup daemon and no pid file: nothing to signal.
  if (!platform.exists(kLookupdPidPath)) {
    platform.verboseLog("lookupd not signalled: there is no " + std::string(kLookupdPidPath));
  } else {
    const ToolRun cat = platform.runTool("/bin/cat", {platform.hostPath(kLookupdPidPath)});
    const std::string pid = lookupdProcessId(cat.output);
    if (isUsableProcessId(pid)) {
      result = runPrivilegedStep(authorizer, "/bin/kill", {"-HUP", pid});
      if (!result.ok()) platform.verboseLog(result.failure);
    } else {
      platform.verboseLog("lookupd not signalled: no usable process id in " + std::string(kLookupdPidPath) + " (\"" +
                          pid + "\")");
    }
    platform.pause(1);
  }

  const StepResult wait = runPrivilegedStep(authorizer, "/usr/sbin/ipconfigd", {"waitall"});
  if (!wait.ok()) {
    platform.verboseLog(wait.failure);
    if (result.ok()) result = wait;
  }
  platform.pause(1);
  return result;
}

StepResult undoRepair(Platform& platform, Authorizer& authorizer, const UndoOptions& options) {
  StepResult result;
  std::string backup = backupToUndo(platform);
  if (!options.backup.empty()) {
    backup.clear();
    for (const BackupEntry& entry : listBackups(platform))
      if (entry.fileName == options.backup) backup = entry.path;
    if (backup.empty()) {
      result.failure = "there is no backup " + options.backup + " in " + std::string(kBackupFolder);
      return result;
    }
  }
  if (backup.empty()) {
    result.failure = "there is no backup of the store to restore in " + std::string(kBackupFolder);
    return result;
  }
  const std::optional<std::string> bytes = platform.readFile(backup);
  if (!bytes || !readsAsStore(*bytes)) {
    result.failure =
        "the backup " + backup + " is damaged (it does not read as a configuration store); nothing was changed";
    return result;
  }
  const std::string setKey = lastPathComponent(parsePropertyList(*bytes)["CurrentSet"].text());
  if (options.dryRun) {
    result.path = backup;
    return result;
  }
  const RepairLock lock = takeRepairLock(platform);
  if (!lock.held) {
    result.failure = lock.failure;
    return result;
  }
  if (!argumentsFit({setKey})) {
    result.failure = "the backup " + backup + " names a location longer than 4095 bytes; nothing was changed";
    return result;
  }
  if (!authorizer.obtainRights()) {
    result.failure = "administrator rights were not granted";
    return result;
  }

  // The store being replaced is kept too, so an undo can itself be undone
  // and repeated undos walk back through the repairs.
  const std::string store = storePathOfBackup(*parseBackupFileName(lastPathComponent(backup)));
  const StepResult kept = backupStore(platform, authorizer, store, platform.now(), true);
  if (!kept.ok()) {
    authorizer.releaseRights();
    result.failure = "the store was not changed: no copy of it could be kept: " + kept.failure;
    return result;
  }
  result = restoreBackup(platform, authorizer, backup);
  if (result.ok() && !setKey.empty()) result.failure = switchLocation(platform, setKey);
  if (!result.ok()) {
    // The store as it was before the undo goes back.
    if (!kept.path.empty() && platform.readFile(store) != platform.readFile(kept.path)) {
      const StepResult back = restoreBackup(platform, authorizer, kept.path);
      result.failure += back.ok()
                            ? "; the store was put back as it was"
                            : "; the store could not be put back (" + back.failure + "), it is kept at " + kept.path;
    }
    authorizer.releaseRights();
    return result;
  }
  const StepResult restart = getNetworkAgain(platform, authorizer);
  authorizer.releaseRights();
  if (!restart.ok()) result.failure = "the backup is restored, but " + restart.failure;
  return result;
}

std::string lookupdProcessId(std::string_view pidFileText) {
  for (const auto& line : splitText(pidFileText, "\n")) {
    if (line.empty()) continue;
    for (const auto& piece : splitText(line, " "))
      if (!piece.empty()) return piece;
    return "";
  }
  return "";
}

bool isUsableProcessId(std::string_view pid) {
  if (pid.empty() || pid.size() > 10) return false;
  long long value = 0;
  for (char c : pid) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value > 1 && value <= INT_MAX;
}

}  // namespace corvane

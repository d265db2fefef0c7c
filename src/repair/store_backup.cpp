#include "repair/store_backup.h"

#include <algorithm>
#include <tuple>

#include "core/plist_io.h"
#include "core/text.h"
#include "inspect/get_port.h"
#include "repair/repair_lock.h"

namespace corvane {

namespace {

bool allDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// A privileged copy writes through a link in its place: a name it copies to
// is new, or a plain file left by an earlier run. "" when it is, else why not.
std::string freeToCopyTo(const Platform& platform, const std::string& target, bool mayExist) {
  const EntryKind kind = platform.entryKind(target);
  if (kind == EntryKind::missing || (mayExist && kind == EntryKind::file)) return "";
  if (kind == EntryKind::link) return linkOnPath(platform, target);
  return "something is in the way at " + target;
}

std::string folderOf(std::string_view systemPath) {
  const size_t slash = systemPath.rfind('/');
  return slash == std::string_view::npos || slash == 0 ? std::string("/") : std::string(systemPath.substr(0, slash));
}

}  // namespace

std::string backupFileName(std::string_view storeFileName, std::time_t when, long long sequence, bool byUndo) {
  std::tm utc{};
  ::gmtime_r(&when, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
  const size_t dot = storeFileName.rfind('.');
  return std::string(storeFileName.substr(0, dot)) + "-" + stamp + "-" + std::to_string(sequence) +
         (byUndo ? "-undo" : "") + std::string(storeFileName.substr(dot));
}

std::optional<BackupName> parseBackupFileName(std::string_view fileName) {
  for (std::string_view store : {"preferences.plist", "preferences.xml"}) {
    const std::string_view base = store.substr(0, store.rfind('.'));
    const std::string_view extension = store.substr(store.rfind('.'));
    if (!fileName.starts_with(std::string(base) + "-") || !fileName.ends_with(extension)) continue;
    const std::string_view middle =
        fileName.substr(base.size() + 1, fileName.size() - base.size() - 1 - extension.size());
    std::vector<std::string> parts = splitText(middle, "-");
    const bool byUndo = parts.size() == 4 && parts[3] == "undo";
    if (byUndo) parts.pop_back();
    if (parts.size() != 3 || parts[0].size() != 8 || parts[1].size() != 6 || parts[2].size() > 9) continue;
    if (!allDigits(parts[0]) || !allDigits(parts[1]) || !allDigits(parts[2])) continue;
    return BackupName{std::string(store), parts[0] + "-" + parts[1], std::stoll(parts[2]), byUndo};
  }
  return std::nullopt;
}

std::string storePathOfBackup(const BackupName& name) {
  return std::string(name.storeFileName == "preferences.plist" ? kStorePath : kOldStorePath);
}

std::string temporaryPathBeside(std::string_view systemPath) {
  return folderOf(systemPath) + "/.corvane-" + lastPathComponent(systemPath) + ".new";
}

std::string newestBackup(const Platform& platform) {
  std::optional<BackupName> newest;
  std::string newestFile;
  for (const auto& file : platform.listFolder(kBackupFolder)) {
    const auto name = parseBackupFileName(file);
    if (!name) continue;
    if (!newest || std::tie(name->stamp, name->sequence) > std::tie(newest->stamp, newest->sequence)) {
      newest = name;
      newestFile = file;
    }
  }
  return newest ? std::string(kBackupFolder) + "/" + newestFile : std::string();
}

std::vector<BackupEntry> listBackups(const Platform& platform) {
  std::vector<BackupEntry> backups;
  for (const auto& file : platform.listFolder(kBackupFolder))
    if (const auto name = parseBackupFileName(file))
      backups.push_back({file, std::string(kBackupFolder) + "/" + file, *name});
  std::sort(backups.begin(), backups.end(), [](const BackupEntry& a, const BackupEntry& b) {
    return std::tie(a.name.stamp, a.name.sequence, a.fileName) < std::tie(b.name.stamp, b.name.sequence, b.fileName);
  });
  return backups;
}

std::string backupToUndo(const Platform& platform) {
  const std::vector<BackupEntry> backups = listBackups(platform);
  size_t undone = 0;
  for (auto it = backups.rbegin(); it != backups.rend(); ++it) {
    if (it->name.byUndo) {
      ++undone;
    } else if (undone > 0) {
      --undone;
    } else {
      return it->path;
    }
  }
  return "";
}

bool readsAsStore(const std::string& bytes) {
  const Value store = parsePropertyList(bytes);
  return store.isDictionary() && store["Sets"].isDictionary();
}

StepResult pruneBackups(Platform& platform, Authorizer& authorizer, size_t keep) {
  StepResult result;
  const RepairLock lock = takeRepairLock(platform);
  if (!lock.held) {
    result.failure = lock.failure;
    return result;
  }
  const std::vector<BackupEntry> backups = listBackups(platform);
  for (size_t i = 1; i + keep < backups.size(); ++i) {
    result = runStepOnPaths(platform, authorizer, "/bin/rm", {"-f"}, {backups[i].path});
    if (result.ok() && platform.exists(backups[i].path)) result.failure = backups[i].path + " is still there";
    if (!result.ok()) {
      result.failure = "the backup " + backups[i].path + " could not be removed: " + result.failure;
      return result;
    }
  }
  return result;
}

StepResult backupStore(Platform& platform, Authorizer& authorizer, std::string_view storePath, std::time_t when,
                       bool byUndo) {
  StepResult result;
  if (!platform.exists(storePath)) return result;
  const auto storeBytes = platform.readFile(storePath);
  if (!storeBytes) {
    result.failure = "the store " + std::string(storePath) + " cannot be read to keep a copy of it";
    return result;
  }

  const std::string storeFile = lastPathComponent(storePath);
  const auto pathOf = [&](long long sequence, bool undo) {
    return std::string(kBackupFolder) + "/" + backupFileName(storeFile, when, sequence, undo);
  };
  // The sequence is free under both kinds of name, so the order stays clear.
  long long sequence = 1;
  while (platform.exists(pathOf(sequence, false)) || platform.exists(pathOf(sequence, true))) ++sequence;
  const std::string backupPath = pathOf(sequence, byUndo);
  const std::string partial = temporaryPathBeside(backupPath);

  // Each folder made one level at a time, and every path checked for links
  // before each step: the privileged tools would follow them out of the root.
  result = makeFoldersStepwise(platform, authorizer, kBackupFolder);
  if (result.ok()) result.failure = freeToCopyTo(platform, partial, false);
  if (result.ok()) result = runStepOnPaths(platform, authorizer, "/bin/cp", {"-p"}, {std::string(storePath), partial});
  if (result.ok()) result.failure = freeToCopyTo(platform, backupPath, false);
  if (result.ok()) result = runStepOnPaths(platform, authorizer, "/bin/mv", {"-f"}, {partial, backupPath});
  if (result.ok() && platform.readFile(backupPath) != storeBytes)
    result.failure = "the copy " + backupPath + " does not hold the store as it was";
  if (result.ok()) result.path = backupPath;
  return result;
}

StepResult restoreBackup(Platform& platform, Authorizer& authorizer, std::string_view backupPath) {
  StepResult result;
  const auto name = parseBackupFileName(lastPathComponent(backupPath));
  const auto backupBytes = platform.readFile(backupPath);
  if (!name || !backupBytes) {
    result.failure = "the backup " + std::string(backupPath) + " cannot be read";
    return result;
  }
  const std::string storePath = storePathOfBackup(*name);
  const std::string staged = temporaryPathBeside(storePath);

  // The staging name may hold a plain file left by a run that was stopped.
  result.failure = freeToCopyTo(platform, staged, true);
  if (result.ok()) result = runStepOnPaths(platform, authorizer, "/bin/cp", {"-p"}, {std::string(backupPath), staged});
  if (result.ok() && platform.readFile(staged) != backupBytes)
    result.failure = "the copy of the backup beside the store is not the backup";
  if (result.ok()) result = runStepOnPaths(platform, authorizer, "/bin/mv", {"-f"}, {staged, storePath});
  if (result.ok() && platform.readFile(storePath) != backupBytes)
    result.failure = "the restored store " + storePath + " is not the backup";
  if (result.ok()) result.path = storePath;
  return result;
}

}  // namespace corvane

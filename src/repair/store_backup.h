#pragma once
// Copies of the live configuration store, kept before the repair replaces it,
// and putting the newest one back.
//
// A backup is named after the store file it keeps and the UTC time it was
// made: "preferences-20261210-042515-1.plist" keeps
// /Library/Preferences/SystemConfiguration/preferences.plist, a ".xml" one the
// older /private/var/db/SystemConfiguration/preferences.xml. The last number
// tells apart backups made within the same second. A backup kept by an undo
// (the store the undo replaced) ends in "-undo" before the extension.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/authorizer.h"
#include "core/platform.h"
#include "repair/privileged_step.h"

namespace corvane {

inline constexpr std::string_view kBackupFolder = "/Library/Application Support/Corvane/backups";

struct BackupName {
  std::string storeFileName;  // "preferences.plist" or "preferences.xml"
  std::string stamp;          // "20261210-042515"
  long long sequence = 0;
  bool byUndo = false;  // kept by an undo rather than by a repair
};

std::string backupFileName(std::string_view storeFileName, std::time_t when, long long sequence, bool byUndo = false);
// Reads a backup's name; nullopt for any other file in the folder.
std::optional<BackupName> parseBackupFileName(std::string_view fileName);

// The store file a backup belongs to (a system path).
std::string storePathOfBackup(const BackupName& name);

// A temporary name in the same folder as the file at systemPath, so that
// moving it over that file is a rename: the file is never half-written.
std::string temporaryPathBeside(std::string_view systemPath);

// System path of the newest backup, or "" when there is none.
std::string newestBackup(const Platform& platform);

struct BackupEntry {
  std::string fileName;
  std::string path;  // system path
  BackupName name;
};

// The backups in the folder, oldest first.
std::vector<BackupEntry> listBackups(const Platform& platform);

// The backup the next undo puts back: walking from the newest, each backup
// kept by an undo stands for one repair already undone, so repeated undos
// walk back through the repairs. "" when every repair has been undone.
std::string backupToUndo(const Platform& platform);

// True when bytes read as a configuration store: a property list whose root
// is a dictionary holding a Sets dictionary.
bool readsAsStore(const std::string& bytes);

// Removes, with administrator rights (rm -f), every backup except the newest
// keep ones and the oldest. The result's path is empty; failure names the
// first backup that could not be removed.
StepResult pruneBackups(Platform& platform, Authorizer& authorizer, size_t keep);

// Keeps a copy of the store file at storePath in the backup folder
// (privileged mkdir -p and cp -p under a temporary name, then mv), and checks
// that it holds the same bytes as the store. Succeeds with an empty path when
// there is no store file to keep. The result's path is the backup's.
StepResult backupStore(Platform& platform, Authorizer& authorizer, std::string_view storePath, std::time_t when,
                       bool byUndo = false);

// Puts a backup back over its store file: privileged cp -p beside the store
// under a temporary name, checked, then mv over the store, checked again.
StepResult restoreBackup(Platform& platform, Authorizer& authorizer, std::string_view backupPath);

}  // namespace corvane

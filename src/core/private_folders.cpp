#include "core/private_folders.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "core/platform_files.h"
#include "core/platform_signals.h"

namespace corvane {
namespace {

std::mutex registryMutex;
std::set<PrivateFolder*>& registry() {
  static auto* folders = new std::set<PrivateFolder*>();
  return *folders;
}

// The owner's process id in a name made by ownedPrefix + six characters;
// 0 when the name is not of that form.
long ownerOf(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix)) return 0;
  const std::string_view rest = name.substr(prefix.size());
  const size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9 || rest.size() != dash + 7) return 0;
  long pid = 0;
  for (char c : rest.substr(0, dash)) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

// The path with its links resolved: what is unpacked there is checked
// against every folder of the path.
std::string resolved(const std::string& path) {
  char buffer[PATH_MAX];
  return ::realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

}  // namespace

std::string ownedPrefix(std::string_view prefix) { return std::string(prefix) + std::to_string(ownProcessId()) + "-"; }

std::unique_ptr<PrivateFolder> PrivateFolder::make(const std::string& parent, std::string_view prefix,
                                                   std::string* why) {
  // Made and entered under the registry's lock, so that removePrivateFolders
  // never misses a folder that exists already.
  std::lock_guard guard(registryMutex);
  // Once the program is ending, the front end may have removed the folders
  // already: a new one would outlive it.
  if (programStopRequested()) {
    if (why) *why = "the program is ending";
    return nullptr;
  }
  const auto made = makePrivateHostFolder(parent, ownedPrefix(prefix), why);
  if (!made) return nullptr;
  const int lock = lockHostFolder(*made);
  if (lock < 0) {
    removeHostTree(*made);
    if (why) *why = "cannot lock the private folder " + *made;
    return nullptr;
  }
  std::unique_ptr<PrivateFolder> folder(new PrivateFolder(resolved(*made), lock));
  registry().insert(folder.get());
  return folder;
}

PrivateFolder::PrivateFolder(std::string path, int lock)
    : path_(std::move(path)), remove_([](const std::string& folder) { removeHostTree(folder); }), lock_(lock) {}

PrivateFolder::PrivateFolder(std::string path, std::function<void(const std::string&)> remove)
    : path_(std::move(path)), remove_(std::move(remove)), lock_(lockHostFolder(path_)) {
  enter();
}

void PrivateFolder::enter() {
  std::lock_guard guard(registryMutex);
  if (programStopRequested()) {
    removeNow();
    return;
  }
  registry().insert(this);
}

PrivateFolder::~PrivateFolder() {
  // Removed before it leaves the registry: removePrivateFolders waits for a
  // removal under way rather than end the program in its middle.
  {
    std::lock_guard using_(use_);
    removeNow();
  }
  std::lock_guard guard(registryMutex);
  registry().erase(this);
}

void PrivateFolder::removeNow() {
  if (removed_) return;
  removed_ = true;
  remove_(path_);
  unlockHostFolder(lock_);
  lock_ = -1;
}

void removePrivateFolders() {
  std::lock_guard guard(registryMutex);
  for (PrivateFolder* folder : registry()) {
    std::lock_guard using_(folder->use_);
    folder->removeNow();
  }
}

void removeAbandonedFolders(const std::string& parent, std::string_view prefix) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(parent, ignored)) {
    const std::string name = entry.path().filename().string();
    const long owner = ownerOf(name, prefix);
    if (owner == 0 || owner == ownProcessId() || processIsRunning(owner)) continue;
    const std::string path = parent + "/" + name;
    // The lock fails for a link, a folder of another user and one in use.
    const int lock = lockHostFolder(path);
    if (lock < 0) continue;
    removeHostTree(path);
    unlockHostFolder(lock);
  }
}

}  // namespace corvane

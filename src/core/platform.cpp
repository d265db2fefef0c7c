#include "core/platform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#if defined(__linux__)
#include <sys/vfs.h>
#endif
#include <syslog.h>
#include <unistd.h>

#include <dirent.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

#include "core/beneath_root.h"
#include "core/capture_manifest.h"
#include "core/file_read.h"
#include "core/platform_files.h"
#include "core/plist_io.h"
#include "core/text.h"

namespace corvane {

namespace {

std::string normalizedRoot(std::string root) {
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  return root == "/" ? std::string() : root;
}

// Resolves "." and ".." lexically; the result starts with "/" and never
// climbs above it.
std::string cleanSystemPath(std::string_view path) {
  std::vector<std::string> parts;
  for (auto& piece : splitText(path, "/")) {
    if (piece.empty() || piece == ".") continue;
    if (piece == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(std::move(piece));
  }
  std::string clean;
  for (const auto& p : parts) clean += "/" + p;
  if (clean.empty()) clean = "/";
  if (path.size() > 1 && path.back() == '/' && clean != "/") clean += "/";
  return clean;
}

}  // namespace

Platform::Platform(PlatformOptions options)
    : options_(std::move(options)), root_(normalizedRoot(options_.root)), toolSeconds_(options_.toolSeconds) {
  if (!options_.home.empty()) {
    home_ = cleanSystemPath(options_.home);
  } else if (root_.empty()) {
    const char* env = std::getenv("HOME");
    home_ = env && *env ? env : "/";
  } else if (const auto manifest = parseCaptureManifest(Platform::readFile(kCaptureManifestPath).value_or(""));
             manifest && !manifest->home.empty()) {
    home_ = cleanSystemPath(manifest->home);
  } else {
    home_ = "/Users/user";
  }
  while (home_.size() > 1 && home_.back() == '/') home_.pop_back();
}

Platform::~Platform() = default;

std::string Platform::hostPath(std::string_view systemPath) const { return root_ + cleanSystemPath(systemPath); }

std::optional<std::string> Platform::resolvedHostPath(std::string_view systemPath) const {
  if (rootIsSystem()) return hostPath(systemPath);
  const auto resolved = resolveBeneath(root_, cleanSystemPath(systemPath), true);
  if (!resolved) return std::nullopt;
  return root_ + *resolved;
}

namespace {

// A system path opened under the root (core/beneath_root.h).
UniqueFd openUnder(const std::string& root, std::string_view systemPath, int flags, bool followLast) {
  return openBeneath(root, cleanSystemPath(systemPath), flags, followLast);
}

ParentBeneath parentUnder(const std::string& root, std::string_view systemPath) {
  return openParentBeneath(root, cleanSystemPath(systemPath));
}

}  // namespace

std::optional<std::string> Platform::readFile(std::string_view systemPath) const {
  // O_NONBLOCK: opening a pipe found in place of a file must not wait for a writer.
  const UniqueFd fd = openUnder(root_, systemPath, O_RDONLY | O_NONBLOCK, true);
  if (!fd) return std::nullopt;
  return readWholeOpenFile(fd.get());
}

bool Platform::exists(std::string_view systemPath) const {
  return static_cast<bool>(openUnder(root_, systemPath, O_PATH, true));
}

bool Platform::isDirectory(std::string_view systemPath) const {
  return static_cast<bool>(openUnder(root_, systemPath, O_PATH | O_DIRECTORY, true));
}

std::vector<std::string> Platform::listFolder(std::string_view systemPath) const {
  std::vector<std::string> names;
  for (auto& entry : listFolderEntries(systemPath)) names.push_back(std::move(entry.name));
  return names;
}

namespace {

// Whether the file system holding an open path is mounted from another
// machine. Unknown kinds count as local.
bool isNetworkFileSystem(int fd) {
#if defined(__linux__)
  struct statfs fs {};
  if (::fstatfs(fd, &fs) != 0) return false;
  switch (static_cast<uint64_t>(static_cast<uint32_t>(fs.f_type))) {
    case 0x6969:      // NFS
    case 0x517B:      // SMB
    case 0xFF534D42:  // CIFS
    case 0xFE534D42:  // SMB2
    case 0x564C:      // NCP
    case 0x5346414F:  // AFS
    case 0x73757245:  // Coda
    case 0x01021997:  // 9P
    case 0x00C36400:  // Ceph
      return true;
    default: return false;
  }
#else
  (void)fd;
  return false;
#endif
}

EntryKind kindOfMode(mode_t mode) {
  if (S_ISLNK(mode)) return EntryKind::link;
  if (S_ISDIR(mode)) return EntryKind::folder;
  if (S_ISREG(mode)) return EntryKind::file;
  return EntryKind::other;
}

}  // namespace

std::vector<FolderEntry> Platform::listFolderEntries(std::string_view systemPath) const {
  std::vector<FolderEntry> entries;
  UniqueFd folder = openUnder(root_, systemPath, O_RDONLY | O_DIRECTORY, true);
  DIR* dir = folder ? ::fdopendir(folder.get()) : nullptr;
  if (!dir) return entries;
  folder.release();
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    EntryKind kind = EntryKind::other;
    switch (entry->d_type) {
      case DT_DIR: kind = EntryKind::folder; break;
      case DT_REG: kind = EntryKind::file; break;
      case DT_LNK: kind = EntryKind::link; break;
      case DT_UNKNOWN: {
        // Some file systems leave the kind out of the listing.
        struct stat st {};
        if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) kind = kindOfMode(st.st_mode);
        break;
      }
      default: break;
    }
    entries.push_back({std::move(name), kind});
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

EntryKind Platform::entryKind(std::string_view systemPath) const {
  const UniqueFd fd = openUnder(root_, systemPath, O_PATH, false);
  struct stat st {};
  if (!fd || ::fstat(fd.get(), &st) != 0) return EntryKind::missing;
  return kindOfMode(st.st_mode);
}

std::optional<std::string> Platform::linkTarget(std::string_view systemPath) const {
  std::string clean = cleanSystemPath(systemPath);
  while (clean.size() > 1 && clean.back() == '/') clean.pop_back();
  if (clean == "/") return std::nullopt;
  // A relative target is taken from the folder the link is really in.
  std::optional<std::string> folder = clean.substr(0, clean.rfind('/') + 1);
  if (!rootIsSystem()) folder = resolveBeneath(root_, *folder, true);
  if (!folder) return std::nullopt;
  const UniqueFd at = openBeneath(root_, *folder, O_PATH | O_DIRECTORY, false);
  char buffer[4096];
  const std::string name = clean.substr(clean.rfind('/') + 1);
  const ssize_t n = at ? ::readlinkat(at.get(), name.c_str(), buffer, sizeof buffer) : -1;
  if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return std::nullopt;
  std::string target(buffer, static_cast<size_t>(n));
  if (target.front() != '/') target = *folder + "/" + target;
  std::string resolved = cleanSystemPath(target);
  while (resolved.size() > 1 && resolved.back() == '/') resolved.pop_back();
  return resolved;
}

std::string Platform::temporaryFolder() const {
  const char* env = std::getenv("TMPDIR");
  std::string folder = env && *env ? env : "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

bool Platform::writeFile(std::string_view systemPath, std::string_view bytes) {
  const ParentBeneath parent = parentUnder(root_, systemPath);
  return parent.folder && writeFileAtomicallyAt(parent.folder.get(), parent.name, bytes, 0644, hostPath(systemPath));
}

bool Platform::renamePath(std::string_view fromSystemPath, std::string_view toSystemPath) {
  const ParentBeneath from = parentUnder(root_, fromSystemPath);
  const ParentBeneath to = parentUnder(root_, toSystemPath);
  return from.folder && to.folder &&
         ::renameat(from.folder.get(), from.name.c_str(), to.folder.get(), to.name.c_str()) == 0;
}

bool Platform::removeTree(std::string_view systemPath) {
  const ParentBeneath parent = parentUnder(root_, systemPath);
  if (!parent.folder) return entryKind(systemPath) == EntryKind::missing;
  return removeTreeAt(parent.folder.get(), parent.name);
}

bool Platform::copyTree(std::string_view fromSystemPath, std::string_view toSystemPath) {
  const UniqueFd from = openUnder(root_, fromSystemPath, O_RDONLY | O_NONBLOCK, true);
  const ParentBeneath to = parentUnder(root_, toSystemPath);
  return from && to.folder && copyTreeAt(from.get(), to.folder.get(), to.name, hostPath(toSystemPath));
}

PlatformLock::~PlatformLock() = default;

namespace {

// flock on the root folder itself: nothing to make (a lock file beside the
// backups would need administrator rights on "/" and could be planted as a
// link), the same folder however the root is named, let go when the
// descriptor closes, also when the process dies.
class RootFolderLock : public PlatformLock {
 public:
  explicit RootFolderLock(UniqueFd fd) : fd_(std::move(fd)) {}

 private:
  UniqueFd fd_;
};

}  // namespace

std::unique_ptr<PlatformLock> Platform::tryLockRoot(bool& busy, std::string* why) {
  busy = false;
  const std::string folder = rootIsSystem() ? "/" : root_;
  UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) return std::make_unique<RootFolderLock>(std::move(fd));
  busy = fd && errno == EWOULDBLOCK;
  if (why) *why = "cannot lock " + folder + ": " + std::strerror(errno);
  return nullptr;
}

std::optional<std::string> Platform::readHostFile(const std::string& hostPath) const { return readWholeFile(hostPath); }

bool Platform::writeHostFile(const std::string& hostPath, std::string_view bytes, unsigned mode, std::string* why) {
  return writeHostFileAtomically(hostPath, bytes, mode, why);
}

bool Platform::makeHostFolders(const std::string& hostPath, std::string* why) {
  return corvane::makeHostFolders(hostPath, why);
}

std::optional<std::string> Platform::makePrivateHostFolder(const std::string& parent, std::string_view prefix,
                                                           std::string* why) {
  return corvane::makePrivateHostFolder(parent, prefix, why);
}

bool Platform::removeHostFile(const std::string& hostPath) { return corvane::removeHostFile(hostPath); }

bool Platform::removeHostFolder(const std::string& hostPath) { return corvane::removeHostFolder(hostPath); }

bool Platform::removeHostTree(const std::string& hostPath) { return corvane::removeHostTree(hostPath); }

int Platform::launchProgram(const std::string& hostPath, const std::vector<std::string>& args) {
  return launchHostProgram(hostPath, args);
}

void Platform::log(std::string_view text) const {
  std::string line(text);
  if (options_.syslog) {
    std::call_once(syslogOpened_, [] { ::openlog("corvane", LOG_PID, LOG_USER); });
    ::syslog(LOG_NOTICE, "%s", line.c_str());
  }
  if (logSink) logSink(line);
}

void Platform::verboseLog(std::string_view text) const {
  if (logSink) logSink(std::string(text));
}

std::time_t Platform::now() const { return std::time(nullptr); }

void Platform::pause(double seconds) {
  if (options_.pauses && seconds > 0 && !toolsStopped_)
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

DiskFigures Platform::diskFigures(std::string_view systemPath) const {
  DiskFigures figures;
  if (const auto& volumes = recordedVolumes()) {
    if (const RecordedVolume* volume = volumeHolding(*volumes, cleanSystemPath(systemPath))) {
      figures.totalBytes = volume->totalBytes;
      figures.freeBytes = volume->freeBytes;
      figures.known = true;
    }
    return figures;
  }
  const UniqueFd fd = openUnder(root_, systemPath, O_PATH, true);
  struct statvfs fs {};
  if (!fd || ::fstatvfs(fd.get(), &fs) != 0) return figures;
  figures.totalBytes = static_cast<uint64_t>(fs.f_blocks) * fs.f_frsize;
  figures.freeBytes = static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize;
  figures.known = true;
  figures.networkShare = isNetworkFileSystem(fd.get());
  return figures;
}

const std::optional<std::vector<RecordedVolume>>& Platform::recordedVolumes() const {
  if (!volumesRead_) {
    volumesRead_ = true;
    recordedVolumes_ = readRecordedVolumes();
  }
  return recordedVolumes_;
}

std::optional<std::vector<RecordedVolume>> Platform::readRecordedVolumes() const {
  struct stat st {};
  const std::string df = hostPath("/bin/df");
  if (rootIsSystem() || ::stat(df.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  // The tool run changes nothing the readers see; it is the platform's own.
  const ToolRun run = const_cast<Platform*>(this)->Platform::runTool("/bin/df", {"-k"});
  return parseDfOutput(run.output);
}

const Value& Platform::productVersion() const {
  if (!productVersion_) {
    const Value version = readPropertyList(*this, "/System/Library/CoreServices/SystemVersion.plist")["ProductVersion"];
    productVersion_ = version.isString() ? version : Value();
  }
  return *productVersion_;
}

}  // namespace corvane

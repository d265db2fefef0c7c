#include "core/capture_archive.h"

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "core/beneath_root.h"
#include "core/platform_files.h"
#include "core/platform_signals.h"
#include "core/private_folders.h"
#include "core/text.h"

namespace corvane {
namespace {

// The entry's path as components, "." dropped; nullopt for an absolute path
// or one with "..".
std::optional<std::vector<std::string>> safeComponents(std::string_view path) {
  if (path.empty() || path.front() == '/') return std::nullopt;
  std::vector<std::string> parts;
  for (auto& piece : splitText(path, "/")) {
    if (piece.empty() || piece == ".") continue;
    if (piece == "..") return std::nullopt;
    parts.push_back(std::move(piece));
  }
  return parts;
}

std::string joined(const std::vector<std::string>& parts, size_t count) {
  std::string path;
  for (size_t i = 0; i < count && i < parts.size(); ++i) path += (i ? "/" : "") + parts[i];
  return path;
}

// The links unpacked so far: their paths in the folder, and their targets.
using LinkMap = std::map<std::string, std::string>;

// True when a link at `parts` with this target stays inside the folder,
// resolved as the host resolves it: through the links in `links` (at most
// kMaxLinksFollowed of them), a ".." after a link going to the parent of
// where the link leads. An absolute target, a ".." above the folder and a
// loop of links all count as leading out.
bool linkStaysInside(const LinkMap& links, const std::vector<std::string>& parts, std::string_view target) {
  std::vector<std::string> at(parts.begin(), parts.end() - 1);
  std::deque<std::string> pending;
  int followed = 0;
  // Each link met puts its target in front of what is left of the path.
  const auto follow = [&](std::string_view linkTarget) {
    if (linkTarget.empty() || linkTarget.front() == '/' || ++followed > kMaxLinksFollowed) return false;
    const std::vector<std::string> pieces = splitText(linkTarget, "/");
    pending.insert(pending.begin(), pieces.begin(), pieces.end());
    return true;
  };
  if (!follow(target)) return false;
  while (!pending.empty()) {
    std::string piece = std::move(pending.front());
    pending.pop_front();
    if (piece.empty() || piece == ".") continue;
    if (piece == "..") {
      if (at.empty()) return false;
      at.pop_back();
      continue;
    }
    at.push_back(std::move(piece));
    const auto link = links.find(joined(at, at.size()));
    if (link == links.end()) continue;
    at.pop_back();
    if (!follow(link->second)) return false;
  }
  return true;
}

class Reader {
 public:
  Reader() : archive_(archive_read_new()) {
    archive_read_support_filter_gzip(archive_);
    archive_read_support_filter_none(archive_);
    archive_read_support_format_tar(archive_);
    archive_read_support_format_gnutar(archive_);
  }
  ~Reader() { archive_read_free(archive_); }
  archive* get() const { return archive_; }

 private:
  archive* archive_;
};

class Writer {
 public:
  Writer() : archive_(archive_write_disk_new()) {
    archive_write_disk_set_options(archive_, ARCHIVE_EXTRACT_SECURE_SYMLINKS | ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                                 ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_NO_OVERWRITE);
  }
  ~Writer() { archive_write_free(archive_); }
  archive* get() const { return archive_; }

 private:
  archive* archive_;
};

std::string unpack(const std::string& archivePath, const std::string& folder, const CaptureLimits& limits) {
  Reader reader;
  if (archive_read_open_filename(reader.get(), archivePath.c_str(), 65536) != ARCHIVE_OK)
    return "is not a capture archive (" +
           std::string(archive_error_string(reader.get()) ? archive_error_string(reader.get()) : "") + ")";
  Writer writer;
  LinkMap links;
  uint64_t entries = 0, bytes = 0;
  archive_entry* entry = nullptr;
  for (;;) {
    if (programStopRequested()) return "was not unpacked whole: the program was asked to end";
    const int next = archive_read_next_header(reader.get(), &entry);
    if (next == ARCHIVE_EOF) break;
    if (next != ARCHIVE_OK && next != ARCHIVE_WARN) {
      const char* why = archive_error_string(reader.get());
      return entries == 0 ? "is not a capture archive (" + std::string(why ? why : "unknown format") + ")"
                          : "is damaged (" + std::string(why ? why : "unreadable entry") + ")";
    }
    if (++entries > limits.entries) return "has more than " + std::to_string(limits.entries) + " entries";
    const char* rawPath = archive_entry_pathname(entry);
    const std::string path = rawPath ? rawPath : "";
    const auto parts = safeComponents(path);
    if (!parts) return "holds an entry that leads out of the capture: \"" + path + "\"";
    if (parts->empty()) continue;  // the archive's own "./"
    for (size_t n = 1; n < parts->size(); ++n)
      if (links.count(joined(*parts, n))) return "holds an entry below a link: \"" + path + "\"";
    if (archive_entry_hardlink(entry)) return "holds a hard link: \"" + path + "\"";
    const mode_t type = archive_entry_filetype(entry);
    if (type == AE_IFLNK) {
      const char* target = archive_entry_symlink(entry);
      if (!linkStaysInside(links, *parts, target ? target : ""))
        return "holds a link that leads out of the capture: \"" + path + "\"";
      links[joined(*parts, parts->size())] = target;
    } else if (type != AE_IFREG && type != AE_IFDIR) {
      return "holds a device or other special file: \"" + path + "\"";
    }
    const int64_t declared = archive_entry_size(entry);
    if (type == AE_IFREG && declared > 0 && bytes + static_cast<uint64_t>(declared) > limits.bytes)
      return "unpacks to more than " + std::to_string(limits.bytes / (1024 * 1024)) + " MB";

    // Written under the private folder, without set-id bits, files without
    // execute bits (nothing in a capture is a program), always readable and
    // removable by the user.
    archive_entry_copy_pathname(entry, (folder + "/" + joined(*parts, parts->size())).c_str());
    mode_t perm = archive_entry_perm(entry) & (type == AE_IFDIR ? 0755 : 0644);
    perm |= type == AE_IFDIR ? 0700 : 0600;
    archive_entry_set_perm(entry, perm);
    archive_entry_set_uid(entry, ::getuid());
    archive_entry_set_gid(entry, ::getgid());
    if (archive_write_header(writer.get(), entry) != ARCHIVE_OK)
      return "cannot be unpacked at \"" + path + "\" (" +
             std::string(archive_error_string(writer.get()) ? archive_error_string(writer.get()) : "") + ")";
    if (type == AE_IFREG) {
      const void* block = nullptr;
      size_t size = 0;
      la_int64_t offset = 0;
      for (;;) {
        const int read = archive_read_data_block(reader.get(), &block, &size, &offset);
        if (read == ARCHIVE_EOF) break;
        if (read != ARCHIVE_OK) return "is damaged at \"" + path + "\"";
        bytes += size;
        if (bytes > limits.bytes) return "unpacks to more than " + std::to_string(limits.bytes / (1024 * 1024)) + " MB";
        if (archive_write_data_block(writer.get(), block, size, offset) != ARCHIVE_OK)
          return "cannot be unpacked at \"" + path + "\"";
      }
    }
    if (archive_write_finish_entry(writer.get()) != ARCHIVE_OK) return "cannot be unpacked at \"" + path + "\"";
  }
  // A link unpacked later can change where an earlier one leads (a name it
  // passed through became a link): each is checked again against them all.
  for (const auto& [path, target] : links)
    if (!linkStaysInside(links, splitText(path, "/"), target))
      return "holds a link that leads out of the capture: \"" + path + "\"";
  return "";
}

constexpr std::string_view kFolderPrefix = "corvane-capture-";

// The capture archives opened as roots, by the folder they were unpacked in.
struct OpenedRoot {
  std::string archive;
  std::unique_ptr<PrivateFolder> folder;
};

std::mutex registryMutex;
std::map<std::string, OpenedRoot>& registry() {
  static auto* roots = new std::map<std::string, OpenedRoot>();
  return *roots;
}

}  // namespace

UnpackedCapture unpackCaptureArchive(const std::string& archivePath, const std::string& temporaryFolder,
                                     CaptureLimits limits) {
  UnpackedCapture result;
  const auto made = makePrivateHostFolder(temporaryFolder, kFolderPrefix);
  if (!made) {
    result.failure = "cannot make a private folder in " + temporaryFolder + " for the capture " + archivePath;
    return result;
  }
  // The links check of the unpacking looks at every folder of the path.
  char resolved[PATH_MAX];
  const std::string folder = ::realpath(made->c_str(), resolved) ? std::string(resolved) : *made;
  const std::string why = unpack(archivePath, folder, limits);
  if (!why.empty()) {
    removeCaptureFolder(folder);
    result.failure = "the capture archive " + archivePath + " " + why;
    return result;
  }
  result.folder = folder;
  return result;
}

void removeCaptureFolder(const std::string& folder) {
  if (folder.empty()) return;
  removeHostTree(folder);
}

std::string openRootForReading(const std::string& rootArgument, std::string& failure) {
  struct stat st {};
  if (::stat(rootArgument.c_str(), &st) != 0) {
    failure = rootArgument + " does not exist";
    return "";
  }
  if (S_ISDIR(st.st_mode)) return rootArgument;
  if (!S_ISREG(st.st_mode)) {
    failure = rootArgument + " is neither a folder nor a capture archive";
    return "";
  }
  const char* env = std::getenv("TMPDIR");
  std::string temporary = env && *env ? env : "/tmp";
  while (temporary.size() > 1 && temporary.back() == '/') temporary.pop_back();
  // What a killed run left there goes first.
  removeAbandonedFolders(temporary, kFolderPrefix);
  auto folder = PrivateFolder::make(temporary, kFolderPrefix);
  if (!folder) {
    failure = "cannot make a private folder in " + temporary + " for the capture " + rootArgument;
    return "";
  }
  std::string why;
  {
    auto writing = folder->hold();
    why = unpack(rootArgument, folder->path(), {});
  }
  if (!why.empty()) {
    failure = "the capture archive " + rootArgument + " " + why;
    return "";
  }
  const std::string path = folder->path();
  std::lock_guard lock(registryMutex);
  registry()[path] = OpenedRoot{rootArgument, std::move(folder)};
  return path;
}

std::string rootDisplayName(const std::string& rootFolder) {
  std::lock_guard lock(registryMutex);
  const auto found = registry().find(rootFolder);
  return found == registry().end() ? rootFolder : found->second.archive;
}

}  // namespace corvane

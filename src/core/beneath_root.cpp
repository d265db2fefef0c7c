#include "core/beneath_root.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#if __has_include(<linux/openat2.h>)
#include <linux/openat2.h>
#endif

#include <atomic>
#include <cerrno>
#include <deque>
#include <vector>

#include "core/text.h"

namespace corvane {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.release();
  }
  return *this;
}

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) ::close(fd_);
}

namespace {

std::deque<std::string> componentsOf(std::string_view path) {
  std::deque<std::string> parts;
  for (auto& piece : splitText(path, "/"))
    if (!piece.empty() && piece != ".") parts.push_back(std::move(piece));
  return parts;
}

UniqueFd openRoot(const std::string& root) {
  return UniqueFd(::open(root.empty() ? "/" : root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

std::optional<std::string> readLinkAt(int folder, const std::string& name) {
  char buffer[4096];
  const ssize_t n = ::readlinkat(folder, name.c_str(), buffer, sizeof buffer);
  if (n < 0) return std::nullopt;
  if (static_cast<size_t>(n) >= sizeof buffer) {
    errno = ENAMETOOLONG;
    return std::nullopt;
  }
  if (n == 0) {
    errno = ENOENT;
    return std::nullopt;
  }
  return std::string(buffer, static_cast<size_t>(n));
}

// The component walk: a stack of open folders from the root down, so that
// ".." goes back to a folder already held and never above the root.
UniqueFd walk(const std::string& root, std::string_view systemPath, int flags, bool followLast,
              std::vector<std::string>* resolved) {
  std::vector<UniqueFd> folders;
  folders.push_back(openRoot(root));
  if (!folders.back()) return {};
  std::vector<std::string> names;
  std::deque<std::string> pending = componentsOf(systemPath);
  int links = 0;
  while (!pending.empty()) {
    std::string name = std::move(pending.front());
    pending.pop_front();
    if (name == "..") {
      if (folders.size() > 1) {
        folders.pop_back();
        names.pop_back();
      }
      continue;
    }
    const int at = folders.back().get();
    const bool last = pending.empty();
    struct stat st {};
    if (::fstatat(at, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return {};
    if (S_ISLNK(st.st_mode) && (!last || followLast)) {
      if (++links > kMaxLinksFollowed) {
        errno = ELOOP;
        return {};
      }
      const std::optional<std::string> target = readLinkAt(at, name);
      if (!target) return {};
      if (target->front() == '/') {
        folders.resize(1);
        names.clear();
      }
      const std::deque<std::string> parts = componentsOf(*target);
      pending.insert(pending.begin(), parts.begin(), parts.end());
      continue;
    }
    if (last) {
      // O_NOFOLLOW: a link put in its place since the look fails the open.
      UniqueFd fd(::openat(at, name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC));
      names.push_back(name);
      if (fd && resolved) *resolved = std::move(names);
      return fd;
    }
    UniqueFd next(::openat(at, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next) return {};
    folders.push_back(std::move(next));
    names.push_back(std::move(name));
  }
  // The path ends at a folder already held (the root, or after "..").
  UniqueFd fd(::openat(folders.back().get(), ".", flags | O_CLOEXEC));
  if (fd && resolved) *resolved = std::move(names);
  return fd;
}

#if defined(SYS_openat2) && defined(RESOLVE_IN_ROOT)
// Set once the kernel has said it has no openat2.
std::atomic<bool> kernelLacksOpenat2{false};

// nullopt: ask the walk instead.
std::optional<UniqueFd> openInRootByKernel(const std::string& root, std::string_view systemPath, int flags,
                                           bool followLast) {
  if (kernelLacksOpenat2) return std::nullopt;
  const UniqueFd rootFd = openRoot(root);
  if (!rootFd) return UniqueFd();
  open_how how{};
  how.flags = static_cast<uint64_t>(flags | O_CLOEXEC | (followLast ? 0 : O_NOFOLLOW));
  how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_MAGICLINKS;
  const size_t start = systemPath.find_first_not_of('/');
  const std::string relative = start == std::string_view::npos ? "." : std::string(systemPath.substr(start));
  // EAGAIN: a rename raced with a ".."; the kernel asks to try again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const long fd = ::syscall(SYS_openat2, rootFd.get(), relative.c_str(), &how, sizeof how);
    if (fd >= 0) return UniqueFd(static_cast<int>(fd));
    if (errno == EAGAIN) continue;
    if (errno != ENOSYS) return UniqueFd();
    kernelLacksOpenat2 = true;
    return std::nullopt;
  }
  return std::nullopt;
}
#else
std::optional<UniqueFd> openInRootByKernel(const std::string&, std::string_view, int, bool) { return std::nullopt; }
#endif

}  // namespace

UniqueFd openBeneathByWalk(const std::string& root, std::string_view systemPath, int flags, bool followLast) {
  return walk(root, systemPath, flags, followLast, nullptr);
}

UniqueFd openBeneath(const std::string& root, std::string_view systemPath, int flags, bool followLast) {
  if (root.empty()) {
    const std::string path = systemPath.empty() ? "/" : std::string(systemPath);
    return UniqueFd(::open(path.c_str(), flags | O_CLOEXEC | (followLast ? 0 : O_NOFOLLOW)));
  }
  if (std::optional<UniqueFd> fd = openInRootByKernel(root, systemPath, flags, followLast)) return std::move(*fd);
  return walk(root, systemPath, flags, followLast, nullptr);
}

std::optional<std::string> resolveBeneath(const std::string& root, std::string_view systemPath, bool followLast) {
  std::vector<std::string> names;
  if (!walk(root, systemPath, O_PATH, followLast, &names)) return std::nullopt;
  std::string path;
  for (const auto& name : names) path += "/" + name;
  return path.empty() ? "/" : path;
}

ParentBeneath openParentBeneath(const std::string& root, std::string_view systemPath) {
  ParentBeneath parent;
  std::deque<std::string> parts = componentsOf(systemPath);
  if (parts.empty() || parts.back() == "..") return parent;
  parent.name = std::move(parts.back());
  parts.pop_back();
  std::string folder;
  for (const auto& part : parts) folder += "/" + part;
  parent.folder = openBeneath(root, folder.empty() ? "/" : folder, O_PATH | O_DIRECTORY, true);
  return parent;
}

}  // namespace corvane

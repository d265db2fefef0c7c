#pragma once
// Opening paths under a system root without ever leaving it.
//
// A captured system is resolved as the Mac it came from would resolve it,
// with the root as its "/": ".." at the root stays at the root, and an
// absolute link target (real layouts hold /etc -> private/etc and absolute
// ones alike) starts again at the root rather than at the host's "/". So no
// path, whatever links it meets (chains, ".." through a link, absolute
// targets), leads to a host file outside the root. At most kMaxLinksFollowed
// links are followed in one path; a loop fails with ELOOP.
//
// The kernel's openat2 with RESOLVE_IN_ROOT does this where it has it; else
// (ENOSYS) the path is walked one component at a time, each opened with
// O_NOFOLLOW from the folder before it, each link's target read and resolved
// by the walk itself.
//
// Paths here are system paths ("/Library/..."; a relative one is taken from
// the root). A root of "" is the host's own "/": paths are opened as the host
// opens them.

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

inline constexpr int kMaxLinksFollowed = 40;

// An open descriptor, closed when it goes.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd();
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Opens a system path under the root (a host folder; "" for the host's "/")
// with the open flags (O_CLOEXEC is added). followLast: whether a link at the
// end is followed; without, O_PATH opens the link itself and other flags fail
// on it. An invalid descriptor (errno set) when the path is missing, a loop,
// or cannot be opened.
UniqueFd openBeneath(const std::string& root, std::string_view systemPath, int flags, bool followLast);

// The same resolution by the component walk alone, whatever the kernel
// offers (the tests compare the two).
UniqueFd openBeneathByWalk(const std::string& root, std::string_view systemPath, int flags, bool followLast);

// The system path that a path resolves to under the root, every link
// followed (the last one too when followLast); nullopt when a component is
// missing or the links loop.
std::optional<std::string> resolveBeneath(const std::string& root, std::string_view systemPath, bool followLast);

// The folder holding a path's last component, opened (O_PATH) under the root
// with every link on the way followed, and that component's name. No folder
// for the root itself or a path ending in "..".
struct ParentBeneath {
  UniqueFd folder;
  std::string name;
};
ParentBeneath openParentBeneath(const std::string& root, std::string_view systemPath);

}  // namespace corvane

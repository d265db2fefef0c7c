#include "core/platform_files.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

#include "core/beneath_root.h"

#include "core/platform_signals.h"

extern char** environ;

namespace corvane {

namespace fs = std::filesystem;

namespace {

bool fail(std::string* why, const std::string& what, const std::string& path, int error = errno) {
  if (why) *why = what + " " + path + ": " + std::strerror(error);
  return false;
}

bool fail(std::string* why, const std::string& what, const std::string& path, const std::error_code& error) {
  if (why) *why = what + " " + path + ": " + error.message();
  return false;
}

std::string folderOf(const std::string& hostPath) {
  const size_t slash = hostPath.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : hostPath.substr(0, slash);
}

std::string nameOf(const std::string& hostPath) {
  const size_t slash = hostPath.rfind('/');
  return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

bool writeAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// A rename is durable only once the folder that holds the name is on disk.
void syncFolder(int folder) {
  const UniqueFd fd(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd) ::fsync(fd.get());
}

// Six random letters and digits, as mkstemp would choose.
std::string randomName() {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string name(6, ' ');
  for (char& c : name) c = kLetters[pick(random)];
  return name;
}

// Deeper folders than this are not entered (each level holds a descriptor).
constexpr int kMaxTreeDepth = 256;

// A folder inside `folder` opened for listing without following a link,
// made enterable first when it was unpacked without permission to.
UniqueFd openFolderForChange(int folder, const std::string& name, const struct stat& st) {
  UniqueFd fd(::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd && errno == EACCES) {
    const UniqueFd path(::openat(folder, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!path) return fd;
    // chmod of the descriptor's own entry: no name to swap for a link.
    ::chmod(("/proc/self/fd/" + std::to_string(path.get())).c_str(), (st.st_mode & 07777) | S_IRWXU);
    fd = UniqueFd(::openat(path.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  }
  if (fd) ::fchmod(fd.get(), (st.st_mode & 07777) | S_IRWXU);
  return fd;
}

// The names in an open folder ("." and ".." left out).
std::vector<std::string> namesInFolder(int folder) {
  std::vector<std::string> names;
  const int copy = ::dup(folder);
  DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
  if (!dir) {
    if (copy >= 0) ::close(copy);
    return names;
  }
  ::rewinddir(dir);
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

bool removeTreeBelow(int folder, const std::string& name, int depth) {
  struct stat st {};
  if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
  if (S_ISDIR(st.st_mode)) {
    if (depth >= kMaxTreeDepth) return false;
    const UniqueFd inside = openFolderForChange(folder, name, st);
    if (inside)
      for (const auto& entry : namesInFolder(inside.get())) removeTreeBelow(inside.get(), entry, depth + 1);
    return ::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT;
  }
  return ::unlinkat(folder, name.c_str(), 0) == 0 || errno == ENOENT;
}

bool copyFileContents(int from, int to) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(from, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || !writeAll(to, std::string_view(buffer, static_cast<size_t>(n)))) return false;
  }
}

bool copyTreeBelow(int from, int to, const std::string& name, int depth) {
  struct stat st {};
  if (::fstat(from, &st) != 0) return false;
  const mode_t mode = st.st_mode & 07777;
  if (S_ISREG(st.st_mode)) {
    const UniqueFd target(
        ::openat(to, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode | S_IRUSR | S_IWUSR));
    return target && copyFileContents(from, target.get()) && ::fchmod(target.get(), mode) == 0;
  }
  if (!S_ISDIR(st.st_mode) || depth >= kMaxTreeDepth) return false;
  if (::mkdirat(to, name.c_str(), S_IRWXU) != 0) return false;
  const UniqueFd made(::openat(to, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!made) return false;
  for (const auto& entry : namesInFolder(from)) {
    struct stat inner {};
    if (::fstatat(from, entry.c_str(), &inner, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (S_ISLNK(inner.st_mode)) {
      char target[4096];
      const ssize_t n = ::readlinkat(from, entry.c_str(), target, sizeof target - 1);
      if (n < 0) return false;
      target[n] = '\0';
      if (::symlinkat(target, made.get(), entry.c_str()) != 0) return false;
      continue;
    }
    const UniqueFd source(::openat(from, entry.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!source || !copyTreeBelow(source.get(), made.get(), entry, depth + 1)) return false;
  }
  const UniqueFd setMode(::openat(made.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return setMode && ::fchmod(setMode.get(), mode) == 0;
}

}  // namespace

bool writeHostFileAtomically(const std::string& hostPath, std::string_view bytes, unsigned mode, std::string* why) {
  const std::string folder = folderOf(hostPath);
  const UniqueFd folderFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!folderFd) return fail(why, "cannot create a file in", folder);
  return writeFileAtomicallyAt(folderFd.get(), nameOf(hostPath), bytes, mode, hostPath, why);
}

bool writeFileAtomicallyAt(int folder, const std::string& name, std::string_view bytes, unsigned mode,
                           const std::string& shownPath, std::string* why) {
  // O_EXCL under a fresh name: never through an existing file or link.
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = "." + name + "." + randomName();
    fd = ::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return fail(why, "cannot create a file in", folderOf(shownPath));
  // The mode must not depend on the umask.
  if (!writeAll(fd, bytes) || ::fchmod(fd, static_cast<mode_t>(mode)) != 0 || ::fsync(fd) != 0) {
    const int error = errno;
    ::close(fd);
    ::unlinkat(folder, temporary.c_str(), 0);
    return fail(why, "cannot write", shownPath, error);
  }
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlinkat(folder, temporary.c_str(), 0);
    return fail(why, "cannot write", shownPath, error);
  }
  if (::renameat(folder, temporary.c_str(), folder, name.c_str()) != 0) {
    const int error = errno;
    ::unlinkat(folder, temporary.c_str(), 0);
    return fail(why, "cannot replace", shownPath, error);
  }
  syncFolder(folder);
  return true;
}

bool renameHostPath(const std::string& from, const std::string& to, std::string* why) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  if (why) *why = std::strerror(errno);
  return false;
}

bool removeHostFile(const std::string& hostPath) { return ::unlink(hostPath.c_str()) == 0; }

bool removeHostFolder(const std::string& hostPath) { return ::rmdir(hostPath.c_str()) == 0; }

bool removeHostTree(const std::string& hostPath) {
  const UniqueFd folder(::open(folderOf(hostPath).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  struct stat st {};
  if (!folder) return ::lstat(hostPath.c_str(), &st) != 0;
  return removeTreeAt(folder.get(), nameOf(hostPath));
}

bool removeTreeAt(int folder, const std::string& name) { return removeTreeBelow(folder, name, 0); }

bool makeHostFolders(const std::string& hostPath, std::string* why) {
  std::error_code error;
  fs::create_directories(hostPath, error);
  if (error) return fail(why, "cannot make", hostPath, error);
  return true;
}

bool copyHostTree(const std::string& from, const std::string& to, std::string* why) {
  const UniqueFd source(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!source) return fail(why, "cannot copy", from);
  const UniqueFd target(::open(folderOf(to).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!target) return fail(why, "cannot copy " + from + " to", to);
  return copyTreeAt(source.get(), target.get(), nameOf(to), to, why);
}

bool copyTreeAt(int from, int to, const std::string& name, const std::string& shownPath, std::string* why) {
  return copyTreeBelow(from, to, name, 0) || fail(why, "cannot copy to", shownPath);
}

std::optional<std::string> makePrivateHostFolder(const std::string& parent, std::string_view prefix, std::string* why) {
  std::string pattern = parent + "/" + std::string(prefix) + "XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    fail(why, "cannot make a private folder in", parent);
    return std::nullopt;
  }
  ::chmod(pattern.c_str(), 0700);
  return pattern;
}

std::optional<std::string> reserveHostFile(const std::string& folder, std::string_view prefix, unsigned mode) {
  std::string pattern = folder + "/" + std::string(prefix) + "XXXXXX";
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  ::fchmod(fd, static_cast<mode_t>(mode));
  ::close(fd);
  return pattern;
}

std::FILE* openHostFileForWriting(const std::string& hostPath) { return std::fopen(hostPath.c_str(), "wb"); }

int launchHostProgram(const std::string& hostPath, const std::vector<std::string>& args) {
  std::string path = hostPath;
  std::vector<std::string> words(args);
  std::vector<char*> argv{path.data()};
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  short flags = 0;
  giveChildDefaultSignals(attributes, flags);
  posix_spawnattr_setflags(&attributes, flags);
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, path.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) return -1;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int lockHostFolder(const std::string& hostPath) {
  const int fd = ::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void unlockHostFolder(int lock) {
  if (lock >= 0) ::close(lock);
}

bool processIsRunning(long pid) {
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

long ownProcessId() { return static_cast<long>(::getpid()); }

}  // namespace corvane

#include "core/platform_files.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

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
void syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool writeHostFileAtomically(const std::string& hostPath, std::string_view bytes, unsigned mode, std::string* why) {
  const std::string folder = folderOf(hostPath);
  std::string temporary = folder + "/." + nameOf(hostPath) + ".XXXXXX";
  // mkstemp creates with O_EXCL: never through an existing file or link.
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return fail(why, "cannot create a file in", folder);
  // The mode must not depend on the umask.
  if (!writeAll(fd, bytes) || ::fchmod(fd, static_cast<mode_t>(mode)) != 0 || ::fsync(fd) != 0) {
    const int error = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    return fail(why, "cannot write", hostPath, error);
  }
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return fail(why, "cannot write", hostPath, error);
  }
  if (::rename(temporary.c_str(), hostPath.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return fail(why, "cannot replace", hostPath, error);
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
  std::error_code ignored;
  if (fs::is_directory(fs::symlink_status(hostPath, ignored))) {
    // Folders unpacked without write permission would stop the removal.
    for (auto it = fs::recursive_directory_iterator(hostPath, fs::directory_options::skip_permission_denied, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_directory(ignored) && !it->is_symlink(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::remove_all(hostPath, ignored);
  return !fs::exists(fs::symlink_status(hostPath, ignored));
}

bool makeHostFolders(const std::string& hostPath, std::string* why) {
  std::error_code error;
  fs::create_directories(hostPath, error);
  if (error) return fail(why, "cannot make", hostPath, error);
  return true;
}

bool copyHostTree(const std::string& from, const std::string& to, std::string* why) {
  std::error_code error;
  fs::copy(from, to, fs::copy_options::recursive, error);
  if (error) return fail(why, "cannot copy " + from + " to", to, error);
  return true;
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

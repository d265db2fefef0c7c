#include "core/platform.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <syslog.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/capture_manifest.h"
#include "core/file_read.h"
#include "core/plist_io.h"
#include "core/text.h"

extern char** environ;

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

Platform::Platform(PlatformOptions options) : options_(std::move(options)), root_(normalizedRoot(options_.root)) {
  if (!options_.home.empty()) {
    home_ = cleanSystemPath(options_.home);
  } else if (root_.empty()) {
    const char* env = std::getenv("HOME");
    home_ = env && *env ? env : "/";
  } else if (const auto manifest = parseCaptureManifest(readWholeFile(root_ + std::string(kCaptureManifestPath)).value_or(""));
             manifest && !manifest->home.empty()) {
    home_ = cleanSystemPath(manifest->home);
  } else {
    home_ = "/Users/user";
  }
  while (home_.size() > 1 && home_.back() == '/') home_.pop_back();
}

Platform::~Platform() = default;

std::string Platform::hostPath(std::string_view systemPath) const {
  return root_ + cleanSystemPath(systemPath);
}

std::optional<std::string> Platform::readFile(std::string_view systemPath) const {
  return readWholeFile(hostPath(systemPath));
}

bool Platform::exists(std::string_view systemPath) const {
  struct stat st {};
  return ::stat(hostPath(systemPath).c_str(), &st) == 0;
}

bool Platform::isDirectory(std::string_view systemPath) const {
  struct stat st {};
  return ::stat(hostPath(systemPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> Platform::listFolder(std::string_view systemPath) const {
  std::vector<std::string> names;
  DIR* dir = ::opendir(hostPath(systemPath).c_str());
  if (!dir) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

ToolRun Platform::runTool(std::string_view systemPath, const std::vector<std::string>& args) {
  ToolRun run;
  std::string path = hostPath(systemPath);
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return run;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);

  std::vector<char*> argv;
  argv.push_back(path.data());
  std::vector<std::string> argCopies(args);
  for (auto& a : argCopies) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = -1;
  int err = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (err != 0) {
    ::close(fds[0]);
    return run;
  }
  run.started = true;

  // Read everything before waiting, so the tool never blocks on a full pipe.
  std::string output;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    if (n > 0) {
      output.append(buffer, static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  ::close(fds[0]);

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  run.output = std::string(untilNul(output));
  return run;
}

std::string Platform::temporaryFolder() const {
  const char* env = std::getenv("TMPDIR");
  std::string folder = env && *env ? env : "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

void Platform::log(std::string_view text) const {
  std::string line(text);
  if (options_.syslog) {
    static bool opened = false;
    if (!opened) {
      ::openlog("corvane", LOG_PID, LOG_USER);
      opened = true;
    }
    ::syslog(LOG_NOTICE, "%s", line.c_str());
  }
  if (logSink) logSink(line);
}

void Platform::pause(double seconds) {
  if (options_.pauses && seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
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
  struct statvfs fs {};
  if (::statvfs(hostPath(systemPath).c_str(), &fs) != 0) return figures;
  figures.totalBytes = static_cast<uint64_t>(fs.f_blocks) * fs.f_frsize;
  figures.freeBytes = static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize;
  figures.known = true;
  return figures;
}

const std::optional<std::vector<RecordedVolume>>& Platform::recordedVolumes() const {
  if (!volumesRead_) {
    volumesRead_ = true;
    struct stat st {};
    const std::string df = hostPath("/bin/df");
    if (!rootIsSystem() && ::stat(df.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      // The tool run changes nothing the readers see; it is the platform's own.
      const ToolRun run = const_cast<Platform*>(this)->Platform::runTool("/bin/df", {"-k"});
      recordedVolumes_ = parseDfOutput(run.output);
    }
  }
  return recordedVolumes_;
}

const Value& Platform::productVersion() const {
  if (!productVersion_) {
    const Value version = readPropertyList(*this, "/System/Library/CoreServices/SystemVersion.plist")["ProductVersion"];
    productVersion_ = version.isString() ? version : Value();
  }
  return *productVersion_;
}

}  // namespace corvane

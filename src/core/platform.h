#pragma once
// The platform layer: the one place where the program touches the system.
//
// Every absolute system path (stores, tools, bundles, the home folder) is
// resolved under a system root, "/" by default. Pointing the root at a
// captured system (a folder laid out like a Mac's file system, whose tools
// are executables at their own paths) runs the whole program against it.
//
// The methods are virtual so that tests can replace single operations.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/plist_value.h"
#include "core/recorded_volumes.h"

namespace corvane {

struct PlatformOptions {
  std::string root = "/";
  // The user's home folder as a system path (inside the root). Empty: $HOME
  // when the root is "/", the home named by a capture's manifest, else
  // "/Users/user".
  std::string home;
  // One-second and longer pauses of the checks and the repair; tests and
  // --no-pause switch them off.
  bool pauses = true;
  // Also send log texts to the system log (syslog).
  bool syslog = true;
};

// What a tool printed on standard output (cut at the first NUL) and how it
// ended. A tool that could not be started has started == false, empty output.
struct ToolRun {
  std::string output;
  int exitStatus = -1;
  bool started = false;
};

struct DiskFigures {
  uint64_t totalBytes = 0;
  uint64_t freeBytes = 0;
  bool known = false;
};

class Platform {
 public:
  explicit Platform(PlatformOptions options = {});
  virtual ~Platform();
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;

  // The system root as a host folder, without a trailing slash ("" for "/").
  const std::string& root() const { return root_; }
  bool rootIsSystem() const { return root_.empty(); }

  // The host path of an absolute system path. "." and ".." components are
  // resolved lexically first, so no system path leads out of the root.
  std::string hostPath(std::string_view systemPath) const;

  // Whole contents of the file at a system path; nullopt when it is missing,
  // a folder or unreadable.
  virtual std::optional<std::string> readFile(std::string_view systemPath) const;
  virtual bool exists(std::string_view systemPath) const;
  virtual bool isDirectory(std::string_view systemPath) const;
  // Names of a folder's entries, sorted; empty when it cannot be listed.
  virtual std::vector<std::string> listFolder(std::string_view systemPath) const;

  // Runs the tool at a system path with exactly these arguments, standard
  // output captured whole (never blocking on a full pipe), standard input and
  // standard error inherited; waits for it to exit.
  virtual ToolRun runTool(std::string_view systemPath, const std::vector<std::string>& args);

  // The user's home folder as a system path.
  const std::string& homeFolder() const { return home_; }
  // The temporary folder as a host path.
  virtual std::string temporaryFolder() const;

  // Writes a text to the system log (and to the log sink, when one is set).
  virtual void log(std::string_view text) const;
  // Pauses for the given seconds, unless pauses are switched off.
  virtual void pause(double seconds);
  bool pausesEnabled() const { return options_.pauses; }

  // Size and free space of the file system holding a system path: from the
  // root's recorded volumes when it has them, else from the host's file system
  // under the root.
  virtual DiskFigures diskFigures(std::string_view systemPath) const;

  // The volumes a captured root recorded: the output of its own /bin/df -k,
  // run once. nullopt when the root is "/" or holds no such tool.
  const std::optional<std::vector<RecordedVolume>>& recordedVolumes() const;

  // The running system's "ProductVersion" from SystemVersion.plist; absent
  // when the file or key is missing. Read once: it cannot change while the
  // program runs.
  const Value& productVersion() const;

  // Called with the message of an internal error that the user must see (the
  // OS check that has nothing to compare). Front ends set it; unset, the
  // message goes to the log.
  std::function<void(const std::string& message)> internalErrorAlert;
  // Receives every log text too; the command line's --verbose and the tests
  // use it.
  std::function<void(const std::string& text)> logSink;

 private:
  PlatformOptions options_;
  std::string root_;
  std::string home_;
  mutable std::optional<Value> productVersion_;
  mutable bool volumesRead_ = false;
  mutable std::optional<std::vector<RecordedVolume>> recordedVolumes_;
};

}  // namespace corvane

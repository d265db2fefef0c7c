#pragma once
// The platform layer: the one place where the program touches the system.
//
// Every absolute system path (stores, tools, bundles, the home folder) is
// resolved under a system root, "/" by default. Pointing the root at a
// system folder (laid out like a Mac's file system, its tools executables at
// their own paths) runs the whole program against it. A customer's capture is
// read by CapturePlatform (core/capture_platform.h), which never runs a file
// from it; makeRootPlatform makes the right one for a root.
//
// The methods are virtual so that tests can replace single operations.

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
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
  // How long a tool may run before it is stopped (readers' tools; the
  // privileged steps choose their own limit with runToolWithin).
  double toolSeconds = 10.0;
  // How much standard output a tool may print before it is stopped.
  size_t toolOutputCap = 16u << 20;
};

// The time limit of the privileged steps' tool runs.
inline constexpr double kPrivilegedToolSeconds = 30.0;

// What a tool printed on standard output (cut at the first NUL) and how it
// ended. A tool that could not be started has started == false, empty output.
// A tool stopped at its time limit (or not started because it had already
// failed to answer in this check) has timedOut set; one stopped for printing
// more than the output cap has outputCapped set. Either way output holds what
// it printed until then, and that is its answer.
struct ToolRun {
  std::string output;
  int exitStatus = -1;
  bool started = false;
  bool timedOut = false;
  bool outputCapped = false;
  // What the tool said on its standard error, its first 64 KB; never shown
  // on the terminal, only in the verbose log and failure messages.
  std::string errorOutput;
};

struct DiskFigures {
  uint64_t totalBytes = 0;
  uint64_t freeBytes = 0;
  bool known = false;
  // The file system is a share mounted from another machine (NFS, SMB, ...),
  // as far as the host tells the kind of a file system.
  bool networkShare = false;
};

// What a path is, without following a symbolic link at its end.
enum class EntryKind { missing, file, folder, link, other };

struct FolderEntry {
  std::string name;
  EntryKind kind = EntryKind::other;
};

// A lock the platform holds until this goes.
class PlatformLock {
 public:
  virtual ~PlatformLock();
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
  // resolved lexically first, so the text never leads out of the root; the
  // host would still follow links on it. The members below that take system
  // paths never leave the root whatever links they meet: the root is the
  // system's "/", an absolute link target starts again there, ".." stays
  // there (core/beneath_root.h). When the root is "/" they act on host paths
  // as given.
  std::string hostPath(std::string_view systemPath) const;
  // The host path of the file a system path leads to under the root, every
  // link on the way resolved there (so it holds none), for a library or tool
  // that opens paths itself; nullopt when the path is missing or its links
  // loop. With the root "/", hostPath.
  std::optional<std::string> resolvedHostPath(std::string_view systemPath) const;

  // Whole contents of the file at a system path; nullopt when it is missing,
  // a folder or unreadable.
  virtual std::optional<std::string> readFile(std::string_view systemPath) const;
  virtual bool exists(std::string_view systemPath) const;
  virtual bool isDirectory(std::string_view systemPath) const;
  // Names of a folder's entries, sorted; empty when it cannot be listed.
  virtual std::vector<std::string> listFolder(std::string_view systemPath) const;
  // The same entries with their kinds (a link is a link, not what it points
  // at), sorted by name.
  virtual std::vector<FolderEntry> listFolderEntries(std::string_view systemPath) const;
  // The kind of the path itself; a link at its end is not followed.
  virtual EntryKind entryKind(std::string_view systemPath) const;
  // The system path a symbolic link points at, one step only: an absolute
  // target is a system path (so it stays under the root), a relative one is
  // taken from the link's folder; "." and ".." are resolved. nullopt when
  // the path is not a link.
  virtual std::optional<std::string> linkTarget(std::string_view systemPath) const;

  // Takes the root's exclusive lock without waiting: one repair at a time
  // changes a system. It is held until the returned object goes (or the
  // process ends). nullptr when another holder has it (busy is then true) or
  // it cannot be taken (why says then).
  virtual std::unique_ptr<PlatformLock> tryLockRoot(bool& busy, std::string* why = nullptr);

  // Runs the tool at a system path with exactly these arguments, standard
  // output captured (never blocking on a full pipe), standard input and
  // standard error inherited; waits for it to exit. The tool runs in a
  // process group of its own: past its time limit (toolSeconds) or past the
  // output cap the whole group is killed and what it printed so far is the
  // answer. Reading ends when the tool has exited, even when a process it
  // left behind still holds its output open; what it left in its group is
  // killed then too. A tool that timed out is not
  // started again until forgetUnansweredTools; nothing is started after
  // stopTools. Never throws.
  virtual ToolRun runTool(std::string_view systemPath, const std::vector<std::string>& args);

  // runTool with another time limit (the privileged steps' 30 seconds).
  ToolRun runToolWithin(double seconds, std::string_view systemPath, const std::vector<std::string>& args);

  // The system paths of the tools that did not answer (timed out, or were
  // skipped for having timed out before), in order, since the last call.
  std::vector<std::string> takeUnansweredTools();
  // A new check: tools that timed out may be run again.
  void forgetUnansweredTools();

  // Kills the running tool and makes every later tool run and pause return
  // at once: the program is quitting. Safe from any thread.
  void stopTools();
  bool toolsStopped() const { return toolsStopped_.load(); }

  // Called about ten times a second, on the waiting thread, while a tool
  // runs, with its system path and the seconds it has run. A window pumps
  // its events here so that it stays responsive.
  std::function<void(const std::string& tool, double seconds)> whileToolRuns;

  // The user's home folder as a system path.
  const std::string& homeFolder() const { return home_; }
  // The temporary folder as a host path.
  virtual std::string temporaryFolder() const;

  // Changing files. System paths are resolved under the root like reads;
  // the host-path variants act on host folders outside the captured system
  // (the temporary folder, a folder the user named). Each returns whether it
  // succeeded and, where asked, the system's reason; none throws.
  //
  // Replaces (or creates) a file all or nothing: a temporary file in the same
  // folder, flushed to disk, renamed over it (core/platform_files.h).
  virtual bool writeFile(std::string_view systemPath, std::string_view bytes);
  // Moves a path to another name; replaces a file there, never a folder.
  virtual bool renamePath(std::string_view fromSystemPath, std::string_view toSystemPath);
  // Removes a file, link or whole folder tree; true when nothing is left.
  virtual bool removeTree(std::string_view systemPath);
  // Copies a file or folder tree to a path that does not exist yet.
  virtual bool copyTree(std::string_view fromSystemPath, std::string_view toSystemPath);

  virtual std::optional<std::string> readHostFile(const std::string& hostPath) const;
  virtual bool writeHostFile(const std::string& hostPath, std::string_view bytes, unsigned mode = 0644,
                             std::string* why = nullptr);
  virtual bool makeHostFolders(const std::string& hostPath, std::string* why = nullptr);
  // A new folder of mode 0700 inside parent, named prefix + six random
  // characters; its host path.
  virtual std::optional<std::string> makePrivateHostFolder(const std::string& parent, std::string_view prefix,
                                                           std::string* why = nullptr);
  virtual bool removeHostFile(const std::string& hostPath);
  // Removes an empty folder.
  virtual bool removeHostFolder(const std::string& hostPath);
  // Removes a file, link or whole folder tree; true when nothing is left.
  virtual bool removeHostTree(const std::string& hostPath);

  // Starts the program at a host path (one of the program's own, not a
  // system tool) with the arguments, and waits for it: its exit status, -1
  // when it could not be started or did not exit normally.
  virtual int launchProgram(const std::string& hostPath, const std::vector<std::string>& args = {});

  // Writes a text to the system log (and to the log sink, when one is set).
  // Only the fixed texts of the accounts database, the repair's changes and
  // the processor query go there.
  virtual void log(std::string_view text) const;
  // Writes a text to the verbose log only (the log sink: --verbose and the
  // tests), never to the system log: the program's own explanations.
  virtual void verboseLog(std::string_view text) const;
  // Pauses for the given seconds, unless pauses are switched off.
  virtual void pause(double seconds);
  // The system's clock: seconds since 1970 in UTC. What reports and backup
  // names are stamped with.
  virtual std::time_t now() const;
  bool pausesEnabled() const { return options_.pauses; }

  // Size and free space of the file system holding a system path: from the
  // root's recorded volumes when it has them, else from the host's file system
  // under the root.
  virtual DiskFigures diskFigures(std::string_view systemPath) const;

  // The volumes a root recorded, read once (readRecordedVolumes). nullopt
  // when the root is "/" or has none: the host's file system answers then.
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

 protected:
  // The volumes recordedVolumes answers: the output of the root's own
  // /bin/df -k for a system folder that has one.
  virtual std::optional<std::vector<RecordedVolume>> readRecordedVolumes() const;

 private:
  // Tool runs (platform_tools.cpp). A tool that timed out earlier in this
  // check is not waited for again: true, and it is named as unanswered.
  bool didNotAnswerBefore(const std::string& tool);
  // Reads the tool's output and error until it exits, the time limit, the
  // output cap or stopTools; true when it exited (status then holds how).
  bool readWhileToolRuns(const std::string& tool, int pid, int outFd, int errFd, ToolRun& run, std::string& output,
                         int& status);
  // Logs a time-out or a capped output, and remembers the tool that timed out.
  void noteToolEnd(const std::string& tool, const ToolRun& run);

  PlatformOptions options_;
  std::string root_;
  std::string home_;
  mutable std::optional<Value> productVersion_;

  double toolSeconds_;
  std::atomic<bool> toolsStopped_{false};
  std::atomic<int> runningGroup_{0};
  std::mutex unansweredMutex_;
  std::set<std::string> timedOutTools_;
  std::vector<std::string> unanswered_;
  mutable bool volumesRead_ = false;
  mutable std::optional<std::vector<RecordedVolume>> recordedVolumes_;
  mutable std::once_flag syslogOpened_;
};

}  // namespace corvane

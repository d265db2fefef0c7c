#pragma once
// A platform whose system lives in memory: files, folders and links, tools
// that are callables, fixed disk figures, a home folder, and the log texts
// kept for the test to read. Nothing touches the host's files, so a test
// needs no temporary folder and leaves nothing behind.
//
// Paths are kept as host paths, like the real platform's: a system path is
// mapped under the root ("/memory/root"), and the temporary folder
// ("/memory/tmp") is a host folder outside it, as on the real system. Links
// resolve as the real platform resolves them under its root: an absolute
// target is a system path, ".." never climbs above the root, at most 40
// links are followed; nothing under the root leads out of it.

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/platform.h"
#include "core/text.h"

namespace corvane::testing {

class MemoryPlatform : public Platform {
 public:
  using Tool = std::function<ToolRun(const std::vector<std::string>& args)>;
  using Program = std::function<int(const std::vector<std::string>& args)>;

  static constexpr std::string_view kRoot = "/memory/root";
  static constexpr std::string_view kTemporary = "/memory/tmp";

  explicit MemoryPlatform(std::string home = "/Users/user")
      : Platform({.root = std::string(kRoot), .home = std::move(home), .pauses = false, .syslog = false}) {
    makeFolderChain(std::string(kRoot));
    makeFolderChain(std::string(kTemporary));
    logSink = [this](const std::string& text) { logged.push_back(text); };
  }
  // Defined in memory_platform.cpp, so that the class's virtual functions
  // are compiled there once rather than in every test that uses it.
  ~MemoryPlatform() override;

  // ---- setting up the system (system paths; parents are made) ----------------

  void put(std::string_view systemPath, std::string_view bytes) { putHost(hostPath(systemPath), bytes); }
  void putHost(const std::string& host, std::string_view bytes) {
    makeFolderChain(parentOf(host));
    entries_[host] = Entry{EntryKind::file, std::string(bytes)};
  }
  void makeFolder(std::string_view systemPath) { makeFolderChain(hostPath(systemPath)); }
  // A symbolic link at systemPath holding target as written.
  void putLink(std::string_view systemPath, std::string_view target) {
    const std::string host = hostPath(systemPath);
    makeFolderChain(parentOf(host));
    entries_[host] = Entry{EntryKind::link, std::string(target)};
  }
  void remove(std::string_view systemPath) { removeHostTree(hostPath(systemPath)); }
  // The tool at systemPath answers with what the callable returns; it counts as a file.
  void putTool(std::string_view systemPath, Tool tool) {
    put(systemPath, "#!tool\n");
    tools_[cleanKey(std::string(systemPath))] = std::move(tool);
  }
  // A tool that prints output and exits with status.
  void putTool(std::string_view systemPath, std::string output, int status = 0) {
    putTool(systemPath, [output = std::move(output), status](const std::vector<std::string>&) {
      ToolRun run;
      run.output = output;
      run.exitStatus = status;
      run.started = true;
      return run;
    });
  }
  // A program started by launchProgram (a host path, one of the program's own).
  void putProgram(const std::string& host, Program program) { programs_[host] = std::move(program); }
  void setDiskFigures(DiskFigures figures) { disk_ = figures; }
  // The clock stands still, at 2026-12-10 16:05:00 UTC unless set.
  std::time_t clock = 1796918700;
  // Every later write, new folder and private folder at or under a host
  // folder fails with reason, as on a full disk ("No space left on device")
  // or in a folder the program may not write ("Permission denied").
  void refuseWritesUnder(const std::string& host, std::string reason) {
    refused_ = {cleanKey(host), std::move(reason)};
  }

  // ---- looking at it afterwards ----------------------------------------------

  // The bytes at a system path, "" when there is no file.
  std::string read(std::string_view systemPath) const { return readFile(systemPath).value_or(""); }
  std::string readHost(const std::string& host) const { return readHostFile(host).value_or(""); }
  // The permission bits a file or folder was made with (files 0644 unless
  // written with another mode, folders 0755, private folders 0700); 0 when
  // nothing is there.
  unsigned hostMode(const std::string& host) const {
    const auto found = entries_.find(cleanKey(host));
    return found == entries_.end() ? 0 : found->second.mode;
  }
  // Every host path under a host folder, sorted; files, folders and links.
  std::vector<std::string> hostPathsUnder(const std::string& folder) const {
    std::vector<std::string> found;
    const std::string prefix = folder + "/";
    for (auto it = entries_.lower_bound(prefix); it != entries_.end() && it->first.starts_with(prefix); ++it)
      found.push_back(it->first);
    return found;
  }
  // The tool runs in order: the tool's system path, then its arguments, space separated.
  std::vector<std::string> toolRuns;
  // The system paths whose disk figures were asked for, in order.
  mutable std::vector<std::string> diskQuestions;
  std::vector<std::string> logged;
  mutable std::vector<std::string> systemLogged;

  // ---- the platform ------------------------------------------------------------

  std::optional<std::string> readFile(std::string_view systemPath) const override {
    return readHostFile(hostPath(systemPath));
  }
  bool exists(std::string_view systemPath) const override { return followed(hostPath(systemPath)) != nullptr; }
  bool isDirectory(std::string_view systemPath) const override {
    const Entry* entry = followed(hostPath(systemPath));
    return entry && entry->kind == EntryKind::folder;
  }
  std::vector<std::string> listFolder(std::string_view systemPath) const override {
    std::vector<std::string> names;
    for (const auto& entry : listFolderEntries(systemPath)) names.push_back(entry.name);
    return names;
  }
  std::vector<FolderEntry> listFolderEntries(std::string_view systemPath) const override {
    std::vector<FolderEntry> found;
    const std::optional<std::string> folder = resolved(hostPath(systemPath));
    if (!folder || !isFolder(*folder)) return found;
    const std::string prefix = *folder == "/" ? "/" : *folder + "/";
    for (auto it = entries_.lower_bound(prefix); it != entries_.end() && it->first.starts_with(prefix); ++it) {
      const std::string rest = it->first.substr(prefix.size());
      if (!rest.empty() && rest.find('/') == std::string::npos) found.push_back({rest, it->second.kind});
    }
    return found;
  }
  EntryKind entryKind(std::string_view systemPath) const override {
    const std::optional<std::string> path = resolved(hostPath(systemPath), false);
    if (!path) return EntryKind::missing;
    const auto found = entries_.find(*path);
    return found != entries_.end() ? found->second.kind : *path == "/" ? EntryKind::folder : EntryKind::missing;
  }
  std::optional<std::string> linkTarget(std::string_view systemPath) const override {
    const std::optional<std::string> path = resolved(hostPath(systemPath), false);
    const auto found = path ? entries_.find(*path) : entries_.end();
    if (found == entries_.end() || found->second.kind != EntryKind::link || found->second.bytes.empty())
      return std::nullopt;
    // A relative target is taken from the folder the link is really in.
    std::string target = found->second.bytes;
    if (target.front() != '/') target = parentOf(path->substr(root().size())) + "/" + target;
    return cleanKey(target);
  }

  ToolRun runTool(std::string_view systemPath, const std::vector<std::string>& args) override {
    std::string line(systemPath);
    for (const auto& arg : args) line += " " + arg;
    toolRuns.push_back(line);
    const auto found = tools_.find(cleanKey(std::string(systemPath)));
    if (toolsStopped() || found == tools_.end() || !exists(systemPath)) return {};
    return found->second(args);
  }

  std::string temporaryFolder() const override { return std::string(kTemporary); }
  void log(std::string_view text) const override {
    systemLogged.emplace_back(text);
    Platform::log(text);
  }
  void pause(double) override {}
  std::time_t now() const override { return clock; }
  DiskFigures diskFigures(std::string_view systemPath) const override {
    diskQuestions.emplace_back(systemPath);
    return disk_;
  }

  // Writes act on the name in its folder as resolved under the root; a link
  // at the name itself is replaced, not followed.
  bool writeFile(std::string_view systemPath, std::string_view bytes) override {
    const std::optional<std::string> at = placed(systemPath);
    return at && writeHostFile(*at, bytes);
  }
  bool renamePath(std::string_view from, std::string_view to) override {
    const std::optional<std::string> source = placed(from), target = placed(to);
    return source && target && renameHost(*source, *target);
  }
  bool removeTree(std::string_view systemPath) override {
    const std::optional<std::string> at = placed(systemPath);
    return !at || removeHostTree(*at);
  }
  bool copyTree(std::string_view from, std::string_view to) override {
    const std::optional<std::string> resolvedSource = resolved(hostPath(from)), placedTarget = placed(to);
    if (!resolvedSource || !placedTarget) return false;
    const std::string source = *resolvedSource, target = *placedTarget;
    if (!entries_.count(source) || entries_.count(target) || !isFolder(parentOf(target))) return false;
    std::vector<std::pair<std::string, Entry>> copies{{target, entries_.at(source)}};
    for (const auto& path : hostPathsUnder(source))
      copies.emplace_back(target + path.substr(source.size()), entries_.at(path));
    for (auto& [path, entry] : copies) entries_[path] = std::move(entry);
    return true;
  }

  std::optional<std::string> readHostFile(const std::string& host) const override {
    const Entry* entry = followed(host);
    if (!entry || entry->kind != EntryKind::file) return std::nullopt;
    return entry->bytes;
  }
  bool writeHostFile(const std::string& host, std::string_view bytes, unsigned mode = 0644,
                     std::string* why = nullptr) override {
    const std::string path = cleanKey(host);
    if (refusedWrite(path, "cannot write " + host, why)) return false;
    const auto found = entries_.find(path);
    if (!isFolder(parentOf(path)) || (found != entries_.end() && found->second.kind == EntryKind::folder)) {
      if (why) *why = "cannot write " + host + ": no such folder";
      return false;
    }
    entries_[path] = Entry{EntryKind::file, std::string(bytes), mode};
    return true;
  }
  bool makeHostFolders(const std::string& host, std::string* why = nullptr) override {
    const std::string path = cleanKey(host);
    if (!isFolder(path) && refusedWrite(path, "cannot make " + host, why)) return false;
    for (std::string at = path; at != "/"; at = parentOf(at)) {
      const auto found = entries_.find(at);
      if (found != entries_.end() && found->second.kind != EntryKind::folder) {
        if (why) *why = "cannot make " + host + ": a file is in the way";
        return false;
      }
    }
    makeFolderChain(path);
    return true;
  }
  std::optional<std::string> makePrivateHostFolder(const std::string& parent, std::string_view prefix,
                                                   std::string* why = nullptr) override {
    if (!isFolder(cleanKey(parent))) {
      if (why) *why = "cannot make a private folder in " + parent + ": no such folder";
      return std::nullopt;
    }
    if (refusedWrite(cleanKey(parent) + "/", "cannot make a private folder in " + parent, why)) return std::nullopt;
    std::string folder;
    do folder = cleanKey(parent) + "/" + std::string(prefix) + std::to_string(++privateFolders_);
    while (entries_.count(folder));
    entries_[folder] = Entry{EntryKind::folder, {}, 0700};
    return folder;
  }
  bool removeHostFile(const std::string& host) override {
    const auto found = entries_.find(cleanKey(host));
    if (found == entries_.end() || found->second.kind == EntryKind::folder) return false;
    entries_.erase(found);
    return true;
  }
  bool removeHostFolder(const std::string& host) override {
    const std::string path = cleanKey(host);
    if (!isFolder(path) || !hostPathsUnder(path).empty()) return false;
    entries_.erase(path);
    return true;
  }
  int launchProgram(const std::string& host, const std::vector<std::string>& args = {}) override {
    launched.push_back(host);
    const auto found = programs_.find(host);
    return found == programs_.end() ? -1 : found->second(args);
  }
  std::vector<std::string> launched;

  // The root's lock: tryLockRoot finds it busy while one it gave is alive,
  // or while another process is said to hold it.
  bool rootLockedElsewhere = false;
  bool rootLocked() const { return *rootLocked_; }
  std::unique_ptr<PlatformLock> tryLockRoot(bool& busy, std::string* why = nullptr) override {
    busy = rootLockedElsewhere || *rootLocked_;
    if (busy) {
      if (why) *why = "the root's lock is held";
      return nullptr;
    }
    return std::make_unique<HeldLock>(rootLocked_);
  }

 private:
  class HeldLock : public PlatformLock {
   public:
    explicit HeldLock(std::shared_ptr<bool> held) : held_(std::move(held)) { *held_ = true; }
    ~HeldLock() override { *held_ = false; }

   private:
    std::shared_ptr<bool> held_;
  };

  struct Entry {
    EntryKind kind = EntryKind::file;
    std::string bytes;  // a file's contents, a link's target
    unsigned mode = kind == EntryKind::folder ? 0755u : 0644u;
  };

  // A host path without "." / ".." and without a trailing slash.
  static std::string cleanKey(const std::string& path) {
    std::vector<std::string> parts;
    for (auto& piece : splitText(path, "/")) {
      if (piece.empty() || piece == ".") continue;
      if (piece == "..") {
        if (!parts.empty()) parts.pop_back();
      } else {
        parts.push_back(std::move(piece));
      }
    }
    std::string clean;
    for (const auto& part : parts) clean += "/" + part;
    return clean.empty() ? "/" : clean;
  }
  static std::string parentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
  }
  static std::string nameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }
  static std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
  }

  // Whether a write at path falls under refuseWritesUnder; says why then.
  bool refusedWrite(const std::string& path, const std::string& what, std::string* why) const {
    const auto& [folder, reason] = refused_;
    if (folder.empty() || (path != folder && !path.starts_with(folder + "/"))) return false;
    if (why) *why = what + ": " + reason;
    return true;
  }

  bool isFolder(const std::string& path) const {
    if (path == "/") return true;
    const auto found = entries_.find(path);
    return found != entries_.end() && found->second.kind == EntryKind::folder;
  }
  void makeFolderChain(const std::string& path) {
    for (std::string at = cleanKey(path); at != "/"; at = parentOf(at))
      entries_.try_emplace(at, Entry{EntryKind::folder, {}});
  }

  // The host path with every link on the way followed (the last one too
  // when followLast), or nullopt when a part is missing or more than 40
  // links are met. Under the root, ".." stays at the root and an absolute
  // target starts again there.
  std::optional<std::string> resolved(const std::string& host, bool followLast = true) const {
    const std::vector<std::string> rootParts = splitText(std::string(kRoot).substr(1), "/");
    std::vector<std::string> at;
    std::deque<std::string> pending;
    for (auto& piece : splitText(cleanKey(host), "/"))
      if (!piece.empty()) pending.push_back(std::move(piece));
    size_t floor = 0;
    if (pending.size() >= rootParts.size() && std::equal(rootParts.begin(), rootParts.end(), pending.begin())) {
      at = rootParts;
      floor = rootParts.size();
      pending.erase(pending.begin(), pending.begin() + static_cast<long>(floor));
    }
    int hops = 0;
    while (!pending.empty()) {
      const std::string name = std::move(pending.front());
      pending.pop_front();
      if (name == "." || name.empty()) continue;
      if (name == "..") {
        if (at.size() > floor) at.pop_back();
        continue;
      }
      std::string next;
      for (const auto& part : at) next += "/" + part;
      next += "/" + name;
      const auto found = entries_.find(next);
      if (found == entries_.end()) return std::nullopt;
      if (found->second.kind == EntryKind::link && (followLast || !pending.empty())) {
        if (++hops > 40 || found->second.bytes.empty()) return std::nullopt;
        const std::string& target = found->second.bytes;
        if (target.starts_with("/")) {
          at = rootParts;
          floor = rootParts.size();
        }
        const std::vector<std::string> parts = splitText(target, "/");
        pending.insert(pending.begin(), parts.begin(), parts.end());
        continue;
      }
      at.push_back(name);
    }
    std::string path;
    for (const auto& part : at) path += "/" + part;
    return path.empty() ? "/" : path;
  }
  // The host path of a system path's name in its folder as resolved under
  // the root; nullopt when the folder is missing.
  std::optional<std::string> placed(std::string_view systemPath) const {
    const std::string host = hostPath(systemPath);
    const std::optional<std::string> folder = resolved(parentOf(host));
    if (!folder) return std::nullopt;
    return joined(*folder, nameOf(host));
  }
  const Entry* followed(const std::string& host) const {
    static const Entry root{EntryKind::folder, {}};
    const std::optional<std::string> path = resolved(host);
    if (!path) return nullptr;
    if (*path == "/") return &root;
    const auto found = entries_.find(*path);
    return found == entries_.end() ? nullptr : &found->second;
  }
  bool renameHost(const std::string& from, const std::string& to) {
    const std::string source = cleanKey(from), target = cleanKey(to);
    const auto found = entries_.find(source);
    if (found == entries_.end() || !isFolder(parentOf(target))) return false;
    const auto there = entries_.find(target);
    // A rename replaces a file, never a folder that holds something.
    if (there != entries_.end() && there->second.kind == EntryKind::folder &&
        (found->second.kind != EntryKind::folder || !hostPathsUnder(target).empty()))
      return false;
    std::vector<std::pair<std::string, Entry>> moved{{target, found->second}};
    for (const auto& path : hostPathsUnder(source))
      moved.emplace_back(target + path.substr(source.size()), entries_.at(path));
    removeHostTree(source);
    for (auto& [path, entry] : moved) entries_[path] = std::move(entry);
    return true;
  }
  bool removeHostTree(const std::string& host) override {
    const std::string path = cleanKey(host);
    for (const auto& under : hostPathsUnder(path)) entries_.erase(under);
    entries_.erase(path);
    return true;
  }

  std::map<std::string, Entry> entries_;
  std::map<std::string, Tool> tools_;
  std::map<std::string, Program> programs_;
  DiskFigures disk_{.totalBytes = 270550000000, .freeBytes = 78490000000, .known = true};
  int privateFolders_ = 0;
  std::shared_ptr<bool> rootLocked_ = std::make_shared<bool>(false);
  std::pair<std::string, std::string> refused_;  // folder, reason
};

}  // namespace corvane::testing

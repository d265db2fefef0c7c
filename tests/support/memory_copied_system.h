#pragma once
// A captured system from testdata/sysroots loaded into memory, with tools
// that act on it as the captured ones do on a copy on disk.

#include <string>
#include <vector>

#include "support/memory_platform.h"

namespace corvane::testing {

// A captured system loaded into memory, and the platform on it. Its tools do
// in memory what the captured scripts do on disk: a tool whose script prints
// a recorded here-document prints it; cp, mv, mkdir, cat and rm do their job
// on the files (destinations are file paths, as the repair gives them);
// chown, kill, scselect and ipconfigd only record. Each run is recorded in
// the form of the copied system's tool log.
class MemoryCopiedSystem : public MemoryPlatform {
 public:
  explicit MemoryCopiedSystem(const std::string& name);
  ~MemoryCopiedSystem() override;

  // The tool runs recorded, one line each ("cp -p ROOT/... TMP/..."): the
  // root shortened to "ROOT", the temporary folder to "TMP".
  std::vector<std::string> toolLog() const;
  // Replaces a tool with one that records "broken ..." and fails.
  void breakTool(const std::string& systemPath);
  // What the host's own tool of that name does to the files in memory,
  // unrecorded; for tests that put their own tools together.
  ToolRun act(const std::string& name, const std::vector<std::string>& args);

  std::string temporaryFolder() const override { return temporary_; }
  void setTemporaryFolder(std::string folder) { temporary_ = std::move(folder); }
  // Whether the in-memory temporary folder holds nothing.
  bool temporaryFolderIsEmpty() const { return hostPathsUnder(std::string(kTemporary)).empty(); }

 private:
  void record(const std::string& name, const std::vector<std::string>& args);
  std::vector<std::string> toolLines_;
  std::string temporary_{kTemporary};
};

}  // namespace corvane::testing

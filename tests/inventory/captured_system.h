#pragma once
// A captured system from testdata/sysroots, either in memory (for the
// readers of files and tools) or copied into a throw-away folder with its
// accounts databases built from their SQL (SQLite opens only real files).

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/platform.h"
#include "inventory/accounts_db_maker.h"
#include "support/captured_sysroot.h"
#include "support/memory_platform.h"
#include "support/sysroot_path.h"
#include "support/temp_folder.h"

namespace corvane::testing {

// The captured system in memory, where tests may change it freely: its
// files, folders and links as they are, and each tool (a script printing a
// recorded here-document) as a tool printing that record, whatever its
// arguments. Its accounts databases are not built.
class CapturedMemorySystem : public MemoryPlatform {
 public:
  explicit CapturedMemorySystem(const std::string& name);
  ~CapturedMemorySystem() override;
};

class CapturedSystem {
 public:
  explicit CapturedSystem(const std::string& name) {
    std::filesystem::copy(testing::sysrootPath(name), folder_.path(), std::filesystem::copy_options::recursive);
    std::string error = makeAccountsDatabasesBelow(folder_.path());
    EXPECT_EQ(error, "");
  }

  const std::string& root() const { return folder_.path(); }
  std::string hostPath(const std::string& systemPath) const { return root() + systemPath; }

  // A platform on this system whose log texts are collected in logs(), and
  // those meant for the system log also in systemLogs().
  std::unique_ptr<Platform> platform() {
    auto platform = std::make_unique<RecordingPlatform>(
        PlatformOptions{.root = root(), .home = "/Users/user", .pauses = false, .syslog = false}, systemLogs_);
    platform->logSink = [this](const std::string& text) { logs_.push_back(text); };
    return platform;
  }

  std::string write(const std::string& systemPath, std::string_view bytes, bool executable = false) const {
    return folder_.write(systemPath.substr(1), bytes, executable);
  }
  void remove(const std::string& systemPath) const { std::filesystem::remove_all(hostPath(systemPath)); }
  // The file's bytes; a folder reads as "(folder)".
  std::string read(const std::string& systemPath) const {
    if (std::filesystem::is_directory(hostPath(systemPath))) return "(folder)";
    return readHostFile(hostPath(systemPath));
  }

  const std::vector<std::string>& logs() const { return logs_; }
  const std::vector<std::string>& systemLogs() const { return systemLogs_; }
  void clearLogs() {
    logs_.clear();
    systemLogs_.clear();
  }

 private:
  class RecordingPlatform : public Platform {
   public:
    RecordingPlatform(PlatformOptions options, std::vector<std::string>& systemLogs)
        : Platform(std::move(options)), systemLogs_(systemLogs) {}
    void log(std::string_view text) const override {
      systemLogs_.emplace_back(text);
      Platform::log(text);
    }

   private:
    std::vector<std::string>& systemLogs_;
  };

  TempFolder folder_;
  std::vector<std::string> logs_;
  std::vector<std::string> systemLogs_;
};

}  // namespace corvane::testing

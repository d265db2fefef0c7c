#pragma once
// A captured system from testdata/sysroots, copied into a throw-away folder
// (so tests may change it) with its accounts databases built from their SQL.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/platform.h"
#include "inventory/accounts_db_maker.h"
#include "support/temp_folder.h"

namespace corvane::testing {

class CapturedSystem {
 public:
  explicit CapturedSystem(const std::string& name) {
    std::filesystem::copy(std::string(CORVANE_TESTDATA) + "/sysroots/" + name, folder_.path(),
                          std::filesystem::copy_options::recursive);
    std::string error = makeAccountsDatabasesBelow(folder_.path());
    EXPECT_EQ(error, "");
  }

  const std::string& root() const { return folder_.path(); }
  std::string hostPath(const std::string& systemPath) const { return root() + systemPath; }

  // A platform on this system whose log texts are collected in logs().
  std::unique_ptr<Platform> platform() {
    auto platform = std::make_unique<Platform>(
        PlatformOptions{.root = root(), .home = "/Users/user", .pauses = false, .syslog = false});
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
  void clearLogs() { logs_.clear(); }

 private:
  TempFolder folder_;
  std::vector<std::string> logs_;
};

}  // namespace corvane::testing

#pragma once
// Real platforms for tests that run on a system root in a host folder (the
// captured tools must really run, or the command-line program reads the same
// folder). Tests that need no real files use support/memory_platform.h.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/platform.h"

namespace corvane::testing {

// No pauses, no system log, home /Users/user.
inline PlatformOptions platformOptionsFor(const std::string& root) {
  return PlatformOptions{.root = root, .home = "/Users/user", .pauses = false, .syslog = false};
}

// A platform whose temporary folder is a throw-away one, so that what the
// tests make there goes with it, and whose log texts are kept.
class TestPlatform : public Platform {
 public:
  TestPlatform(PlatformOptions options, std::string temporary)
      : Platform(std::move(options)), temporary_(std::move(temporary)) {
    logSink = [this](const std::string& text) { logged.push_back(text); };
  }
  // A copied system: anything with the host folders root() and tmp().
  template <class System>
  explicit TestPlatform(const System& system) : TestPlatform(platformOptionsFor(system.root()), system.tmp()) {}
  ~TestPlatform() override;  // in test_platforms.cpp, with the class's virtual functions

  std::string temporaryFolder() const override { return temporary_; }
  void setTemporaryFolder(std::string folder) { temporary_ = std::move(folder); }
  void log(std::string_view text) const override {
    systemLogged.emplace_back(text);
    Platform::log(text);
  }
  std::vector<std::string> logged;
  // The texts among logged that are meant for the system log.
  mutable std::vector<std::string> systemLogged;

 private:
  std::string temporary_;
};

// The captured system's files and tools, with disk figures that stay put
// (the host's own free space changes while the tests run). asked is the
// path of the last question.
class FixedDiskPlatform : public Platform {
 public:
  explicit FixedDiskPlatform(PlatformOptions options, DiskFigures figures = {.totalBytes = 270550000000,
                                                                             .freeBytes = 78490000000,
                                                                             .known = true})
      : Platform(std::move(options)), figures_(figures) {}
  ~FixedDiskPlatform() override;  // in test_platforms.cpp, with the class's virtual functions
  DiskFigures diskFigures(std::string_view systemPath) const override {
    asked = std::string(systemPath);
    return figures_;
  }
  mutable std::string asked;

 private:
  DiskFigures figures_;
};

}  // namespace corvane::testing

#pragma once
// A throw-away system root for the fuzz targets that read files: made once
// per process, rewritten by each input, removed when the process ends.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/platform.h"
#include "support/temp_folder.h"

namespace corvane::fuzzing {

inline constexpr std::string_view kSystemVersionPath = "/System/Library/CoreServices/SystemVersion.plist";

// The system version file of an OS version.
inline std::string systemVersionPlist(const std::string& version) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
         "<key>ProductVersion</key><string>" +
         version + "</string></dict></plist>\n";
}

class FuzzRoot {
 public:
  // A root holding the system version file of the given OS version.
  explicit FuzzRoot(const std::string& version) {
    write(kSystemVersionPath, systemVersionPlist(version));
    folder_.write("tmp/.keep", "");
  }
  const std::string& path() const { return folder_.path(); }
  std::string tmp() const { return folder_.path() + "/tmp"; }
  // Writes bytes at a system path inside the root; the host path.
  std::string write(std::string_view systemPath, std::string_view bytes) const {
    return folder_.write(systemPath.substr(systemPath.starts_with("/") ? 1 : 0), bytes);
  }
  PlatformOptions options() const { return {.root = path(), .home = "/Users/user", .pauses = false, .syslog = false}; }

 private:
  testing::TempFolder folder_;
};

// A platform inside a FuzzRoot whose temporary folder lies inside it and
// whose log goes nowhere.
class FuzzPlatform : public Platform {
 public:
  explicit FuzzPlatform(const FuzzRoot& root) : Platform(root.options()), tmp_(root.tmp()) {
    logSink = [](const std::string&) {};
  }
  std::string temporaryFolder() const override { return tmp_; }

 private:
  std::string tmp_;
};

inline std::string_view bytesOf(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace corvane::fuzzing

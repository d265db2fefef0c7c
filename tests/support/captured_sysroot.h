#pragma once
// Loads a captured system from testdata/sysroots into a MemoryPlatform, so
// that tests can read and change it freely without a temporary folder.

#include <filesystem>
#include <functional>
#include <string>

#include "support/memory_platform.h"
#include "support/temp_folder.h"

namespace corvane::testing {

// Called for each executable file (a captured tool is a script) with its
// system path and text; it decides which callable stands in for the tool.
using PutCapturedTool = std::function<void(const std::string& systemPath, const std::string& script)>;

// Puts the files, folders and links of testdata/sysroots/<name> into
// platform at their system paths, each executable file through putTool.
inline void loadSysroot(MemoryPlatform& platform, const std::string& name, const PutCapturedTool& putTool) {
  const std::filesystem::path top = std::string(CORVANE_TESTDATA) + "/sysroots/" + name;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(top)) {
    const std::string systemPath = "/" + entry.path().lexically_relative(top).generic_string();
    if (entry.is_symlink()) {
      platform.putLink(systemPath, std::filesystem::read_symlink(entry.path()).string());
    } else if (entry.is_directory()) {
      platform.makeFolder(systemPath);
    } else {
      const std::string bytes = ::corvane::testing::readHostFile(entry.path().string());
      const auto permissions = std::filesystem::status(entry.path()).permissions();
      if ((permissions & std::filesystem::perms::owner_exec) != std::filesystem::perms::none)
        putTool(systemPath, bytes);
      else
        platform.put(systemPath, bytes);
    }
  }
}

}  // namespace corvane::testing

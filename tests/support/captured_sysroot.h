#pragma once
// Loads a captured system from testdata/sysroots into a MemoryPlatform, so
// that tests can read and change it freely without a temporary folder.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "support/memory_platform.h"
#include "support/sysroot_path.h"
#include "support/temp_folder.h"

namespace corvane::testing {

// Called for each executable file (a captured tool is a script) with its
// system path and text; it decides which callable stands in for the tool.
using PutCapturedTool = std::function<void(const std::string& systemPath, const std::string& script)>;

// Puts the files, folders and links of testdata/sysroots/<name> into
// platform at their system paths, each executable file through putTool.
inline void loadSysroot(MemoryPlatform& platform, const std::string& name, const PutCapturedTool& putTool) {
  const std::filesystem::path top = sysrootPath(name);
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

// What a captured tool prints: the lines of the here-document its script
// prints ("cat <<'EOF'" up to the closing "EOF", whatever the word); nullopt
// for a script that prints none.
inline std::optional<std::string> recordedOutput(const std::string& script) {
  const std::string opening = "cat <<'";
  const size_t from = script.find(opening);
  if (from == std::string::npos) return std::nullopt;
  const size_t wordEnd = script.find("'\n", from + opening.size());
  if (wordEnd == std::string::npos) return std::nullopt;
  const std::string word = script.substr(from + opening.size(), wordEnd - from - opening.size());
  const size_t begin = wordEnd + 2;
  const size_t closing = script.find("\n" + word + "\n", begin - 1);
  if (closing == std::string::npos) return std::nullopt;
  return script.substr(begin, closing + 1 - begin);
}

}  // namespace corvane::testing

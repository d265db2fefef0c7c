#pragma once
// What the capture tests share: the capture script, the captured systems and
// the one way they run a program (corvane-cli, the script, a kit's scripts).

#include <string>
#include <vector>

#include "support/cli_runner.h"

namespace corvane::testing {

inline const std::string kCapture = std::string(CORVANE_SOURCE_DIR) + "/scripts/corvane-capture";
inline const std::string kSysroots = std::string(CORVANE_TESTDATA) + "/sysroots";

// Runs args[0] (a path, or a tool found on the PATH) with the rest as its
// arguments.
inline CliRun invoke(const std::vector<std::string>& args) {
  return runProgram(args.front(), std::vector<std::string>(args.begin() + 1, args.end()));
}

}  // namespace corvane::testing

#pragma once
// One privileged tool run of the repair, with its outcome as a value.

#include <string>
#include <string_view>
#include <vector>

#include "core/authorizer.h"
#include "core/platform.h"

namespace corvane {

// Arguments are handed to the privileged tools in buffers of 4096 bytes.
inline constexpr size_t kMaxArgumentBytes = 4095;

// The outcome of a step: failure is empty on success; path names what the
// step made, when it made something.
struct StepResult {
  std::string failure;
  std::string path;
  bool ok() const { return failure.empty(); }
};

// True when no argument is longer than kMaxArgumentBytes.
bool argumentsFit(const std::vector<std::string>& args);

// Runs the tool (a system path) with administrator rights. Succeeds only when
// the tool started and exited with status 0; refuses arguments that do not fit.
StepResult runPrivilegedStep(Authorizer& authorizer, std::string_view tool, const std::vector<std::string>& args);

// The privileged tools (mkdir, cp, mv, rm) follow links on the host paths
// they are given, so every system path they touch is looked at first, one
// component at a time without following links.
//
// "" when no component of the system path is a symbolic link, else the
// refusal, naming the first link.
std::string linkOnPath(const Platform& platform, std::string_view systemPath);

// runPrivilegedStep with the arguments followed by the host paths of the
// system paths; refused, the tool not run, when one of them holds a link.
StepResult runStepOnPaths(Platform& platform, Authorizer& authorizer, std::string_view tool,
                          std::vector<std::string> args, const std::vector<std::string>& systemPaths);

// Makes a folder and its missing parents one level at a time (mkdir without
// -p), each refused when a link is on its path and checked to be a folder
// after; nothing is made through a link. (mkdir -p: a folder made meanwhile
// is no failure.)
StepResult makeFoldersStepwise(Platform& platform, Authorizer& authorizer, std::string_view systemFolder);

}  // namespace corvane

#pragma once
// One privileged tool run of the repair, with its outcome as a value.

#include <string>
#include <string_view>
#include <vector>

#include "core/authorizer.h"

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

}  // namespace corvane

#include "repair/privileged_step.h"

namespace corvane {

bool argumentsFit(const std::vector<std::string>& args) {
  for (const auto& a : args)
    if (a.size() > kMaxArgumentBytes) return false;
  return true;
}

StepResult runPrivilegedStep(Authorizer& authorizer, std::string_view tool, const std::vector<std::string>& args) {
  StepResult result;
  if (!argumentsFit(args)) {
    result.failure = std::string(tool) + ": an argument is longer than 4095 bytes";
    return result;
  }
  const ToolRun run = authorizer.runPrivileged(tool, args);
  if (run.timedOut)
    result.failure = std::string(tool) + " did not answer within its time limit and was stopped";
  else if (!run.started)
    result.failure = std::string(tool) + " could not be run with administrator rights";
  else if (run.exitStatus != 0)
    result.failure = std::string(tool) + " failed (exit status " + std::to_string(run.exitStatus) + ")";
  if (!result.ok() && !run.errorOutput.empty()) {
    // The tool's own words, on one line, say best what went wrong.
    std::string said = run.errorOutput.substr(0, 500);
    for (char& c : said)
      if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    const size_t first = said.find_first_not_of(' ');
    if (first != std::string::npos) result.failure += ": " + said.substr(first, said.find_last_not_of(' ') - first + 1);
  }
  return result;
}

}  // namespace corvane

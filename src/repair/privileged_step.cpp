#include "repair/privileged_step.h"

#include "core/text.h"

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

namespace {

// The path's prefixes from the top: "/a", "/a/b", "/a/b/c".
std::vector<std::string> prefixesOf(std::string_view systemPath) {
  std::vector<std::string> prefixes;
  std::string at;
  for (const auto& part : splitText(systemPath, "/")) {
    if (part.empty() || part == ".") continue;
    at += "/" + part;
    prefixes.push_back(at);
  }
  return prefixes;
}

}  // namespace

std::string linkOnPath(const Platform& platform, std::string_view systemPath) {
  for (const auto& prefix : prefixesOf(systemPath)) {
    const EntryKind kind = platform.entryKind(prefix);
    if (kind == EntryKind::link) return prefix + " is a symbolic link; nothing was written through it";
    if (kind == EntryKind::missing) break;
  }
  return "";
}

StepResult runStepOnPaths(Platform& platform, Authorizer& authorizer, std::string_view tool,
                          std::vector<std::string> args, const std::vector<std::string>& systemPaths) {
  StepResult result;
  for (const auto& path : systemPaths) {
    result.failure = linkOnPath(platform, path);
    if (!result.ok()) return result;
    args.push_back(platform.hostPath(path));
  }
  return runPrivilegedStep(authorizer, tool, args);
}

StepResult makeFoldersStepwise(Platform& platform, Authorizer& authorizer, std::string_view systemFolder) {
  StepResult result;
  for (const auto& folder : prefixesOf(systemFolder)) {
    if (platform.entryKind(folder) == EntryKind::missing)
      result = runStepOnPaths(platform, authorizer, "/bin/mkdir", {"-p"}, {folder});
    // Made by another hand since, or in place before: only a folder will do.
    if (result.ok()) result.failure = linkOnPath(platform, folder);
    if (result.ok() && platform.entryKind(folder) != EntryKind::folder) result.failure = folder + " is not a folder";
    if (!result.ok()) return result;
  }
  return result;
}

}  // namespace corvane

#pragma once
// The one way the tests run corvane-cli: an argument vector, no shell, so that
// no path or argument is ever split or interpreted on its way.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "support/temp_folder.h"

extern char** environ;

namespace corvane::testing {

inline const std::string kCorvaneCli = std::string(CORVANE_BINARY_DIR) + "/src/cli/corvane-cli";

struct CliRunOptions {
  // What the program reads on standard input; nothing (/dev/null) by default.
  std::string input;
  // Variables set (or replaced) in the program's environment.
  std::map<std::string, std::string> environment;
  // Where standard output goes instead of being kept ("/dev/full": a disk
  // that is full); empty keeps it in CliRun::out.
  std::string outputFile;
};

struct CliRun {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string out, err;
  double seconds = 0;
  long peakKilobytes = 0;
};

// Runs the program at executable (a bare name is looked for on the PATH) with
// args and waits for it; its standard output and error are kept whole.
inline CliRun runProgram(const std::string& executable, const std::vector<std::string>& args,
                         const CliRunOptions& options = {}) {
  TempFolder streams;
  const std::string inPath = streams.write("stdin", options.input);
  const std::string outPath = streams.path() + "/stdout", errPath = streams.path() + "/stderr";

  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals != nullptr) variables[std::string(*entry, static_cast<std::size_t>(equals - *entry))] = equals + 1;
  }
  for (const auto& [name, value] : options.environment) variables[name] = value;
  std::vector<std::string> environment;
  for (const auto& [name, value] : variables) environment.push_back(name + "=" + value);

  std::vector<char*> argv{const_cast<char*>(executable.c_str())};
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (auto& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1,
                                   options.outputFile.empty() ? outPath.c_str() : options.outputFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

  CliRun run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  // A bare name is looked for on the PATH, as a shell would.
  const bool onPath = executable.find('/') == std::string::npos;
  const int spawned = onPath ? ::posix_spawnp(&pid, executable.c_str(), &actions, nullptr, argv.data(), envp.data())
                             : ::posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int raw = 0;
  rusage usage{};
  ::wait4(pid, &raw, 0, &usage);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakKilobytes = usage.ru_maxrss;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = readHostFile(outPath);
  run.err = readHostFile(errPath);
  return run;
}

// Two argument lists, one after the other.
inline std::vector<std::string> operator+(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

inline CliRun runCorvaneCli(const std::vector<std::string>& args, const CliRunOptions& options = {}) {
  return runProgram(kCorvaneCli, args, options);
}

}  // namespace corvane::testing

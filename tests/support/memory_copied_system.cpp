#include "support/memory_copied_system.h"

#include <gtest/gtest.h>

#include "support/captured_sysroot.h"

namespace corvane::testing {

namespace {

ToolRun finished(int status, std::string output = "", std::string errorOutput = "") {
  ToolRun run;
  run.started = true;
  run.exitStatus = status;
  run.output = std::move(output);
  run.errorOutput = std::move(errorOutput);
  return run;
}

// The name of the tool at a path: its last component.
std::string toolName(const std::string& systemPath) { return systemPath.substr(systemPath.rfind('/') + 1); }

// Whether args are exactly the option, then count operands.
bool takes(const std::vector<std::string>& args, const std::string& option, size_t count) {
  return args.size() == count + 1 && args[0] == option;
}

}  // namespace

MemoryCopiedSystem::MemoryCopiedSystem(const std::string& name) {
  loadSysroot(*this, name, [this](const std::string& systemPath, const std::string& script) {
    const std::string tool = toolName(systemPath);
    const std::optional<std::string> recorded = recordedOutput(script);
    putTool(systemPath, [this, tool, recorded](const std::vector<std::string>& args) {
      record(tool, args);
      return recorded ? finished(0, *recorded) : act(tool, args);
    });
  });
}

MemoryCopiedSystem::~MemoryCopiedSystem() = default;

void MemoryCopiedSystem::record(const std::string& name, const std::vector<std::string>& args) {
  std::string line = name + " ";
  for (size_t i = 0; i < args.size(); ++i) line += (i ? " " : "") + args[i];
  toolLines_.push_back(line);
}

std::vector<std::string> MemoryCopiedSystem::toolLog() const {
  std::vector<std::string> lines = toolLines_;
  for (auto& line : lines) {
    for (const std::string_view folder : {kRoot, kTemporary}) {
      const std::string shown = folder == kRoot ? "ROOT" : "TMP";
      for (size_t at; (at = line.find(folder)) != std::string::npos;) line.replace(at, folder.size(), shown);
    }
  }
  return lines;
}

void MemoryCopiedSystem::breakTool(const std::string& systemPath) {
  putTool(systemPath, [this](const std::vector<std::string>& args) {
    record("broken", args);
    return finished(1);
  });
}

ToolRun MemoryCopiedSystem::act(const std::string& name, const std::vector<std::string>& args) {
  if (name == "cp" || name == "mv") {
    if (!takes(args, name == "cp" ? "-p" : "-f", 2)) {
      ADD_FAILURE() << name << " run with arguments the repair never gives";
      return finished(64);
    }
    const std::optional<std::string> bytes = readHostFile(args[1]);
    if (!bytes) return finished(1, "", name + ": " + args[1] + ": No such file or directory\n");
    if (!writeHostFile(args[2], *bytes, hostMode(args[1])))
      return finished(1, "", name + ": " + args[2] + ": cannot write\n");
    if (name == "mv") removeHostFile(args[1]);
    return finished(0);
  }
  if (name == "mkdir") {
    if (!takes(args, "-p", 1)) {
      ADD_FAILURE() << "mkdir run with arguments the repair never gives";
      return finished(64);
    }
    std::string why;
    return makeHostFolders(args[1], &why) ? finished(0) : finished(1, "", why + "\n");
  }
  if (name == "rm") {
    if (args.size() < 2 || args[0] != "-f") {
      ADD_FAILURE() << "rm run with arguments the repair never gives";
      return finished(64);
    }
    for (size_t i = 1; i < args.size(); ++i) removeHostFile(args[i]);
    return finished(0);
  }
  if (name == "cat") {
    std::string output;
    for (const auto& path : args) {
      const std::optional<std::string> bytes = readHostFile(path);
      if (!bytes) return finished(1, output, "cat: " + path + ": No such file or directory\n");
      output += *bytes;
    }
    return finished(0, output);
  }
  return finished(0);  // chown, kill, scselect, ipconfigd only record
}

}  // namespace corvane::testing

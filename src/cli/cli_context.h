#pragma once
// What every corvane-cli command shares: the options that say which system
// it looks at, and the objects made from them.

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <string>

#include "core/bundle.h"
#include "core/platform.h"

namespace corvane::cli {

struct SystemOptions {
  std::string root = "/";
  std::string home;
  std::string bundle;
  bool verbose = false;
  bool noPause = false;
};

// Adds --root (and, when asked, --home and --bundle) to a command.
void addRootOption(CLI::App& command, SystemOptions& options);
void addHomeOption(CLI::App& command, SystemOptions& options);
void addBundleOption(CLI::App& command, SystemOptions& options);
void addVerboseOption(CLI::App& command, SystemOptions& options);
// --raw: the readers' own positional lists instead of named fields.
void addRawOption(CLI::App& command, bool& raw);

// The platform for the chosen root; --verbose sends log texts to stderr.
std::unique_ptr<Platform> makePlatform(const SystemOptions& options);
// The same, made by `make` from the platform options (a Platform subclass).
std::unique_ptr<Platform> makePlatform(const SystemOptions& options,
                                       const std::function<std::unique_ptr<Platform>(PlatformOptions)>& make);
Bundle makeBundle(const SystemOptions& options);

// The shared "inspect" parent command: the existing one, or a new one.
CLI::App* inspectCommand(CLI::App& app);

// Each command stores its exit status here; main returns it.
int& exitStatus();

}  // namespace corvane::cli

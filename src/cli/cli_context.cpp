#include "cli/cli_context.h"

#include <iostream>

namespace corvane::cli {

void addRootOption(CLI::App& command, SystemOptions& options) {
  command.add_option("--root", options.root, "System root: a captured Mac system (default /)")
      ->check(CLI::ExistingDirectory);
}

void addHomeOption(CLI::App& command, SystemOptions& options) {
  command.add_option("--home", options.home, "The user's home folder, a path inside the root");
}

void addBundleOption(CLI::App& command, SystemOptions& options) {
  command.add_option("--bundle", options.bundle, "The application bundle folder")->check(CLI::ExistingDirectory);
}

void addVerboseOption(CLI::App& command, SystemOptions& options) {
  command.add_flag("--verbose", options.verbose, "Show the system-log texts on standard error");
}

void addRawOption(CLI::App& command, bool& raw) {
  command.add_flag("--raw", raw, "Print the reader's own lists (positional arrays), as earlier versions did");
}

std::unique_ptr<Platform> makePlatform(const SystemOptions& options) {
  return makePlatform(options, [](PlatformOptions o) { return std::make_unique<Platform>(std::move(o)); });
}

std::unique_ptr<Platform> makePlatform(const SystemOptions& options,
                                       const std::function<std::unique_ptr<Platform>(PlatformOptions)>& make) {
  PlatformOptions platformOptions;
  platformOptions.root = options.root;
  platformOptions.home = options.home;
  platformOptions.pauses = !options.noPause;
  auto platform = make(platformOptions);
  if (options.verbose) platform->logSink = [](const std::string& text) { std::cerr << text << '\n'; };
  return platform;
}

Bundle makeBundle(const SystemOptions& options) {
  return options.bundle.empty() ? Bundle::locate() : Bundle(options.bundle);
}

CLI::App* inspectCommand(CLI::App& app) {
  auto existing = app.get_subcommands([](const CLI::App* command) { return command->get_name() == "inspect"; });
  if (!existing.empty()) return existing.front();
  CLI::App* inspect = app.add_subcommand("inspect", "Show what the system's settings and tools report");
  inspect->require_subcommand(1);
  return inspect;
}

int& exitStatus() {
  static int status = 0;
  return status;
}

}  // namespace corvane::cli

#include "cli/cli_context.h"

#include <iostream>

#include "core/capture_archive.h"
#include "core/capture_manifest.h"
#include "core/capture_platform.h"
#include "core/display_width.h"

namespace corvane::cli {

void addRootOption(CLI::App& command, SystemOptions& options) {
  command
      .add_option("--root", options.root,
                  "System root: a captured Mac system, as a folder or a capture archive (.tar.gz) (default /)")
      ->transform(
          [](const std::string& value) {
            // An archive is unpacked into a private folder that is removed when
            // the program ends; the commands see a folder either way. A capture
            // of the earlier format is refused here.
            std::string failure;
            std::string folder = openRoot(value, failure);
            if (folder.empty()) throw CLI::ValidationError(failure);
            return folder;
          },
          "FOLDER or ARCHIVE");
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

std::unique_ptr<Platform> makePlatform(const SystemOptions& options, const PlatformMakers& makers) {
  PlatformOptions platformOptions;
  platformOptions.root = options.root;
  platformOptions.home = options.home;
  platformOptions.pauses = !options.noPause;
  auto platform = makeRootPlatform(platformOptions, makers);
  // The log quotes tool outputs and names from the system.
  if (options.verbose) platform->logSink = [](const std::string& text) { std::cerr << escapeControls(text) << '\n'; };
  return platform;
}

Bundle makeBundle(const SystemOptions& options) {
  return options.bundle.empty() ? Bundle::locate() : Bundle(options.bundle);
}

void printJson(const nlohmann::ordered_json& json) {
  std::cout << json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

CLI::App* inspectCommand(CLI::App& app) {
  auto existing = app.get_subcommands([](const CLI::App* command) { return command->get_name() == "inspect"; });
  if (!existing.empty()) return existing.front();
  CLI::App* inspect = app.add_subcommand("inspect", "Show what the system's settings and tools report");
  inspect->require_subcommand(1);
  return inspect;
}

std::string notAMacMessage(const Platform& platform) {
  if (isMacSystem(platform)) return "";
  const std::string root = platform.rootIsSystem() ? "/" : rootDisplayName(platform.root());
  return root + " is not a Mac system: give --root a captured system or a capture archive";
}

bool refuseNonMacRoot(const Platform& platform, bool json) {
  const std::string message = notAMacMessage(platform);
  if (message.empty()) return false;
  if (json)
    printJson(nlohmann::ordered_json{{"error", message}});
  else
    std::cerr << "corvane-cli: " << escapeControls(message, false) << '\n';
  return true;
}

std::optional<nlohmann::ordered_json> captureJson(const Platform& platform) {
  const auto manifest = readCaptureManifest(platform);
  if (!manifest) return std::nullopt;
  return nlohmann::ordered_json{{"host", manifest->host}, {"time", manifest->time}, {"os", manifest->osVersion}};
}

}  // namespace corvane::cli

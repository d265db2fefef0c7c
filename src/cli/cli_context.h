#pragma once
// What every corvane-cli command shares: the options that say which system
// it looks at, and the objects made from them.

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/bundle.h"
#include "core/capture_platform.h"
#include "core/mac_system.h"
#include "core/platform.h"

#include <nlohmann/json.hpp>

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

// The platform for the chosen root (makeRootPlatform: a capture is read from
// its recordings, never run), made by the makers when given; --verbose sends
// log texts to stderr.
std::unique_ptr<Platform> makePlatform(const SystemOptions& options, const PlatformMakers& makers = {});
Bundle makeBundle(const SystemOptions& options);

// "ROOT is not a Mac system: ..." when the root has no SystemVersion.plist at
// all (an unreadable one is the readers' business); "" for a Mac system.
std::string notAMacMessage(const Platform& platform);
// For a root that is not a Mac system: prints that in one line (on stderr, or
// as {"error": ...} on stdout with json) and returns true: the command then
// ends with exit status 1.
bool refuseNonMacRoot(const Platform& platform, bool json);

// {"host", "time", "os"} of the capture the root was made from; nullopt when
// the root is not a capture.
std::optional<nlohmann::ordered_json> captureJson(const Platform& platform);

// Prints json on standard output, indented. Texts from tools and stores may
// hold bytes that are not UTF-8; they are replaced rather than failing the
// output.
void printJson(const nlohmann::ordered_json& json);

// The shared "inspect" parent command: the existing one, or a new one.
CLI::App* inspectCommand(CLI::App& app);

}  // namespace corvane::cli

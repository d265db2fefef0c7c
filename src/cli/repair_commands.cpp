// corvane-cli repair: the network repair, its dry run and its undo.

#include <unistd.h>

#include <iostream>
#include <string>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "core/authorizer.h"
#include "core/plist_io.h"
#include "provider/provider_datas.h"
#include "repair/fix_kit.h"
#include "repair/network_repair.h"
#include "repair/setup_network.h"
#include "repair/store_changes.h"

namespace corvane::cli {

namespace {

struct RepairOptions {
  SystemOptions system;
  bool yes = false;
  bool dryRun = false;
  bool undo = false;
  std::string kit;
};

int fail(const std::string& why) {
  std::cerr << "corvane-cli repair: " << why << "\n";
  return 1;
}

// Asks on the terminal; without one the answer is no.
bool confirmed(const std::string& question) {
  if (!::isatty(STDIN_FILENO)) return false;
  std::cerr << question << " [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES";
}

int dryRun(Platform& platform, ProviderDatas& settings) {
  SetupNetwork setup(platform);
  const std::string setKey = setup.DoSetup(kRepairLocationName, settings);
  if (setKey == "-1") return fail(setup.failure());
  std::cout << "repaired copy: " << setup.copy().path << "\n";
  std::cout << "location \"" << kRepairLocationName << "\", set key " << setKey << ", would replace "
            << storeDestination(platform) << "\n";
  for (const auto& line : describeChanges(setup.liveStore(), parsePropertyList(setup.copy().bytes)))
    std::cout << line << "\n";
  return 0;
}

int undo(Platform& platform) {
  SystemAuthorizer authorizer(platform);
  const StepResult restored = undoRepair(platform, authorizer);
  if (!restored.ok()) return fail(restored.failure);
  std::cout << "restored " << restored.path << "\n";
  return 0;
}

// Builds the repaired store of a captured system and writes it, with the
// scripts that install and undo it on the captured Mac, into a folder.
int writeKit(Platform& platform, ProviderDatas& settings, const std::string& folder) {
  if (refuseNonMacRoot(platform, false)) return 1;
  const KitOutcome kit = writeFixKit(platform, settings, folder);
  if (!kit.ok()) return fail(kit.failure);
  std::cout << "fix kit written to " << folder << ": location \"" << kRepairLocationName << "\" (set " << kit.setKey
            << "), " << kit.changes.size() << " changes to " << storeDestination(platform) << "\n"
            << "on the captured Mac: sudo sh apply.sh (undo: sudo sh undo.sh)\n";
  return 0;
}

int repair(const RepairOptions& options) {
  auto platform = makePlatform(options.system);
  if (options.undo) return undo(*platform);
  if (!options.kit.empty()) {
    ProviderDatas settings = ProviderDatas::load(makeBundle(options.system));
    return writeKit(*platform, settings, options.kit);
  }
  ProviderDatas settings = ProviderDatas::load(makeBundle(options.system));
  if (options.dryRun) return dryRun(*platform, settings);

  if (!options.yes &&
      !confirmed("Replace the network configuration with the location \"" + std::string(kRepairLocationName) + "\"?"))
    return fail("not confirmed; nothing was changed (use --yes to repair without asking)");

  SystemAuthorizer authorizer(*platform);
  const RepairOutcome outcome = OnRepair(*platform, authorizer, settings);
  if (!outcome.applied) return fail(outcome.failure);
  std::cout << "repaired: location \"" << kRepairLocationName << "\" (set " << outcome.setKey << ") installed in "
            << storeDestination(*platform) << "\n";
  if (!outcome.backup.empty())
    std::cout << "previous store kept at " << outcome.backup << " (corvane-cli repair --undo puts it back)\n";
  return 0;
}

}  // namespace

void addRepairCommands(CLI::App& app) {
  static RepairOptions options;
  CLI::App* command = app.add_subcommand(
      "repair", "Repair the network configuration: the location \"Quorvalin\" with the provider's settings");
  addRootOption(*command, options.system);
  addHomeOption(*command, options.system);
  addBundleOption(*command, options.system);
  addVerboseOption(*command, options.system);
  command->add_flag("--yes", options.yes, "Repair without asking");
  command->add_flag("--dry-run", options.dryRun, "Build the repaired copy and show what it changes; install nothing");
  command->add_flag("--no-pause", options.system.noPause, "Skip the pauses between the steps");
  command->add_flag("--undo", options.undo, "Put the newest backup of the store back");
  command
      ->add_option("--kit", options.kit,
                   "Write a fix kit for the captured system into this folder (repaired store, apply.sh, undo.sh, "
                   "README); changes nothing under the root")
      ->excludes("--undo")
      ->excludes("--dry-run")
      ->excludes("--yes");
  command->callback([] { exitStatus() = repair(options); });
}

}  // namespace corvane::cli

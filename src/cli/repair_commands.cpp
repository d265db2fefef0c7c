// corvane-cli repair: the network repair, its dry run and its undo.

#include <unistd.h>

#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "core/authorizer.h"
#include "core/capture_archive.h"
#include "core/capture_manifest.h"
#include "core/display_width.h"
#include "core/plist_io.h"
#include "core/text.h"
#include "provider/provider_datas.h"
#include "repair/fix_kit.h"
#include "repair/network_repair.h"
#include "repair/repair_plan.h"
#include "repair/setup_network.h"
#include "repair/store_backup.h"
#include "repair/store_changes.h"

namespace corvane::cli {

namespace {

struct RepairOptions {
  SystemOptions system;
  bool yes = false;
  bool dryRun = false;
  bool undo = false;
  std::string undoId;  // a backup's file name after --undo
  bool backups = false;
  long long prune = -1;
  std::string kit;
};

// Failures quote names from the system (services, locations, paths).
int fail(const std::string& why) {
  std::cerr << "corvane-cli repair: " << escapeControls(why, false) << "\n";
  return 1;
}

// Whether the options would change the system at the root: the repair, an
// undo or a prune, as opposed to a dry run, the list of backups or a kit.
// In the order repair() takes them: the list of backups runs alone.
bool changesTheSystem(const RepairOptions& options) {
  if (options.backups) return false;
  if (options.prune != -1) return true;
  return options.kit.empty() && !options.dryRun;
}

// A customer's capture is the Mac as it was captured: its repair is a fix
// kit installed on that Mac, never a change to the capture. True (with the
// one line said) when the options would change a capture.
bool refuseRepairInPlace(const Platform& platform, const RepairOptions& options) {
  if (!changesTheSystem(options) || !readCaptureManifest(platform)) return false;
  std::cerr << "corvane-cli: " << escapeControls(rootDisplayName(platform.root()), false)
            << " is a customer's capture: it is repaired through a fix kit (--kit DIR), never in place\n";
  return true;
}

// Asks on the terminal; without one the answer is no.
bool confirmed(const std::string& question) {
  if (!::isatty(STDIN_FILENO)) return false;
  std::cerr << escapeControls(question) << " [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES";
}

// What the repair will do, one line each, after a line break; "" when not known.
std::string planText(const RepairPlan& plan) {
  std::string text;
  if (!plan.location.empty()) text += "\nIt switches to the location \"" + plan.location + "\".";
  for (const auto& name : plan.turnedOff) text += "\n" + name + " will be turned off.";
  return text;
}

// Builds the repair in memory and says what it would change; writes nothing,
// not even the private copy.
int dryRun(Platform& platform, ProviderDatas& settings) {
  SetupNetwork setup(platform);
  const std::string setKey = setup.Build(kRepairLocationName, settings);
  if (setKey == "-1") return fail(setup.failure());
  if (setup.unchanged()) {
    std::cout << "the network settings already match the location \"" << kRepairLocationName
              << "\"; nothing would change\n";
    return 0;
  }
  std::cout << "location \"" << kRepairLocationName << "\", set key " << escapeControls(setKey, false)
            << ", would replace " << escapeControls(storeDestination(platform), false) << "\n";
  const std::string plan = planText(describeRepair(setup.liveStore(), setup.built()));
  if (!plan.empty()) std::cout << escapeControls(plan.substr(1)) << "\n";
  for (const auto& line : describeChanges(setup.liveStore(), setup.built()))
    std::cout << escapeControls(line, false) << "\n";
  return 0;
}

// The location a store names as current, or "" when it cannot be read.
std::string currentLocationOf(const std::optional<std::string>& bytes) {
  if (!bytes) return "";
  const Value store = parsePropertyList(*bytes);
  return store["Sets"][lastPathComponent(store["CurrentSet"].text())]["UserDefinedName"].text();
}

int listBackupsCommand(Platform& platform) {
  const std::vector<BackupEntry> backups = listBackups(platform);
  if (backups.empty()) std::cout << "no backups in " << kBackupFolder << "\n";
  for (const BackupEntry& backup : backups) {
    const std::optional<std::string> bytes = platform.readFile(backup.path);
    const std::string location = currentLocationOf(bytes);
    std::cout << escapeControls(backup.name.stamp, false) << "  " << (backup.name.byUndo ? "undo  " : "repair") << "  "
              << (bytes ? std::to_string(bytes->size()) + " bytes" : "unreadable") << "  \""
              << escapeControls(location.empty() ? "?" : location, false) << "\"  "
              << escapeControls(backup.fileName, false) << "\n";
  }
  return 0;
}

int prune(Platform& platform, long long keep) {
  if (keep < 0) return fail("--prune needs a number of backups to keep (0 or more)");
  SystemAuthorizer authorizer(platform);
  if (!authorizer.obtainRights()) return fail("administrator rights were not granted");
  const StepResult pruned = pruneBackups(platform, authorizer, static_cast<size_t>(keep));
  authorizer.releaseRights();
  if (!pruned.ok()) return fail(pruned.failure);
  std::cout << "kept the newest " << keep << " backups and the oldest\n";
  return 0;
}

int undo(Platform& platform, const RepairOptions& options) {
  UndoOptions undoOptions{.backup = options.undoId, .dryRun = true};
  // Checked first: a dry run, and the question, name the backup.
  SystemAuthorizer checker(platform);
  const StepResult chosen = undoRepair(platform, checker, undoOptions);
  if (!chosen.ok()) return fail(chosen.failure);
  const std::optional<std::string> bytes = platform.readFile(chosen.path);
  const std::string location = currentLocationOf(bytes);
  if (options.dryRun) {
    std::cout << escapeControls("would restore " + chosen.path + " (location \"" + location + "\")", false) << "\n";
    const std::optional<std::string> live = platform.readFile(storeDestination(platform));
    for (const auto& line : describeChanges(parsePropertyList(live.value_or("")), parsePropertyList(*bytes)))
      std::cout << escapeControls(line, false) << "\n";
    return 0;
  }
  if (!options.yes && !confirmed("Put back " + chosen.path + " (location \"" + location + "\")?"))
    return fail("not confirmed; nothing was changed (use --yes to undo without asking)");
  SystemAuthorizer authorizer(platform);
  undoOptions.dryRun = false;
  undoOptions.backup = lastPathComponent(chosen.path);
  const StepResult restored = undoRepair(platform, authorizer, undoOptions);
  if (!restored.ok()) return fail(restored.failure);
  std::cout << escapeControls("restored " + restored.path + " from " + chosen.path, false) << "\n";
  return 0;
}

// Builds the repaired store of a captured system and writes it, with the
// scripts that install and undo it on the captured Mac, into a folder.
int writeKit(Platform& platform, ProviderDatas& settings, const std::string& folder) {
  if (refuseNonMacRoot(platform, false)) return 1;
  if (!settings.hasSettings()) return fail("the provider file is missing or holds no settings; no kit was written");
  const KitOutcome kit = writeFixKit(platform, settings, folder);
  if (!kit.ok()) return fail(kit.failure);
  if (kit.alreadyMatches) {
    std::cout << "the captured network settings already match the provider's; no fix kit is needed\n";
    return 0;
  }
  std::cout << "fix kit written to " << escapeControls(folder, false) << ": location \"" << kRepairLocationName
            << "\" (set " << escapeControls(kit.setKey, false) << "), " << kit.changes.size() << " changes to "
            << escapeControls(storeDestination(platform), false) << "\n"
            << "on the captured Mac: sudo sh apply.sh (undo: sudo sh undo.sh)\n";
  return 0;
}

int repair(const RepairOptions& options) {
  auto platform = makePlatform(options.system);
  if (refuseRepairInPlace(*platform, options)) return 2;
  if (options.backups) return listBackupsCommand(*platform);
  if (options.prune >= 0 || options.prune < -1) return prune(*platform, options.prune);
  if (options.undo) return undo(*platform, options);
  if (!options.kit.empty()) {
    ProviderDatas settings = ProviderDatas::load(makeBundle(options.system));
    return writeKit(*platform, settings, options.kit);
  }
  ProviderDatas settings = ProviderDatas::load(makeBundle(options.system));
  if (!settings.hasSettings()) return fail("the provider file is missing or holds no settings; nothing was changed");
  if (options.dryRun) return dryRun(*platform, settings);

  if (!options.yes && !confirmed("Replace the network configuration with the location \"" +
                                 std::string(kRepairLocationName) + "\"?" + planText(planRepair(*platform, settings))))
    return fail("not confirmed; nothing was changed (use --yes to repair without asking)");

  SystemAuthorizer authorizer(*platform);
  const RepairOutcome outcome = OnRepair(*platform, authorizer, settings);
  if (outcome.alreadyMatches) {
    std::cout << "the network settings already match the location \"" << kRepairLocationName
              << "\"; nothing was changed\n";
    return 0;
  }
  if (!outcome.applied) return fail(outcome.failure);
  std::cout << "repaired: location \"" << kRepairLocationName << "\" (set " << escapeControls(outcome.setKey, false)
            << ") installed in " << escapeControls(storeDestination(*platform), false) << "\n";
  if (!outcome.backup.empty())
    std::cout << "previous store kept at " << escapeControls(outcome.backup, false)
              << " (corvane-cli repair --undo puts it back)\n";
  // A restart step that failed after the install is a failure too.
  if (!outcome.failure.empty()) return fail(outcome.failure);
  return 0;
}

}  // namespace

void addRepairCommands(CLI::App& app, int& exitStatus) {
  auto shared = std::make_shared<RepairOptions>();
  RepairOptions& options = *shared;
  CLI::App* command = app.add_subcommand(
      "repair", "Repair the network configuration: the location \"Quorvalin\" with the provider's settings");
  addRootOption(*command, options.system);
  addHomeOption(*command, options.system);
  addBundleOption(*command, options.system);
  addVerboseOption(*command, options.system);
  command->add_flag("--yes", options.yes, "Repair without asking");
  command->add_flag("--dry-run", options.dryRun,
                    "Show what the repair (or with --undo, the undo) would change; change and write nothing");
  command->add_flag("--no-pause", options.system.noPause, "Skip the pauses between the steps");
  CLI::Option* undoOption =
      command
          ->add_option("--undo", options.undoId,
                       "Put a backup of the store back: without ID, the one before the last repair not yet undone")
          ->expected(0, 1)
          ->type_name("ID");
  command->add_flag("--backups", options.backups, "List the backups of the store");
  command->add_option("--prune", options.prune, "Remove backups but the newest N and the oldest")->type_name("N");
  command
      ->add_option("--kit", options.kit,
                   "Write a fix kit for the captured system into this folder (repaired store, apply.sh, undo.sh, "
                   "README); changes nothing under the root")
      ->excludes("--undo")
      ->excludes("--dry-run")
      ->excludes("--yes");
  command->callback([shared, undoOption, &exitStatus] {
    shared->undo = undoOption->count() > 0;
    exitStatus = repair(*shared);
  });
}

}  // namespace corvane::cli

#pragma once
// One function per command group; each adds its subcommands to the program.
// A command that runs stores its exit status in exitStatus, which main
// returns.

#include <CLI/CLI.hpp>

namespace corvane::cli {

void addProviderCommands(CLI::App& app, int& exitStatus);
// inspect network, inspect tcpip
void addInspectNetworkCommands(CLI::App& app, int& exitStatus);
// inspect system|hardware|browsers|mail
void addInspectInventoryCommands(CLI::App& app, int& exitStatus);
// repair, repair --dry-run, repair --undo [ID], repair --backups, repair --prune N
void addRepairCommands(CLI::App& app, int& exitStatus);
void addCheckCommands(CLI::App& app, int& exitStatus);

}  // namespace corvane::cli

#pragma once
// One function per command group; each adds its subcommands to the program.

#include <CLI/CLI.hpp>

namespace corvane::cli {

void addProviderCommands(CLI::App& app);
// inspect network, inspect tcpip
void addInspectNetworkCommands(CLI::App& app);
// inspect system|hardware|browsers|mail
void addInspectInventoryCommands(CLI::App& app);
// repair, repair --dry-run, repair --undo [ID], repair --backups, repair --prune N
void addRepairCommands(CLI::App& app);
void addCheckCommands(CLI::App& app);

}  // namespace corvane::cli

// corvane-cli: the headless front end.

#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/cli_context.h"
#include "cli/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"Corvane: network diagnosis and repair, from the command line", "corvane-cli"};
  app.require_subcommand(1);
  corvane::cli::addProviderCommands(app);
  corvane::cli::addInspectNetworkCommands(app);
  corvane::cli::addInspectInventoryCommands(app);
  corvane::cli::addRepairCommands(app);
  corvane::cli::addCheckCommands(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "corvane-cli: " << e.what() << "\n";
    return 2;
  }
  return corvane::cli::exitStatus();
}

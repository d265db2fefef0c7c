// corvane-cli: the headless front end.

#include <CLI/CLI.hpp>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/output_check.h"
#include "core/display_width.h"
#include "core/platform_signals.h"
#include "core/private_folders.h"

namespace {

constexpr const char* kExitStatuses =
    "Exit status:\n"
    "  0  all checks ok, or the command did what was asked\n"
    "  1  a check found a fault, or a step failed\n"
    "  2  usage error: unknown command or option, bad value";

// The subcommand of `command` called `name`, or null.
CLI::App* findSubcommand(CLI::App& command, const std::string& name) {
  for (CLI::App* sub : command.get_subcommands([](const CLI::App*) { return true; }))
    if (sub->get_name() == name) return sub;
  return nullptr;
}

bool hasSubcommands(CLI::App& command) {
  return !command.get_subcommands([](const CLI::App*) { return true; }).empty();
}

int usageError(const std::string& message) {
  // The message may quote a word of the command line or an archive's entry.
  std::cerr << "corvane-cli: " << corvane::escapeControls(message, false) << '\n';
  return 2;
}

// `help [COMMAND...]`: the help of the program or of the named command.
int printHelp(CLI::App& app, const std::vector<std::string>& path) {
  CLI::App* command = &app;
  for (const std::string& name : path) {
    command = findSubcommand(*command, name);
    if (command == nullptr) return usageError("unknown command: " + name);
  }
  std::cout << command->help();
  return 0;
}

// The first word that names no command where one is expected, or no option
// of the command it follows: CLI11 would report a missing subcommand
// instead, which hides the typo. Empty when every word is known.
std::string unknownWord(CLI::App& app, int argc, char** argv) {
  CLI::App* command = &app;
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    if (word == "--") break;
    if (word.starts_with("-")) {
      const CLI::Option* option = command->get_option_no_throw(word.substr(0, word.find('=')));
      if (option == nullptr) return "unknown option: " + word.substr(0, word.find('='));
      // An option's value ("--root DIR") is not a command.
      if (option->get_type_size() != 0 && word.find('=') == std::string::npos) ++i;
      continue;
    }
    if (!hasSubcommands(*command)) break;
    CLI::App* sub = findSubcommand(*command, word);
    if (sub == nullptr) return "unknown command: " + word;
    command = sub;
  }
  return {};
}

// The command line's whole work; main adds the signals and the check of its
// output.
int run(int argc, char** argv) {
  CLI::App app{"Corvane: network diagnosis and repair, from the command line", "corvane-cli"};
  app.footer(kExitStatuses);
  app.set_version_flag("--version", std::string("corvane-cli ") + CORVANE_VERSION, "Print the version and exit");
  app.require_subcommand(1);
  int exitStatus = 0;
  corvane::cli::addProviderCommands(app, exitStatus);
  corvane::cli::addInspectNetworkCommands(app, exitStatus);
  corvane::cli::addInspectInventoryCommands(app, exitStatus);
  corvane::cli::addRepairCommands(app, exitStatus);
  corvane::cli::addCheckCommands(app, exitStatus);
  app.add_subcommand("help", "Show the help of the program or of a command: help [COMMAND...]");

  if (argc >= 2 && std::string(argv[1]) == "help")
    return printHelp(app, std::vector<std::string>(argv + 2, argv + argc));
  if (std::string unknown = unknownWord(app, argc, argv); !unknown.empty()) return usageError(unknown);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ExtrasError& e) {
    // Names the first word that was not expected, alone on its line.
    std::string message = e.what();
    std::string::size_type colon = message.find(": ");
    std::string first = colon == std::string::npos ? message : message.substr(colon + 2);
    first = first.substr(0, first.find(' '));
    return usageError((first.starts_with("-") ? "unknown option: " : "unexpected argument: ") + first);
  } catch (const CLI::ParseError& e) {
    return usageError(e.what());
  }
  return exitStatus;
}

}  // namespace

int main(int argc, char** argv) {
  // A signal that ends the program stops the running tools, removes what
  // the program unpacked or downloaded, and ends it with the signal's status.
  corvane::SignalWatch signals([](int signal) {
    corvane::removePrivateFolders();
    corvane::SignalWatch::endBySignal(signal);
  });
  int status = 0;
  try {
    status = corvane::cli::finishOutput(run(argc, argv));
  } catch (...) {
    corvane::removePrivateFolders();
    throw;
  }
  corvane::removePrivateFolders();
  return status;
}

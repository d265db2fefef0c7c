#include "cli/commands.h"

namespace corvane::cli {

void addProviderCommands(CLI::App& app) { (void)app; }

}  // namespace corvane::cli

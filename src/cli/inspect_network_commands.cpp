// inspect network / inspect tcpip: the port list and the TCP/IP list as JSON.

#include <iostream>
#include <memory>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/json_value.h"
#include "inspect/get_network.h"
#include "inspect/tcpip.h"

namespace corvane::cli {

namespace {

// Texts from tools and stores may hold bytes that are not UTF-8; they are
// replaced rather than failing the output.
void printJson(const Value& value) {
  std::cout << toJson(value).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

void addListCommand(CLI::App& inspect, const char* name, const char* description,
                    Value (*read)(Platform&)) {
  auto options = std::make_shared<SystemOptions>();
  CLI::App* command = inspect.add_subcommand(name, description);
  addRootOption(*command, *options);
  addVerboseOption(*command, *options);
  command->callback([options, read] {
    auto platform = makePlatform(*options);
    if (refuseNonMacRoot(*platform, false)) return;
    printJson(read(*platform));
    exitStatus() = 0;
  });
}

}  // namespace

void addInspectNetworkCommands(CLI::App& app) {
  CLI::App* inspect = inspectCommand(app);
  addListCommand(*inspect, "network", "The port list: current location, then each location with its ports",
                 [](Platform& platform) { return getNetwork(platform); });
  addListCommand(*inspect, "tcpip", "The TCP/IP settings of the current location's services",
                 [](Platform& platform) { return getTCPIP(platform); });
}

}  // namespace corvane::cli

// inspect network / inspect tcpip: the port list and the TCP/IP list as JSON
// objects with named fields, or with --raw as the readers' own lists.

#include <iostream>
#include <memory>

#include "app/named_json.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/json_value.h"
#include "core/os_version.h"
#include "inspect/get_network.h"
#include "inspect/tcpip.h"

namespace corvane::cli {

namespace {

struct ListOptions {
  SystemOptions system;
  bool raw = false;
};

void addListCommand(CLI::App& inspect, int& exitStatus, const char* name, const char* description,
                    Value (*read)(Platform&), nlohmann::ordered_json (*named)(const Value&, const Platform&)) {
  auto options = std::make_shared<ListOptions>();
  CLI::App* command = inspect.add_subcommand(name, description);
  addRootOption(*command, options->system);
  addVerboseOption(*command, options->system);
  addRawOption(*command, options->raw);
  command->callback([options, read, named, &exitStatus] {
    auto platform = makePlatform(options->system);
    if (refuseNonMacRoot(*platform, false)) {
      exitStatus = 1;
      return;
    }
    Value list = read(*platform);
    printJson(options->raw ? toJson(list) : named(list, *platform));
    exitStatus = 0;
  });
}

}  // namespace

void addInspectNetworkCommands(CLI::App& app, int& exitStatus) {
  CLI::App* inspect = inspectCommand(app);
  addListCommand(
      *inspect, exitStatus, "network", "The port list: current location, then each location with its ports",
      [](Platform& platform) { return getNetwork(platform); },
      [](const Value& list, const Platform& platform) { return portListJson(list, osAtLeast(platform, "10.3.2")); });
  addListCommand(
      *inspect, exitStatus, "tcpip", "The TCP/IP settings of the current location's services",
      [](Platform& platform) { return getTCPIP(platform); },
      [](const Value& list, const Platform&) { return tcpipListJson(list); });
}

}  // namespace corvane::cli

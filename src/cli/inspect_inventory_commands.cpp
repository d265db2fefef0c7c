// inspect system|hardware|browsers|mail: the inventory readers' results as JSON.

#include <functional>
#include <iostream>
#include <memory>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/json_value.h"
#include "inventory/app_versions.h"
#include "inventory/mail_discovery.h"
#include "inventory/system_info.h"

namespace corvane::cli {

namespace {

void printJson(const nlohmann::ordered_json& json) { std::cout << json.dump(2) << '\n'; }

// Adds one inspect subcommand whose action reads from the chosen system.
void addReader(CLI::App& inspect, const char* name, const char* description,
               std::function<nlohmann::ordered_json(Platform&)> read) {
  auto options = std::make_shared<SystemOptions>();
  CLI::App* command = inspect.add_subcommand(name, description);
  addRootOption(*command, *options);
  addHomeOption(*command, *options);
  addVerboseOption(*command, *options);
  command->callback([options, read = std::move(read)] {
    auto platform = makePlatform(*options);
    if (refuseNonMacRoot(*platform, false)) return;
    printJson(read(*platform));
    exitStatus() = 0;
  });
}

}  // namespace

void addInspectInventoryCommands(CLI::App& app) {
  CLI::App& inspect = *inspectCommand(app);
  addReader(inspect, "system", "OS version and start-up disk", [](Platform& platform) {
    nlohmann::ordered_json json;
    json["os"] = getOS(platform);
    json["hdd"] = getHDD(platform);
    return json;
  });
  addReader(inspect, "hardware", "The system profiler's hardware overview", [](Platform& platform) {
    return toJson(getSystemProfile(platform, "SPHardwareDataType"));
  });
  addReader(inspect, "browsers", "Versions of the four browsers", [](Platform& platform) {
    return toJson(getBrowser(platform));
  });
  addReader(inspect, "mail", "Mail's version and POP accounts",
            [](Platform& platform) { return toJson(getMail(platform)); });
}

}  // namespace corvane::cli

// inspect system|hardware|browsers|mail: the inventory readers' results as JSON.

#include <functional>
#include <iostream>
#include <memory>

#include "app/named_json.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/json_value.h"
#include "inventory/app_versions.h"
#include "inventory/mail_discovery.h"
#include "inventory/system_info.h"

namespace corvane::cli {

namespace {

struct ReaderOptions {
  SystemOptions system;
  bool raw = false;
};

// Adds one inspect subcommand whose action reads from the chosen system:
// read(platform, raw) gives named fields, or with --raw the reader's own form.
void addReader(CLI::App& inspect, int& exitStatus, const char* name, const char* description,
               std::function<nlohmann::ordered_json(Platform&, bool raw)> read) {
  auto options = std::make_shared<ReaderOptions>();
  CLI::App* command = inspect.add_subcommand(name, description);
  addRootOption(*command, options->system);
  addHomeOption(*command, options->system);
  addVerboseOption(*command, options->system);
  addRawOption(*command, options->raw);
  command->callback([options, read = std::move(read), &exitStatus] {
    auto platform = makePlatform(options->system);
    if (refuseNonMacRoot(*platform, false)) {
      exitStatus = 1;
      return;
    }
    printJson(read(*platform, options->raw));
    exitStatus = 0;
  });
}

}  // namespace

void addInspectInventoryCommands(CLI::App& app, int& exitStatus) {
  CLI::App& inspect = *inspectCommand(app);
  // The system and hardware readers already give named fields.
  addReader(inspect, exitStatus, "system", "OS version and start-up disk", [](Platform& platform, bool) {
    nlohmann::ordered_json json;
    json["os"] = getOS(platform);
    json["hdd"] = getHDD(platform);
    return json;
  });
  addReader(inspect, exitStatus, "hardware", "The system profiler's hardware overview",
            [](Platform& platform, bool) { return toJson(getSystemProfile(platform, "SPHardwareDataType")); });
  addReader(inspect, exitStatus, "browsers", "Versions of the four browsers", [](Platform& platform, bool raw) {
    Value browsers = getBrowser(platform);
    return raw ? toJson(browsers) : browserListJson(browsers);
  });
  addReader(inspect, exitStatus, "mail", "Mail's version and POP accounts", [](Platform& platform, bool raw) {
    Value mails = getMail(platform);
    return raw ? toJson(mails) : mailListJson(mails);
  });
}

}  // namespace corvane::cli

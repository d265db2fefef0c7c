// corvane-cli check: the check sequence of the start button (or the line
// check alone), headless.

#include <unistd.h>

#include <ctime>
#include <iostream>

#include "app/check_report.h"
#include "app/corvane.h"
#include "app/event_queue.h"
#include "app/system_readers.h"
#include "cli/check_timings.h"
#include "cli/check_view.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "core/display_width.h"
#include "core/localized_strings.h"
#include "core/os_version.h"
#include "core/text.h"

namespace corvane::cli {
namespace {

struct CheckOptions {
  SystemOptions system;
  std::string lang;
  bool json = false;
  std::string repair = "ask";
  bool details = false;
  bool lineOnly = false;
  bool timings = false;
};

RepairAnswer repairAnswer(const std::string& text) {
  if (text == "yes") return RepairAnswer::Yes;
  if (text == "no") return RepairAnswer::No;
  return RepairAnswer::Ask;
}

int runCheck(const CheckOptions& options) {
  // Every check is timed (a clock read per row and tool run); --timings shows it.
  CheckTimings timings;
  PlatformMakers timed;
  timed.system = [&](PlatformOptions o) { return std::make_unique<TimedPlatform<Platform>>(std::move(o), timings); };
  timed.capture = [&](PlatformOptions o) {
    return std::make_unique<TimedPlatform<CapturePlatform>>(std::move(o), timings);
  };
  auto platform = makePlatform(options.system, timed);
  if (refuseNonMacRoot(*platform, options.json)) return 1;
  const auto capture = captureJson(*platform);
  Bundle bundle = makeBundle(options.system);
  const std::string language = options.lang.empty() ? preferredLanguage() : options.lang;
  LocalizedStrings strings = LocalizedStrings::load(bundle, language);
  platform->internalErrorAlert = [](const std::string& message) { std::cerr << "corvane-cli: " << message << '\n'; };

  CheckViewOptions viewOptions;
  viewOptions.repair = repairAnswer(options.repair);
  viewOptions.out = options.json ? nullptr : &std::cout;
  // Asking needs a terminal; without one every offer is answered no.
  viewOptions.in = viewOptions.repair == RepairAnswer::Ask && !options.json && ::isatty(0) ? &std::cin : nullptr;
  CheckView view(*platform, strings, viewOptions);
  TimedView timedView(view, timings);

  EventQueue queue;
  auto readers = makeSystemReaders(*platform);
  auto httpDownloader = makeHttpDownloader();
  TimedDownloader downloader(*httpDownloader, timings);
  ProviderDatas prvs = ProviderDatas::load(bundle);
  const bool providerSettings = prvs.hasSettings();
  if (!providerSettings)
    std::cerr
        << "corvane-cli: the provider file is missing or holds no settings; the checks run, no repair is offered\n";
  Corvane corvane(CorvaneServices{timedView, queue, *platform, *readers, downloader, strings, bundle}, std::move(prvs));
  corvane.awakeFromNib();
  corvane.applicationDidFinishLaunching();
  if (!options.json) {
    std::cout << "== " << escapeControls(view.title()) << "\n";
    if (capture)
      std::cout << escapeControls(formatText(strings.text("captureOf"), {(*capture)["host"].get<std::string>(),
                                                                         (*capture)["time"].get<std::string>()}))
                << "\n";
    std::cout << "\n";
  }

  timings.startSequence();
  corvane.OnButton(options.lineOnly ? Button::LineCheck : Button::Start);
  queue.runUntil([&] { return !corvane.lineCheckRunning(); });
  timings.endSequence();

  if (options.json) {
    ReportSource source;
    source.program = "corvane-cli";
    source.version = CORVANE_VERSION;
    source.root = options.system.root;
    source.bundle = bundle.folder();
    source.language = language;
    source.time = platform->now();
    nlohmann::ordered_json report =
        checkReport(source, view.title(), view.rows(), view.offers(), corvane, *platform, strings);
    if (capture) report["capture"] = *capture;
    report["events"] = view.events();
    if (options.timings) report["timings"] = timings.json();
    if (options.details) report["details"] = detailsJson(corvane, strings);
    replacePlaceholders(report, strings.text("notFound"));
    printJson(report);
  } else {
    view.printSummary(std::cout);
    if (options.timings) std::cout << '\n' << timings.text();
    if (options.details) {
      view.runHardwarePanel(corvane.hardwarePanelRows());
      view.runNetworkPanel(corvane.networks(), corvane.proxyListHasAutomatic());
      view.runTcpipPanel(corvane.tcpips(), corvane.networks());
      view.runMailPanel(corvane.mailAccounts());
    }
  }
  return view.anyFault() ? 1 : 0;
}

}  // namespace

void addCheckCommands(CLI::App& app, int& exitStatus) {
  auto options = std::make_shared<CheckOptions>();
  CLI::App* check = app.add_subcommand("check", "Run the check sequence of the start button on a system");
  addRootOption(*check, options->system);
  addHomeOption(*check, options->system);
  addBundleOption(*check, options->system);
  addVerboseOption(*check, options->system);
  check->add_option("--lang", options->lang, "Language of the texts: en, ja or C (the keys); default from the locale")
      ->check(CLI::IsMember({"en", "ja", "C"}));
  check->add_flag("--json", options->json, "Print one JSON report at the end");
  check->add_flag("--no-pause", options->system.noPause, "Skip the one-second pauses between rows");
  check->add_option("--repair", options->repair, "Answer to repair offers: ask (default), yes or no")
      ->check(CLI::IsMember({"ask", "yes", "no"}));
  check->add_flag("--details", options->details, "Also show the content of the four detail panels");
  check->add_flag("--line-only", options->lineOnly, "Run the line check alone");
  check->add_flag("--timings", options->timings,
                  "Also report the time of the sequence, of each row and of each tool run (\"timings\" in JSON)");
  check->callback([options, &exitStatus] { exitStatus = runCheck(*options); });
}

}  // namespace corvane::cli

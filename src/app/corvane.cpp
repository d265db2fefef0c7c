#include "app/corvane.h"

#include "app/hardware_panel.h"
#include "core/os_version.h"
#include "core/text.h"

namespace corvane {
namespace {

const std::vector<int> kAllButtons = {5, 6, 7, 8, 1, 2, 3, 4};
const std::vector<int> kMainButtons = {1, 2, 3, 4};
constexpr std::string_view kNotFound = "----------";
// How long a tool runs before its row names it.
constexpr double kNameWaitedToolAfter = 3.0;

struct ProxyLabel {
  size_t index;
  std::string_view label;
};
constexpr ProxyLabel kProxyLabels[] = {{0, "  HTTP"},   {1, "  Socks"}, {2, "  FTP"},  {3, "  Gopher"},
                                       {4, "  https"},  {5, "  RTSP"},  {6, "  Mail"}};

bool isEmptyText(const std::optional<std::string>& text) { return !text || text->empty(); }


}  // namespace

Corvane::Corvane(CorvaneServices services, ProviderDatas prvs)
    : services_(std::move(services)), prvs_(std::move(prvs)), self_(std::make_shared<Corvane*>(this)) {
  // The platform may outlive the controller (and the controller the
  // platform): the callback finds out whether the controller still exists.
  std::weak_ptr<Corvane*> self = self_;
  services_.platform.whileToolRuns = [self](const std::string& tool, double seconds) {
    if (auto alive = self.lock()) (*alive)->toolIsRunning(tool, seconds);
  };
}

Corvane::~Corvane() {
  stopTimer();
  dl2_.reset();  // cancels and waits for the download's thread
}

// ---- start-up and rows ------------------------------------------------------

void Corvane::awakeFromNib() {
  flag_ = false;
  services_.view.armButtons(kMainButtons, true);
  clearAll();
  URLOK_ = services_.platform.exists("/System/Library/Frameworks/WebKit.framework");
}

void Corvane::applicationDidFinishLaunching() {
  if (prvs_.title) services_.view.setTitle(*prvs_.title);
  // Without the provider's settings the checks still run, but there is
  // nothing to repair against: said once, at start.
  if (!prvs_.hasSettings()) AlertShow("providerMissingMsg");
}

void Corvane::clearAll() {
  for (Row row : kAllRows) services_.view.setRowImage(row, "before");
  for (Row row : kAllRows) services_.view.setRowText(row, "");
  for (Row row : kAllRows) services_.view.setRowCode(row, "");
}

void Corvane::displayText(Row row, std::string_view image, std::string_view text) {
  if (image == "check")
    beginToolWatch(row);
  else if (row == checkingRow_)
    checking_ = false;
  services_.view.setRowImage(row, image);
  services_.view.setRowText(row, l(text));
  services_.view.redraw();
}

void Corvane::setCode(Row row, std::string_view code) { services_.view.setRowCode(row, code); }

void Corvane::pause() { services_.view.pause(services_.timings.pauseSeconds); }

void Corvane::AlertShow(std::string_view messageKey) {
  services_.view.showAlert(Alert{std::string(messageKey), l("title"), l(messageKey), l("OK")});
}

// ---- buttons ----------------------------------------------------------------

void Corvane::OnButton(int tag) {
  switch (tag) {
    case 1: runSequence(); break;
    case 2:
      retireDownload();
      setCode(Row::Line, "");
      AddTrackingContrl(false);
      OnCheckURL();
      break;
    case 3: services_.view.openHelp(); break;
    case 4: OnCancel(); break;
    case 5: systemDetail(); break;
    case 6: tcpipDetail(); break;
    case 7: networkDetail(); break;
    case 8: mailDetail(); break;
    default: break;
  }
}

void Corvane::AddTrackingContrl(bool enable) { services_.view.armButtons(kAllButtons, enable); }

// The window removes the help registration as it quits (help_file.h).
void Corvane::OnCancel() { services_.view.quit(); }

void Corvane::runSequence() {
  // A line check still running (after a repair from a detail button) ends
  // here: its late report must not touch the new sequence's rows or buttons.
  retireDownload();
  services_.platform.forgetUnansweredTools();
  AddTrackingContrl(false);
  clearAll();
  checkSystemRow();
  checkHardwareRow();
  OnCheckNetwork();
  OnCheckTCPIP();
  OnCheckBrowser();
  OnCheckMail();
  OnCheckURL();
}

void Corvane::checkSystemRow() {
  displayText(Row::System, "check", "check");
  pause();
  os_ = services_.readers.getOS();
  hdd_ = services_.readers.getHDD();
  noteUnansweredTools(Row::System);
  displayText(Row::System, "ok", formatText("%@\n%@ : %@", {os_, l("hdd"), hdd_}));
}

void Corvane::checkHardwareRow() {
  displayText(Row::Hardware, "check", "check");
  pause();
  hardwareProfile_ = services_.readers.getSystemProfile("SPHardwareDataType");
  noteUnansweredTools(Row::Hardware);
  std::string cpu, clock, memory;
  const Value& items = hardwareProfile_[0];
  if (items.isDictionary() && items.count() > 0) {
    cpu = items["cpu_type"].text();
    clock = items["current_processor_speed"].text();
    memory = items["physical_memory"].text();
  }
  if (cpu.empty()) cpu = "UNKNOWN";
  if (clock.empty()) clock = "? MHz";
  if (memory.empty()) memory = "? MB";
  displayText(Row::Hardware, "ok",
              formatText("%@ : %@\n%@ : %@,   %@ : %@", {l("CPU"), cpu, l("clock"), clock, l("memory"), memory}));
}

// ---- network ----------------------------------------------------------------

size_t Corvane::fullProxyCount() const { return osAtLeast(services_.platform, "10.3.2") ? 10 : 9; }

const Value& Corvane::firstPortEntry() const {
  if (networks_.count() < 2) return Value::absent();  // no location entry at all
  const Value& current = networks_[0];
  const Value* location = &networks_[networks_.count() - 1];
  for (size_t i = 1; i < networks_.count(); ++i) {
    if (networks_[i][0] == current) {
      location = &networks_[i];
      break;
    }
  }
  const Value& first = (*location)[1][0];
  return first.isArray() && first.count() > 0 ? first : Value::absent();
}

void Corvane::OnCheckNetwork() {
  displayText(Row::Network, "check", "check");
  setCode(Row::Network, "");
  pause();

  networks_ = services_.readers.getNetwork();
  noteUnansweredTools(Row::Network);
  if (!networks_.isArray()) networks_ = Value(Value::Array{});

  const Value& first = firstPortEntry();
  std::string text;
  if (first.isAbsent()) {
    // No port list, no location entry or a location without ports: nothing
    // to check and nothing to repair.
    port_.clear();
    mac_.clear();
    proxy_ = Value(Value::Array{});
    IsProxyOK_ = false;
    text = l("noNetwork");
  } else {
    port_ = first[0].text();
    text = formatText("%@ : %@\n", {l("port"), port_});
    if (first.count() >= 3) {
      mac_ = first[1].text();
      text += formatText("%@ : %@   ", {l("mac"), mac_});
    } else {
      mac_.clear();
    }
    text += formatText("%@ : ", {l("proxy")});
    // A port entry of one element has no proxy list; a short list has no
    // proxies set at the indexes it lacks.
    const Value& last = first[first.count() - 1];
    proxy_ = first.count() >= 2 && last.isArray() ? last : Value(Value::Array{});
    text += proxy_.count() == fullProxyCount() ? l("exist") : l("no");

    IsProxyOK_ = prvs_.p_enable
                     ? proxy_[0].text() == prvs_.p_http && proxy_[1].text() == prvs_.p_socks &&
                           proxy_[2].text() == prvs_.p_ftp && proxy_[3].text() == prvs_.p_gopher &&
                           proxy_[4].text() == prvs_.p_secure && proxy_[5].text().empty() &&
                           proxy_[6].text().empty()
                     : proxy_[0].text().empty() && proxy_[1].text().empty() && proxy_[2].text().empty() &&
                           proxy_[3].text().empty() && proxy_[4].text().empty() && proxy_[5].text().empty() &&
                           proxy_[6].text().empty();
    if (osAtLeast(services_.platform, "10.3.2") && !proxy_[7].text().empty()) IsProxyOK_ = false;

    if (!mac_.empty() && IsProxyOK_) {
      IsNetworkErr_ = false;
      displayText(Row::Network, "ok", text);
      return;
    }
  }
  displayText(Row::Network, "err", text);
  IsNetworkErr_ = true;
  flag_ = true;
  OnButton(7);
}

std::vector<std::string> Corvane::getErrorProxy() const {
  std::vector<std::string> pairs;
  auto add = [&](std::string name, std::string result) {
    pairs.push_back(std::move(name));
    pairs.push_back(std::move(result));
  };
  bool newer = osAtLeast(services_.platform, "10.3.2");
  size_t full = fullProxyCount();
  if (proxy_.count() == full) {
    add(l("proxy"), l("exist"));
    for (const auto& [index, label] : kProxyLabels)
      if (!proxy_[index].text().empty()) add(std::string(label), proxy_[index].text());
    if (newer && !proxy_[7].text().empty()) add("  " + l("auto"), proxy_[7].text());
    const Value& exceptions = proxy_[full - 2];
    for (size_t i = 0; i < exceptions.count(); ++i)
      add(i == 0 ? l("exception") : "", exceptions[i].text());
  } else {
    add(l("proxy"), l("no"));
  }
  add("", "");
  add(l("recommended"), "");
  if (prvs_.p_enable) {
    add(l("proxy"), l("exist"));
    const std::pair<const std::string*, std::string_view> recommended[] = {{&prvs_.p_http, "  HTTP"},
                                                                          {&prvs_.p_socks, "  Socks"},
                                                                          {&prvs_.p_ftp, "  FTP"},
                                                                          {&prvs_.p_gopher, "  Gopher"},
                                                                          {&prvs_.p_secure, "  https"}};
    for (const auto& [value, label] : recommended)
      if (!value->empty()) add(std::string(label), *value);
  } else {
    add(l("proxy"), l("no"));
  }
  return pairs;
}

// ---- TCP/IP -----------------------------------------------------------------

void Corvane::OnCheckTCPIP() {
  displayText(Row::Tcpip, "check", "check");
  setCode(Row::Tcpip, "");
  pause();

  tcpips_ = services_.readers.getTCPIP();
  noteUnansweredTools(Row::Tcpip);
  if (!tcpips_.isArray()) tcpips_ = Value(Value::Array{});
  if (tcpips_.count() == 0) {
    displayText(Row::Tcpip, "err", l("noNetwork"));
    IsTcpipErr_ = false;
    IsIPv6Err_ = false;
    setCode(Row::Tcpip, "03031");
    return;
  }

  const Value& rec = tcpips_[0];
  const Value& addr = rec[0];
  std::string ip = addr[1].text();
  std::string method = rec[1].text();
  std::string server = rec[2].text();
  std::string v6method = rec[5].text();
  std::string ipv6 = addr.count() > 5 ? addr[5].text() : addr.count() > 4 ? addr[4].text() : std::string(kNotFound);

  std::string text = formatText("%@ : %@   %@\n%@ : %@\n%@ : %@   %@",
                                {l("ipaddress"), ip, l(method), l("dns"), server, l("ipv6address"), ipv6, l(v6method)});

  // A provider that prescribes no method leaves the method unjudged.
  bool methodOk = !prvs_.tcp.has_value() || method == *prvs_.tcp;
  bool ok = intValueOfText(ip) != 0 && intValueOfText(server) != 0 &&
            (isEmptyText(prvs_.routerip) || server == *prvs_.routerip) && methodOk;
  IsTcpipErr_ = false;
  IsIPv6Err_ = false;
  if (ok) {
    displayText(Row::Tcpip, "ok", text);
    return;
  }
  displayText(Row::Tcpip, "syserr", text);
  if (methodOk) {
    setCode(Row::Tcpip, "04024");
  } else {
    displayText(Row::Tcpip, "err", text);
    flag_ = true;
    IsTcpipErr_ = true;
  }
  OnButton(6);
}

// ---- browser and mail -------------------------------------------------------

void Corvane::OnCheckBrowser() {
  displayText(Row::Browser, "check", "check");
  setCode(Row::Browser, "");
  pause();

  browsers_ = services_.readers.getBrowser();
  noteUnansweredTools(Row::Browser);
  const Value& browsers = browsers_;
  std::string text;
  if (browsers.count() == 4) {
    auto present = [&](size_t i) { return intValueOfText(browsers[i].text()) != 0; };
    auto piece = [&](std::string_view format, size_t i) { return formatText(format, {browsers[i].text()}); };
    if (present(0)) {
      // Internet Explorer has the first line, Safari beside it; Netscape and
      // Firefox share the second.
      text = piece("Internet Explorer %@", 0);
      if (present(1)) text += piece(" / Safari %@", 1);
      bool second = false;
      if (present(2)) {
        text += piece("\nNetscape %@", 2);
        second = true;
      }
      if (present(3)) text += piece(second ? " / Firefox %@" : "\nFirefox %@", 3);
    } else {
      // The others fill the lines two at a time.
      constexpr std::string_view names[] = {"", "Safari", "Netscape", "Firefox"};
      int shown = 0;
      for (size_t i = 1; i < 4; ++i) {
        if (!present(i)) continue;
        std::string_view separator = shown == 0 ? "" : shown % 2 == 1 ? " / " : "\n";
        text += std::string(separator) + std::string(names[i]) + " " + browsers[i].text();
        ++shown;
      }
      if (shown == 0) text = kNotFound;
    }
  }
  displayText(Row::Browser, "ok", text);
}

void Corvane::OnCheckMail() {
  displayText(Row::Mail, "check", "check");
  setCode(Row::Mail, "");
  pause();

  mails_ = services_.readers.getMail();
  noteUnansweredTools(Row::Mail);
  if (mails_[0].intValue() == 0) {
    displayText(Row::Mail, "ok", kNotFound);
    return;
  }
  int64_t n = mails_[1].intValue();
  std::string text = formatText("Mail %@\n", {mails_[0].text()});
  if (n == 0) {
    text += formatText("%@ : 0", {l("accountCount")});
    displayText(Row::Mail, "err", text);
    if (flag_)
      setCode(Row::Mail, "06012");
    else
      OnButton(8);
  } else if (n == 1) {
    text += formatText("%@ : %@", {l("account"), mails_[2].text()});
    displayText(Row::Mail, "ok", text);
  } else {
    text += formatText("%@ : %@", {l("accountCount"), std::to_string(n)});
    displayText(Row::Mail, "ok", text);
  }
}

int Corvane::RunMailSetupApp() {
  return services_.platform.launchProgram(services_.bundle.resourcesFolder() + "/Plovis.app/Contents/MacOS/Plovis(Mail)");
}

// ---- line check -------------------------------------------------------------

void Corvane::OnCheckURL() {
  if (!URLOK_) {
    AlertShow("NoURLCheck");
    setCode(Row::Line, "07012");
    AddTrackingContrl(true);
    return;
  }
  displayText(Row::Line, "check", "check");
  setCode(Row::Line, "");
  lineFailure_ = LineFailure{};
  pause();
  startDownload();
  if (osAtLeast(services_.platform, "10.3")) {
    std::weak_ptr<Corvane*> self = self_;
    timer_ = services_.runLoop.startTimer(services_.timings.lineTimeout, [self] {
      if (auto alive = self.lock()) (*alive)->TimeOut();
    });
    timerRunning_ = true;
  }
}

void Corvane::startDownload() {
  // A line check started while another runs replaces it: the earlier
  // download is cancelled and its timer stopped, so it reports nothing.
  stopTimer();
  if (dl2_) dl2_->cancel();
  dl2_.reset();
  unsigned long generation = ++downloadGeneration_;
  DownloadRequest request;
  request.url = prvs_.testurl.value_or("");
  request.timeoutSeconds = services_.timings.requestTimeout;
  request.totalSeconds = services_.timings.transferCap;
  request.reloadIgnoringCache = true;
  request.destinationFolder = services_.platform.temporaryFolder();
  lineFailure_.address = request.url;
  std::weak_ptr<Corvane*> self = self_;
  RunLoop& runLoop = services_.runLoop;
  Platform& platform = services_.platform;
  dl2_ = services_.downloader.start(request, [self, generation, &runLoop, &platform](const DownloadResult& result) {
    if (!result.ok) platform.verboseLog("line check: " + result.error);
    runLoop.post([self, generation, result] {
      auto alive = self.lock();
      if (!alive) return;
      Corvane& controller = **alive;
      if (generation != controller.downloadGeneration_ || !controller.dl2_) return;  // replaced or timed out
      if (result.ok) {
        controller.downloadDidFinish();
      } else {
        controller.lineFailure_.failure = result.failure;
        controller.lineFailure_.status = result.status;
        controller.lineFailure_.error = result.error;
        controller.didFailWithError();
      }
    });
  });
}

void Corvane::retireDownload() {
  stopTimer();
  if (dl2_) dl2_->cancel();
  dl2_.reset();
  ++downloadGeneration_;
}

void Corvane::stopTimer() {
  if (timerRunning_) services_.runLoop.cancelTimer(timer_);
  timerRunning_ = false;
}

void Corvane::downloadDidFinish() {
  displayText(Row::Line, "ok", "ok");
  stopTimer();
  dl2_.reset();
  AddTrackingContrl(true);
}

void Corvane::didFailWithError() {
  if (lineFailure_.failure == DownloadFailure::None) lineFailure_.failure = DownloadFailure::Other;
  displayText(Row::Line, "syserr", "syserr");
  setCode(Row::Line, "07029");
  stopTimer();
  dl2_.reset();
  AddTrackingContrl(true);
}

void Corvane::TimeOut() {
  timerRunning_ = false;  // the one-shot timer has fired
  if (dl2_) dl2_->cancel();
  lineFailure_.failure = DownloadFailure::TimedOut;
  lineFailure_.error = "no answer within the line check's time limit";
  didFailWithError();
}

// ---- waiting for tools --------------------------------------------------------

void Corvane::beginToolWatch(Row row) {
  checkingRow_ = row;
  checking_ = true;
  waitedTool_.clear();
  services_.platform.takeUnansweredTools();
  services_.view.setRowCause(row, "");
}

void Corvane::noteUnansweredTools(Row row) {
  std::string cause;
  for (const std::string& tool : services_.platform.takeUnansweredTools()) {
    const std::string said = tool + " did not answer";
    if (cause.find(said) != std::string::npos) continue;
    if (!cause.empty()) cause += "; ";
    cause += said;
  }
  if (!cause.empty()) services_.view.setRowCause(row, cause);
}

void Corvane::toolIsRunning(const std::string& tool, double seconds) {
  if (checking_ && seconds >= kNameWaitedToolAfter && waitedTool_ != tool) {
    waitedTool_ = tool;
    services_.view.setRowText(checkingRow_, formatText(l("waitingForTool"), {lastPathComponent(tool)}));
    services_.view.redraw();
  }
  services_.view.keepResponsive();
}

// ---- detail actions and repair ----------------------------------------------

std::vector<VolumeRow> Corvane::hardwarePanelRows() const {
  return volumeRows(services_.platform, services_.readers.mountedLocalVolumePaths());
}

void Corvane::systemDetail() { services_.view.runHardwarePanel(hardwarePanelRows()); }

bool Corvane::offerRepair(Row row, std::string_view messageKey, const std::vector<std::string>& flatPairs) {
  if (!prvs_.hasSettings()) return false;  // no repair without the provider's settings
  RepairOffer offer;
  offer.row = row;
  offer.messageKey = std::string(messageKey);
  offer.message = l(messageKey);
  for (size_t i = 0; i + 1 < flatPairs.size(); i += 2) offer.pairs.emplace_back(flatPairs[i], flatPairs[i + 1]);
  const RepairPlan plan = services_.readers.planRepair(prvs_);
  offer.location = plan.location;
  offer.turnedOff = plan.turnedOff;
  if (plan.alreadyMatches) {
    offer.planLines.push_back(l("repairAlreadyMatches"));
  } else if (!plan.location.empty()) {
    offer.planLines.push_back(formatText(l("repairSwitchesTo"), {plan.location}));
    for (const auto& name : plan.turnedOff) offer.planLines.push_back(formatText(l("repairTurnsOff"), {name}));
  }
  return services_.view.runRepairPanel(offer);
}

void Corvane::tcpipDetail() {
  if (networks_.count() == 0) {
    AlertShow("networkNoMsg");
  } else if (IsTcpipErr_ || IsIPv6Err_) {
    bool v4 = IsTcpipErr_;
    std::string label = l(v4 ? "setNetwork" : "setNetworkIPv6");
    std::string current = l(tcpips_[0][v4 ? 1 : 5].text());
    std::vector<std::string> pairs = {label, current, "", "", l("recommended"), "", label,
                                      l(v4 ? "DHCP" : "Automatic")};
    setCode(Row::Tcpip, "04017");
    if (offerRepair(Row::Tcpip, v4 ? "DHCPErrMsg" : "IPv6ErrMsg", pairs)) repairNetwork(6);
  }
  if (!flag_) services_.view.runTcpipPanel(tcpips_, networks_);
  flag_ = false;
}

void Corvane::networkDetail() {
  if (IsNetworkErr_) {
    bool answer = false;
    if (firstPortEntry().isAbsent()) {
      // No port to repair: the user is told, nothing is offered.
      AlertShow("networkNoMsg");
    } else {
      setCode(Row::Network, IsProxyOK_ ? "03024" : "03017");
      answer = offerRepair(Row::Network, IsProxyOK_ ? "networkErrMsg" : "networkProxyErrMsg", getErrorProxy());
    }
    if (answer) repairNetwork(7);
  }
  if (!flag_) services_.view.runNetworkPanel(networks_);
  flag_ = false;
}

void Corvane::mailDetail() {
  const Value& accounts = mails_[mails_.count() - 1];
  services_.view.runMailPanel(accounts.isArray() ? accounts : Value(Value::Array{}));
}

void Corvane::repairNetwork(int tag) {
  // A user-started repair checks the line again at its end; a line check
  // still running from before must not end in the middle of the repair.
  if (!flag_) retireDownload();
  AddTrackingContrl(false);
  services_.view.redraw();
  services_.view.showWaitPanel(true);
  pause();
  bool ok = services_.readers.OnRepair(prvs_);
  services_.view.repairFinished(tag, ok);
  if (!ok) {
    services_.view.showWaitPanel(false);
    if (!flag_) AddTrackingContrl(true);
    return;
  }
  for (Row row : {Row::Network, Row::Tcpip}) {
    services_.view.setRowImage(row, "before");
    services_.view.setRowText(row, "");
    services_.view.setRowCode(row, "");
  }
  if (!flag_) {
    services_.view.setRowImage(Row::Line, "before");
    services_.view.setRowText(Row::Line, "");
    services_.view.setRowCode(Row::Line, "");
  }
  services_.view.showWaitPanel(false);
  // Whether the user started this repair is decided by flag as it stood on
  // entry: the re-checks below may offer a repair again and change flag.
  bool userStarted = !flag_;
  OnCheckNetwork();
  if (tag == 6) OnCheckTCPIP();
  if (userStarted) {
    if (tag == 7) OnCheckTCPIP();
    OnCheckURL();
    AddTrackingContrl(true);
  }
  flag_ = true;
}

}  // namespace corvane

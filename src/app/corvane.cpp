#include "app/corvane.h"

#include "app/hardware_panel_model.h"
#include "app/proxy_comparison.h"
#include "app/reader_records.h"
#include "app/recorded_line.h"
#include "app/row_texts.h"
#include "core/capture_manifest.h"
#include "core/os_version.h"
#include "core/text.h"
#include "repair/fix_kit.h"

namespace corvane {
namespace {

const std::vector<Button> kAllButtons = {Button::SystemDetail, Button::TcpipDetail, Button::NetworkDetail,
                                         Button::MailDetail,   Button::Start,       Button::LineCheck,
                                         Button::Help,         Button::Quit};
const std::vector<Button> kMainButtons = {Button::Start, Button::LineCheck, Button::Help, Button::Quit};
// Accepted repair offers for one user action at most (see flag_).
constexpr int kMaxAcceptedRepairs = 3;
// How long a tool runs before its row names it.
constexpr double kNameWaitedToolAfter = 3.0;

bool isEmptyText(const std::optional<std::string>& text) { return !text || text->empty(); }

std::unique_ptr<HttpDownloader> recordedLineDownloader(const Platform& platform) {
  const CapturePlatform* capture = asCapture(platform);
  return capture ? std::make_unique<RecordedLineDownloader>(capture->lineRecording()) : nullptr;
}

}  // namespace

Corvane::Corvane(CorvaneServices services, ProviderDatas prvs)
    : services_(std::move(services)),
      prvs_(std::move(prvs)),
      recordedLine_(recordedLineDownloader(services_.platform)),
      lineCheck_(
          services_.runLoop, services_.platform, recordedLine_ ? *recordedLine_ : services_.downloader,
          [this] { downloadDidFinish(); }, [this] { didFailWithError(); }),
      self_(std::make_shared<Corvane*>(this)) {
  // The platform may outlive the controller (and the controller the
  // platform): the callback finds out whether the controller still exists.
  std::weak_ptr<Corvane*> self = self_;
  services_.platform.whileToolRuns = [self](const std::string& tool, double seconds) {
    if (auto alive = self.lock()) (*alive)->toolIsRunning(tool, seconds);
  };
}

// The line check's download is cancelled and waited for as it is destroyed.
Corvane::~Corvane() = default;

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
  for (Row row : kAllRows) services_.view.setRowImage(row, RowImage::Before);
  for (Row row : kAllRows) services_.view.setRowText(row, "");
  for (Row row : kAllRows) services_.view.setRowCode(row, "");
}

void Corvane::displayText(Row row, RowImage image, std::string_view text) { showRow(row, image, l(text)); }

void Corvane::showRow(Row row, RowImage image, const std::string& text) {
  if (image == RowImage::Check)
    beginToolWatch(row);
  else if (row == checkingRow_)
    checking_ = false;
  services_.view.setRowImage(row, image);
  services_.view.setRowText(row, text);
  services_.view.redraw();
}

void Corvane::setCode(Row row, ResultCode code) { services_.view.setRowCode(row, resultCodeText(code)); }

void Corvane::clearCode(Row row) { services_.view.setRowCode(row, ""); }

void Corvane::pause() { services_.view.pause(services_.timings.pauseSeconds); }

void Corvane::AlertShow(std::string_view messageKey) {
  services_.view.showAlert(Alert{std::string(messageKey), l("title"), l(messageKey), l("OK")});
}

// ---- buttons ----------------------------------------------------------------

void Corvane::OnButton(Button button) {
  switch (button) {
    case Button::Start: runSequence(); break;
    case Button::LineCheck:
      lineCheck_.retire();
      clearCode(Row::Line);
      AddTrackingContrl(false);
      OnCheckURL();
      break;
    case Button::Help: services_.view.openHelp(); break;
    case Button::Quit: OnCancel(); break;
    case Button::SystemDetail: systemDetail(); break;
    case Button::TcpipDetail: tcpipDetail(); break;
    case Button::NetworkDetail: networkDetail(); break;
    case Button::MailDetail: mailDetail(); break;
    default: break;
  }
}

void Corvane::AddTrackingContrl(bool enable) { services_.view.armButtons(kAllButtons, enable); }

// The window removes the help registration as it quits (help_file.h).
void Corvane::OnCancel() { services_.view.quit(); }

void Corvane::runSequence() {
  // A line check still running (after a repair from a detail button) ends
  // here: its late report must not touch the new sequence's rows or buttons.
  lineCheck_.retire();
  acceptedRepairs_ = 0;
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
  displayText(Row::System, RowImage::Check, "check");
  pause();
  os_ = services_.readers.getOS();
  hdd_ = services_.readers.getHDD();
  noteUnansweredTools(Row::System);
  displayText(Row::System, RowImage::Ok, formatText("%@\n%@ : %@", {os_, l("hdd"), hdd_}));
}

void Corvane::checkHardwareRow() {
  displayText(Row::Hardware, RowImage::Check, "check");
  pause();
  hardwareProfile_ = services_.readers.getSystemProfile("SPHardwareDataType");
  noteUnansweredTools(Row::Hardware);
  displayText(Row::Hardware, RowImage::Ok, hardwareRowText(hardwareProfile_, services_.strings));
}

// ---- network ----------------------------------------------------------------

bool Corvane::proxyListHasAutomatic() const { return osAtLeast(services_.platform, "10.3.2"); }

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
  displayText(Row::Network, RowImage::Check, "check");
  clearCode(Row::Network);
  pause();

  networks_ = services_.readers.getNetwork();
  noteUnansweredTools(Row::Network);
  if (!networks_.isArray()) networks_ = Value(Value::Array{});

  const Value& first = firstPortEntry();
  const std::string text = networkRowText(first, proxyListHasAutomatic(), services_.strings);
  if (first.isAbsent()) {
    // No port list, no location entry or a location without ports: nothing
    // to check and nothing to repair.
    port_.clear();
    mac_.clear();
    proxy_ = Value(Value::Array{});
    proxies_ = {};
    IsProxyOK_ = false;
  } else {
    // A port entry of one element has no proxy list; a short list has no
    // proxies set at the indexes it lacks.
    const PortEntry entry = PortEntry::fromList(first, proxyListHasAutomatic());
    port_ = entry.port;
    mac_ = entry.mac;
    proxy_ = entry.proxyList;
    proxies_ = entry.proxies;
    IsProxyOK_ = proxiesMatchProvider(proxies_, prvs_);

    if (!mac_.empty() && IsProxyOK_) {
      IsNetworkErr_ = false;
      displayText(Row::Network, RowImage::Ok, text);
      return;
    }
  }
  displayText(Row::Network, RowImage::Err, text);
  IsNetworkErr_ = true;
  flag_ = true;
  OnButton(Button::NetworkDetail);
}

// ---- TCP/IP -----------------------------------------------------------------

void Corvane::OnCheckTCPIP() {
  displayText(Row::Tcpip, RowImage::Check, "check");
  clearCode(Row::Tcpip);
  pause();

  tcpips_ = services_.readers.getTCPIP();
  noteUnansweredTools(Row::Tcpip);
  if (!tcpips_.isArray()) tcpips_ = Value(Value::Array{});
  if (tcpips_.count() == 0) {
    displayText(Row::Tcpip, RowImage::Err, l("noNetwork"));
    IsTcpipErr_ = false;
    IsIPv6Err_ = false;
    setCode(Row::Tcpip, ResultCode::NoTcpipService);
    return;
  }

  const TcpipRecord record = TcpipRecord::fromList(tcpips_[0]);
  const std::string& ip = record.address.address;
  const std::string& method = record.method;
  const std::string& server = record.dnsServerInUse;
  const std::string text = tcpipRowText(record, services_.strings);

  // A provider that prescribes no method leaves the method unjudged.
  bool methodOk = !prvs_.tcp.has_value() || method == *prvs_.tcp;
  bool ok = intValueOfText(ip) != 0 && intValueOfText(server) != 0 &&
            (isEmptyText(prvs_.routerip) || server == *prvs_.routerip) && methodOk;
  IsTcpipErr_ = false;
  IsIPv6Err_ = false;
  if (ok) {
    displayText(Row::Tcpip, RowImage::Ok, text);
    return;
  }
  displayText(Row::Tcpip, RowImage::SysErr, text);
  if (methodOk) {
    setCode(Row::Tcpip, ResultCode::AddressOrDnsFault);
  } else {
    displayText(Row::Tcpip, RowImage::Err, text);
    flag_ = true;
    IsTcpipErr_ = true;
  }
  OnButton(Button::TcpipDetail);
}

// ---- browser and mail -------------------------------------------------------

void Corvane::OnCheckBrowser() {
  displayText(Row::Browser, RowImage::Check, "check");
  clearCode(Row::Browser);
  pause();

  browsers_ = services_.readers.getBrowser();
  noteUnansweredTools(Row::Browser);
  const std::string text = browserRowText(browsers_);
  displayText(Row::Browser, RowImage::Ok, text);
}

void Corvane::OnCheckMail() {
  displayText(Row::Mail, RowImage::Check, "check");
  clearCode(Row::Mail);
  pause();

  mails_ = services_.readers.getMail();
  noteUnansweredTools(Row::Mail);
  const MailList mail = MailList::fromList(mails_);
  const std::string text = mailRowText(mail, services_.strings);
  if (!mail.installed || mail.accountCount != 0) {
    displayText(Row::Mail, RowImage::Ok, text);
    return;
  }
  // Mail without an account.
  displayText(Row::Mail, RowImage::Err, text);
  if (flag_)
    setCode(Row::Mail, ResultCode::NoMailAccount);
  else
    OnButton(Button::MailDetail);
}

int Corvane::RunMailSetupApp() {
  return services_.platform.launchProgram(services_.bundle.resourcesFolder() +
                                          "/Plovis.app/Contents/MacOS/Plovis(Mail)");
}

// ---- line check -------------------------------------------------------------

void Corvane::OnCheckURL() {
  if (!URLOK_) {
    AlertShow("NoURLCheck");
    setCode(Row::Line, ResultCode::NoWebEngine);
    AddTrackingContrl(true);
    return;
  }
  lineCheck_.clearFailure();
  if (const CapturePlatform* recorded = capture(); recorded && !recorded->lineRecording()) {
    // Nothing tells how the customer's line did; this machine's line is not
    // theirs. The row is not run (check_report.cpp says why).
    displayText(Row::Line, RowImage::Before, "lineNotRecorded");
    clearCode(Row::Line);
    AddTrackingContrl(true);
    return;
  }
  displayText(Row::Line, RowImage::Check, "check");
  clearCode(Row::Line);
  pause();
  startDownload();
}

void Corvane::startDownload() {
  DownloadRequest request;
  const CapturePlatform* recorded = capture();
  request.url = recorded && recorded->lineRecording() ? recorded->lineRecording()->url : prvs_.testurl.value_or("");
  request.timeoutSeconds = services_.timings.requestTimeout;
  request.totalSeconds = services_.timings.transferCap;
  request.reloadIgnoringCache = true;
  request.destinationFolder = services_.platform.temporaryFolder();
  // Before 10.3 only the download's own limits end the check.
  std::optional<double> timer;
  if (osAtLeast(services_.platform, "10.3")) timer = services_.timings.lineTimeout;
  lineCheck_.start(request, timer);
}

void Corvane::showLineVerdict(RowImage image, std::string_view key) {
  const CapturePlatform* recorded = capture();
  if (!recorded) return displayText(Row::Line, image, key);
  showRow(Row::Line, image,
          l(key) + " " + formatText(l("lineRecordedOn"), {recorded->manifest().host, recorded->manifest().time}));
}

void Corvane::downloadDidFinish() {
  showLineVerdict(RowImage::Ok, "ok");
  lineCheck_.end();
  AddTrackingContrl(true);
}

void Corvane::didFailWithError() {
  showLineVerdict(RowImage::SysErr, "syserr");
  setCode(Row::Line, ResultCode::LineCheckFailed);
  lineCheck_.end();
  AddTrackingContrl(true);
}

void Corvane::TimeOut() { lineCheck_.timeOut(); }

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
  offer.fixKit = rootIsCapture();
  offer.acceptable = acceptedRepairs_ < kMaxAcceptedRepairs;
  const bool accepted = services_.view.runRepairPanel(offer) && offer.acceptable;
  if (accepted) ++acceptedRepairs_;
  return accepted;
}

void Corvane::tcpipDetail() {
  if (!flag_) acceptedRepairs_ = 0;  // the user's button
  if (networks_.count() == 0) {
    AlertShow("networkNoMsg");
  } else if (IsTcpipErr_ || IsIPv6Err_) {
    bool v4 = IsTcpipErr_;
    std::string label = l(v4 ? "setNetwork" : "setNetworkIPv6");
    const TcpipRecord record = TcpipRecord::fromList(tcpips_[0]);
    std::string current = l(v4 ? record.method : record.ipv6Method);
    std::vector<std::string> pairs = {
        label, current, "", "", l("recommended"), "", label, l(v4 ? "DHCP" : "Automatic")};
    setCode(Row::Tcpip, ResultCode::MethodDiffers);
    if (offerRepair(Row::Tcpip, v4 ? "DHCPErrMsg" : "IPv6ErrMsg", pairs)) repairNetwork(Button::TcpipDetail);
  }
  if (!flag_) services_.view.runTcpipPanel(tcpips_, networks_);
  flag_ = false;
}

void Corvane::networkDetail() {
  if (!flag_) acceptedRepairs_ = 0;  // the user's button
  if (IsNetworkErr_) {
    bool answer = false;
    if (firstPortEntry().isAbsent()) {
      // No port to repair: the user is told, nothing is offered.
      AlertShow("networkNoMsg");
    } else {
      setCode(Row::Network, IsProxyOK_ ? ResultCode::NoHardwareAddress : ResultCode::ProxiesDiffer);
      answer = offerRepair(Row::Network, IsProxyOK_ ? "networkErrMsg" : "networkProxyErrMsg",
                           proxyOfferPairs(proxies_, prvs_, services_.strings));
    }
    if (answer) repairNetwork(Button::NetworkDetail);
  }
  if (!flag_) services_.view.runNetworkPanel(networks_, proxyListHasAutomatic());
  flag_ = false;
}

Value Corvane::mailAccounts() const {
  const Value& accounts = mails_[mails_.count() - 1];
  return accounts.isArray() ? accounts : Value(Value::Array{});
}

void Corvane::mailDetail() { services_.view.runMailPanel(mailAccounts()); }

bool Corvane::rootIsCapture() const { return readCaptureManifest(services_.platform).has_value(); }

void Corvane::makeFixKit() {
  const std::string folder = services_.view.chooseKitFolder();
  if (folder.empty()) return;
  const KitOutcome kit = writeFixKit(services_.platform, prvs_, folder);
  const char* key = !kit.ok() ? "fixKitNotWritten" : kit.alreadyMatches ? "fixKitNotNeeded" : "fixKitWritten";
  services_.view.showAlert(Alert{key, l("title"), formatText(l(key), {kit.ok() ? folder : kit.failure}), l("OK")});
}

void Corvane::repairNetwork(Button detail) {
  // A capture is the customer's Mac as it was: it gets a kit to install
  // there; nothing is changed here and no row is checked again.
  if (rootIsCapture()) {
    makeFixKit();
    return;
  }
  // A user-started repair checks the line again at its end; a line check
  // still running from before must not end in the middle of the repair.
  if (!flag_) lineCheck_.retire();
  AddTrackingContrl(false);
  services_.view.redraw();
  services_.view.showWaitPanel(true);
  pause();
  bool ok = services_.readers.OnRepair(prvs_);
  services_.view.repairFinished(detail, ok);
  if (!ok) {
    services_.view.showWaitPanel(false);
    if (!flag_) AddTrackingContrl(true);
    return;
  }
  for (Row row : {Row::Network, Row::Tcpip}) {
    services_.view.setRowImage(row, RowImage::Before);
    services_.view.setRowText(row, "");
    services_.view.setRowCode(row, "");
  }
  if (!flag_) {
    services_.view.setRowImage(Row::Line, RowImage::Before);
    services_.view.setRowText(Row::Line, "");
    services_.view.setRowCode(Row::Line, "");
  }
  services_.view.showWaitPanel(false);
  // Whether the user started this repair is decided by flag as it stood on
  // entry: the re-checks below may offer a repair again and change flag.
  bool userStarted = !flag_;
  OnCheckNetwork();
  if (detail == Button::TcpipDetail) OnCheckTCPIP();
  if (userStarted) {
    if (detail == Button::NetworkDetail) OnCheckTCPIP();
    OnCheckURL();
    AddTrackingContrl(true);
  }
  flag_ = true;
}

}  // namespace corvane

#pragma once
// The controller: owns the provider settings, runs the check sequence row by
// row, keeps what the readers returned for the detail panels and the repair
// offers, and drives the line check. It talks to its window only through
// CorvaneView, and everything it does runs on the thread of its RunLoop.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/check_readers.h"
#include "app/corvane_view.h"
#include "app/line_check.h"
#include "app/reader_records.h"
#include "app/result_codes.h"
#include "core/bundle.h"
#include "core/capture_platform.h"
#include "core/http_download.h"
#include "core/localized_strings.h"
#include "core/platform.h"
#include "core/plist_value.h"
#include "provider/provider_datas.h"

namespace corvane {

// The fixed waits of the sequence and the line check; tests shorten them.
struct CorvaneTimings {
  double pauseSeconds = 1.0;     // after a row is set to "check"
  double requestTimeout = 10.0;  // the test download's own limit: no byte for so long
  double lineTimeout = 11.0;     // the line check's one-shot timer (OS 10.3 and later)
  double transferCap = 60.0;     // the whole download at most (what ends it before 10.3)
};

struct CorvaneServices {
  CorvaneView& view;
  RunLoop& runLoop;
  Platform& platform;
  CheckReaders& readers;
  HttpDownloader& downloader;
  const LocalizedStrings& strings;
  Bundle bundle;
  CorvaneTimings timings = {};
};

class Corvane {
 public:
  Corvane(CorvaneServices services, ProviderDatas prvs);
  ~Corvane();
  Corvane(const Corvane&) = delete;
  Corvane& operator=(const Corvane&) = delete;

  // Start-up: the layout is loaded (rows cleared, main buttons armed, web
  // engine looked for), then launching has finished (window title).
  void awakeFromNib();
  void applicationDidFinishLaunching();

  // A button released over itself (a tag that names no button does nothing).
  void OnButton(Button button);
  void AddTrackingContrl(bool enable);
  void OnCancel();

  void clearAll();
  void displayText(Row row, RowImage image, std::string_view text);
  void AlertShow(std::string_view messageKey);

  void OnCheckNetwork();
  void OnCheckTCPIP();
  void OnCheckBrowser();
  void OnCheckMail();
  // Runs the bundle's mail set-up program and returns its exit status
  // (-1 when it cannot be started).
  int RunMailSetupApp();

  // The line check and its download's reports.
  void OnCheckURL();
  void downloadDidFinish();
  void didFailWithError();
  void TimeOut();
  bool lineCheckRunning() const { return lineCheck_.running(); }
  const LineFailure& lineFailure() const { return lineCheck_.failure(); }
  // The capture the controller reads (its line is the recorded one); nullptr
  // for a system folder.
  const CapturePlatform* capture() const { return asCapture(services_.platform); }

  // The repair run after an accepted offer, made by the TCP/IP or the network
  // detail action.
  void repairNetwork(Button detail);

  // The controller's fields, for front ends and tests.
  const ProviderDatas& prvs() const { return prvs_; }
  const Value& networks() const { return networks_; }
  // What the system, hardware and browser rows read (empty before they ran).
  const std::string& os() const { return os_; }
  const std::string& hdd() const { return hdd_; }
  const Value& hardwareProfile() const { return hardwareProfile_; }
  const Value& browsers() const { return browsers_; }
  const Value& tcpips() const { return tcpips_; }
  const Value& mails() const { return mails_; }
  // The mail list's accounts (its last element), an empty list when it has none.
  Value mailAccounts() const;
  // The proxy lists carry the automatic proxy after the seven protocols
  // (10.3.2 and later): the lists' full length and the panels' fields.
  bool proxyListHasAutomatic() const;
  const Value& proxy() const { return proxy_; }
  const std::string& port() const { return port_; }
  const std::string& mac() const { return mac_; }
  // The re-entry flag (see flag_ below).
  bool flag() const { return flag_; }
  bool IsNetworkErr() const { return IsNetworkErr_; }
  bool IsTcpipErr() const { return IsTcpipErr_; }
  bool IsIPv6Err() const { return IsIPv6Err_; }
  bool IsProxyOK() const { return IsProxyOK_; }
  bool URLOK() const { return URLOK_; }

  // The hardware panel's rows for the mounted volumes.
  std::vector<VolumeRow> hardwarePanelRows() const;

 private:
  std::string l(std::string_view key) const { return services_.strings.text(key); }
  void setCode(Row row, ResultCode code);
  void clearCode(Row row);
  void pause();
  // The first port entry of the current location, or absent.
  const Value& firstPortEntry() const;

  void runSequence();
  void checkSystemRow();
  void checkHardwareRow();

  void systemDetail();
  void tcpipDetail();
  void networkDetail();
  void mailDetail();
  bool offerRepair(Row row, std::string_view messageKey, const std::vector<std::string>& flatPairs);

  void startDownload();
  // The line row's verdict; for a capture it says the line was recorded on
  // the customer's Mac and when.
  void showLineVerdict(RowImage image, std::string_view key);
  void showRow(Row row, RowImage image, const std::string& text);

  // The root is a customer's capture: repaired through a fix kit, never in place.
  bool rootIsCapture() const;
  // Writes the capture's fix kit into the folder the view chooses and says
  // where, or why not; a declined choice writes nothing.
  void makeFixKit();

  // A row's check begins: tools that did not answer before are not its own.
  void beginToolWatch(Row row);
  // Tells the view which tools did not answer during the row's check.
  void noteUnansweredTools(Row row);
  // Called while a tool runs: names it in the row after a few seconds and
  // keeps the window responsive.
  void toolIsRunning(const std::string& tool, double seconds);

  CorvaneServices services_;
  ProviderDatas prvs_;

  std::string os_;
  std::string hdd_;
  Value hardwareProfile_;
  Value browsers_;
  Value networks_;
  Value tcpips_;
  Value mails_;
  Value proxy_;
  ProxyList proxies_;  // proxy_ under names
  std::string port_;
  std::string mac_;
  bool IsNetworkErr_ = false;
  bool IsTcpipErr_ = false;
  bool IsIPv6Err_ = false;
  bool IsProxyOK_ = false;
  bool URLOK_ = false;
  // The re-entry rule. A detail action (TCP/IP or network) is entered
  // either by the user's button or by a check that found a fault, and an
  // accepted offer repairs, then checks the network rows again, which may
  // offer a repair again from inside the repair. flag_ tells them apart:
  // - A check sets it before it enters the detail action itself; the action
  //   then shows no detail panel, and a repair made from it neither retires
  //   nor restarts the line check, nor re-arms the buttons: the sequence
  //   that runs it does so at its end.
  // - flag_ false on entering repairNetwork means the user started it: it
  //   retires a running line check, clears the line row, re-checks TCP/IP
  //   and the line after the network and re-arms the buttons.
  // - repairNetwork leaves it set, so the detail action that made the offer
  //   shows no panel after a repair; the TCP/IP and network detail actions
  //   clear it on their way out, and awakeFromNib clears it at start.
  // A repair that does not cure the fault is thus offered again, nested; at
  // most kMaxAcceptedRepairs offers per user action may be accepted
  // (acceptedRepairs_, reset when the user starts a sequence or a detail
  // action), so that nesting ends even when every offer is accepted.
  bool flag_ = false;
  int acceptedRepairs_ = 0;
  // The row whose check is running, for the name of a tool it waits for.
  Row checkingRow_ = Row::System;
  bool checking_ = false;
  // The tool the row names as the one it waits for.
  std::string waitedTool_;

  // A capture's line is answered from its recording, never downloaded.
  std::unique_ptr<HttpDownloader> recordedLine_;
  LineCheck lineCheck_;
  // Posted download reports check it, so that none reaches a destroyed controller.
  std::shared_ptr<Corvane*> self_;
};

}  // namespace corvane

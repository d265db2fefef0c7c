#pragma once
// The window the controller talks to. The Qt window, the command line and the
// tests are three views of one controller; this is all the controller needs
// of any of them. Texts handed to a view are already localized.

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/plist_value.h"

namespace corvane {

// The seven result rows of the main window, in the order the sequence fills them.
enum class Row { System, Hardware, Network, Tcpip, Browser, Mail, Line };
inline constexpr Row kAllRows[] = {Row::System,  Row::Hardware, Row::Network, Row::Tcpip,
                                   Row::Browser, Row::Mail,     Row::Line};

// "system", "hardware", "network", "tcpip", "browser", "mail", "line".
std::string_view rowName(Row row);

// A row's status image.
enum class RowImage { Before, Check, Ok, Err, SysErr };
// "before", "check", "ok", "err", "syserr": the image's name in the bundle.
std::string_view rowImageName(RowImage image);

// The window's buttons by their tags. A tag outside these names no button.
enum class Button : int {
  Start = 1,
  LineCheck = 2,
  Help = 3,
  Quit = 4,
  SystemDetail = 5,
  TcpipDetail = 6,
  NetworkDetail = 7,
  MailDetail = 8,
};

// An informational alert: the message key and its localized texts.
struct Alert {
  std::string messageKey;
  std::string title;    // localized "title"
  std::string message;  // localized message key
  std::string button;   // localized "OK"
};

// The repair panel's question: an explanation and the current settings
// against the recommended ones, one (name, result) pair per table row.
struct RepairOffer {
  Row row = Row::Network;  // the row whose fault is offered for repair
  std::string messageKey;  // "networkErrMsg", "networkProxyErrMsg", "DHCPErrMsg", "IPv6ErrMsg"
  std::string message;     // its localized text
  std::vector<std::pair<std::string, std::string>> pairs;
  // What the repair will do: the location it switches to and the services
  // it turns off ("" and none when not known), and the same as localized
  // sentences to show beside the table.
  std::string location;
  std::vector<std::string> turnedOff;
  std::vector<std::string> planLines;
  // The root is a customer's capture: an accepted offer makes a fix kit for
  // the captured Mac (the panel's yes button says so); the capture itself is
  // never repaired.
  bool fixKit = false;
  // False once the controller has run as many accepted repairs for one user
  // action as it allows: the controller repairs nothing whatever the
  // answer, and a view that answers for the user answers no.
  bool acceptable = true;
};

// One mounted volume of the hardware panel, its sizes already formatted.
struct VolumeRow {
  std::string volume;
  std::string free;
  std::string all;
};

class CorvaneView {
 public:
  virtual ~CorvaneView() = default;

  virtual void setTitle(std::string_view title) = 0;

  // A row's status image, its result text and its five-digit result code
  // (or the empty text).
  virtual void setRowImage(Row row, RowImage image) = 0;
  virtual void setRowText(Row row, std::string_view text) = 0;
  virtual void setRowCode(Row row, std::string_view code) = 0;

  // Shows the alert and waits until it is dismissed.
  virtual void showAlert(const Alert& alert) = 0;

  // Runs the repair panel modally: true when the user chose to repair.
  virtual bool runRepairPanel(const RepairOffer& offer) = 0;

  // Run the detail panels modally; each returns when the user closes it.
  // The panel models (hardware_panel.h, network_panel.h, tcpip_panel.h,
  // mail_panel.h) turn these data into the fields a panel shows.
  virtual void runHardwarePanel(const std::vector<VolumeRow>& volumes) = 0;
  // hasAutomatic: the proxy lists carry the automatic proxy (10.3.2 and later).
  virtual void runNetworkPanel(const Value& networks, bool hasAutomatic) = 0;
  virtual void runTcpipPanel(const Value& tcpips, const Value& networks) = 0;
  virtual void runMailPanel(const Value& accounts) = 0;

  // Arms (true) or disarms (false) these buttons, in this order. A disarmed
  // button does not react.
  virtual void armButtons(const std::vector<Button>& buttons, bool enabled) = 0;

  // Waits for the given seconds; the window keeps repainting meanwhile.
  virtual void pause(double seconds) = 0;
  // Repaints the whole window now.
  virtual void redraw() = 0;
  // Shows or hides the waiting panel of a repair.
  virtual void showWaitPanel(bool shown) = 0;
  // Asks where the fix kit of a capture goes: a host folder, or "" when the
  // user declined (nothing is written then). A view that cannot ask declines.
  virtual std::string chooseKitFolder() { return ""; }
  // Tells how a repair ended, by the detail button that offered it (TCP/IP
  // or network); before its re-checks.
  virtual void repairFinished(Button detail, bool ok) {
    (void)detail;
    (void)ok;
  }

  virtual void openHelp() = 0;
  virtual void quit() = 0;
  // Why a row's check could not read everything: the tools that did not
  // answer ("/usr/bin/nslookup did not answer"), for the log and reports. The
  // empty text clears it.
  virtual void setRowCause(Row row, std::string_view cause) {
    (void)row;
    (void)cause;
  }
  // Called often while the controller waits for a tool: a window handles
  // its pending events here (repaint, close box) so that it never freezes.
  virtual void keepResponsive() {}
};

// The controller's own thread: work from other threads and timers reach the
// controller through it. The Qt window posts to its event loop; the command
// line and the tests use an EventQueue (event_queue.h).
class RunLoop {
 public:
  using TimerId = unsigned long;

  virtual ~RunLoop() = default;
  // Runs task later on the controller's thread. Safe from any thread.
  virtual void post(std::function<void()> task) = 0;
  // Runs task once after the given seconds on the controller's thread.
  virtual TimerId startTimer(double seconds, std::function<void()> task) = 0;
  // A cancelled timer never fires; cancelling a fired or unknown one does nothing.
  virtual void cancelTimer(TimerId id) = 0;
};

}  // namespace corvane

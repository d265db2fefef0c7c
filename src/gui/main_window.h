#pragma once
// The main window: the banner, seven result rows (status image, text, result
// code), the detail buttons of four of them and the four main buttons. It is
// one more view of the controller: it shows what the controller tells it and
// hands button clicks back, and decides nothing itself.

#include <QDialog>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "app/check_report.h"
#include "app/corvane_view.h"
#include "core/platform.h"
#include "gui/gui_resources.h"

class QLabel;
class QPushButton;

namespace Ui {
class MainWindow;
}

namespace corvane {

class Corvane;
class HardwarePanel;
class HelpWindow;
class ImageButton;
class MailPanel;
class NetworkErrPanel;
class NetworkPanel;
class TCPIPPanel;
class WaitPanel;

class MainWindow : public QWidget, public CorvaneView {
  Q_OBJECT

 public:
  MainWindow(const GuiResources& resources, Platform& platform, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The controller that receives the buttons' clicks and the close box.
  void setController(Corvane* controller) { controller_ = controller; }

  // CorvaneView
  void setTitle(std::string_view title) override;
  void setRowImage(Row row, RowImage image) override;
  void setRowText(Row row, std::string_view text) override;
  void setRowCode(Row row, std::string_view code) override;
  void setRowCause(Row row, std::string_view cause) override;
  void showAlert(const Alert& alert) override;
  bool runRepairPanel(const RepairOffer& offer) override;
  std::string chooseKitFolder() override;
  void runHardwarePanel(const std::vector<VolumeRow>& volumes) override;
  void runNetworkPanel(const Value& networks, bool hasAutomatic) override;
  void runTcpipPanel(const Value& tcpips, const Value& networks) override;
  void runMailPanel(const Value& accounts) override;
  void armButtons(const std::vector<Button>& buttons, bool enabled) override;
  void pause(double seconds) override;
  void redraw() override;
  void showWaitPanel(bool shown) override;
  void openHelp() override;
  void quit() override;
  void keepResponsive() override;

  // The widgets of a row, and the button with a tag (1 to 8), for tests and
  // scripts.
  struct RowWidgets {
    QLabel* image;
    QLabel* text;
    QLabel* code;
  };
  RowWidgets rowWidgets(Row row) const;
  ImageButton* button(int tag) const;
  NetworkErrPanel* repairPanel() const { return repairPanel_; }
  NetworkPanel* networkPanel() const { return networkPanel_; }
  TCPIPPanel* tcpipPanel() const { return tcpipPanel_; }
  HardwarePanel* hardwarePanel() const { return hardwarePanel_; }
  MailPanel* mailPanel() const { return mailPanel_; }
  QWidget* waitPanel() const;
  HelpWindow* helpWindow() const { return help_; }

  // True while a button's action runs (the window then takes no input).
  bool busy() const { return busy_ > 0; }

  // The report of the rows as they stand (the same form as corvane-cli
  // check --json), its readable HTML and its text.
  nlohmann::ordered_json report() const;
  // Writes the JSON report to jsonPath and the HTML report beside it (the
  // same name ending in ".html"); false when either cannot be written.
  bool saveReport(const QString& jsonPath) const;
  // "corvane-report-YYYYMMDD-HHMMSS.json" in the user's documents folder.
  QString defaultReportPath() const;
  // Puts the report's text on the clipboard.
  void copyReport() const;
  QPushButton* saveReportButton() const { return saveReport_; }
  QPushButton* copyReportButton() const { return copyReport_; }
  // The save dialog; tests replace it. Returns the chosen path or "".
  std::function<QString(const QString& suggested)> askReportPath;
  // The folder dialog for a capture's fix kit; tests replace it. Returns the
  // chosen folder or "".
  std::function<QString()> askKitFolder;

  // Ends the application once the help registration is removed; tests
  // replace it. By default QCoreApplication::quit.
  std::function<void()> terminate;
  // Called with each panel or alert just before it runs modally, and its
  // kind ("repair", "network", "tcpip", "hardware", "mail", "alert").
  std::function<void(QDialog* panel, const char* kind)> panelWillRun;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Building the window, in this order.
  void paintBackground();
  void styleRows();
  void setUpButtons();
  void makePanels();
  void addReportButtons();
  void setUpKeyboardAndScreenReaders();
  QLabel* rowLabel(Row row) const;

  void onButton(int tag);
  // What the close box and the quit button do: the controller's OnCancel.
  void cancel();
  void willRun(QDialog* panel, const char* kind);
  void onSaveReport();
  // The window grows (never shrinks below its start) to fit its rows' texts.
  void fitRows();

  const GuiResources& resources_;
  Platform& platform_;
  std::unique_ptr<Ui::MainWindow> ui_;
  QLabel* background_ = nullptr;
  std::map<int, ImageButton*> buttons_;
  Corvane* controller_ = nullptr;
  NetworkErrPanel* repairPanel_ = nullptr;
  NetworkPanel* networkPanel_ = nullptr;
  TCPIPPanel* tcpipPanel_ = nullptr;
  HardwarePanel* hardwarePanel_ = nullptr;
  MailPanel* mailPanel_ = nullptr;
  WaitPanel* waitPanel_ = nullptr;
  HelpWindow* help_ = nullptr;
  int busy_ = 0;
  bool quitting_ = false;
  std::map<Row, ReportRow> reportRows_;
  std::vector<ReportOffer> offers_;
  QPushButton* saveReport_ = nullptr;
  QPushButton* copyReport_ = nullptr;
  // The close box was used while an action ran.
  bool closeAfterAction_ = false;
};

}  // namespace corvane

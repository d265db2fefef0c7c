#include "gui/main_window.h"

#include "core/capture_manifest.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "app/corvane.h"
#include "app/help_file.h"
#include "core/os_version.h"
#include "gui/hardware_panel.h"
#include "gui/help_window.h"
#include "gui/image_button.h"
#include "gui/mail_panel.h"
#include "gui/network_err_panel.h"
#include "gui/network_panel.h"
#include "gui/set_image.h"
#include "gui/tcpip_panel.h"
#include "gui/wait_panel.h"
#include "ui_main_window.h"

namespace corvane {
namespace {

constexpr const char* kStyle = R"(
QFrame#rowsCard { background: rgba(255, 255, 255, 236); border: 1px solid #CFDCEA; border-radius: 12px; }
QFrame#rowsCard QLabel { background: transparent; }
QFrame#rowsCard QFrame[frameShape="4"] { color: #E3EBF3; background: transparent; }
)";

}  // namespace

MainWindow::MainWindow(const GuiResources& resources, Platform& platform, QWidget* parent)
    : QWidget(parent), resources_(resources), platform_(platform), ui_(std::make_unique<Ui::MainWindow>()) {
  terminate = [] { QCoreApplication::quit(); };
  ui_->setupUi(this);
  setWindowIcon(resources.appIcon);
  setWindowTitle(resources.string("title"));
  setStyleSheet(kStyle);

  background_ = new QLabel(this);
  background_->setScaledContents(true);
  background_->lower();
  setImage(background_, resources.bundle, "background");
  setImage(ui_->banner, resources.bundle, "banner");
  ui_->banner->setStyleSheet("background: #1E80E2;");

  const std::pair<Row, const char*> rowNames[] = {
      {Row::System, "systemRow"},   {Row::Hardware, "hardwareRow"}, {Row::Network, "networkRow"},
      {Row::Tcpip, "tcpipRow"},     {Row::Browser, "browserRow"},   {Row::Mail, "mailRow"},
      {Row::Line, "lineRow"}};
  const std::pair<Row, QLabel*> rowLabels[] = {
      {Row::System, ui_->l_system}, {Row::Hardware, ui_->l_hardware}, {Row::Network, ui_->l_network},
      {Row::Tcpip, ui_->l_tcpip},   {Row::Browser, ui_->l_browser},   {Row::Mail, ui_->l_mail},
      {Row::Line, ui_->l_kaisen}};
  for (size_t i = 0; i < std::size(rowNames); ++i) {
    QLabel* label = rowLabels[i].second;
    label->setText(resources.text(rowNames[i].second));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet("color: #1F3550;");
    label->setMinimumWidth(std::max(96, label->sizeHint().width()));
  }
  for (Row row : kAllRows) {
    RowWidgets widgets = rowWidgets(row);
    widgets.text->setStyleSheet("color: #2B3A4A;");
    // Room for the longest row texts (three lines) without clipping.
    widgets.text->setMinimumHeight(3 * widgets.text->fontMetrics().lineSpacing() + 4);
    QFont code = widgets.code->font();
    code.setBold(true);
    code.setStyleHint(QFont::Monospace);
    code.setFamily("DejaVu Sans Mono");
    widgets.code->setFont(code);
    widgets.code->setStyleSheet("color: #C8352B;");
  }

  buttons_ = {{1, ui_->start}, {2, ui_->k_start}, {3, ui_->help},     {4, ui_->end},
              {5, ui_->t_system}, {6, ui_->t_tcpip}, {7, ui_->t_network}, {8, ui_->t_mail}};
  for (auto& [tag, button] : buttons_) {
    button->setResources(resources.bundle, resources.strings);
    // The detail buttons show the layout's state, their idle image, until
    // the first sequence arms them.
    if (tag >= 5) {
      button->trackingTag(tag);
    }
  }

  repairPanel_ = new NetworkErrPanel(resources, this);
  networkPanel_ = new NetworkPanel(resources, this);
  tcpipPanel_ = new TCPIPPanel(resources, this);
  hardwarePanel_ = new HardwarePanel(resources, this);
  mailPanel_ = new MailPanel(resources, this);
  waitPanel_ = new WaitPanel(resources, this);
  help_ = new HelpWindow(resources, this);
  help_->hide();

  // The window's width is the banner's; its height follows the rows.
  setFixedWidth(ui_->banner->minimumWidth());
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::waitPanel() const { return waitPanel_; }

MainWindow::RowWidgets MainWindow::rowWidgets(Row row) const {
  switch (row) {
    case Row::System: return {ui_->b_system, ui_->system, ui_->e_system};
    case Row::Hardware: return {ui_->b_hardware, ui_->hardware, ui_->e_hardware};
    case Row::Network: return {ui_->b_network, ui_->network, ui_->e_network};
    case Row::Tcpip: return {ui_->b_tcpip, ui_->tcpip, ui_->e_tcpip};
    case Row::Browser: return {ui_->b_browser, ui_->browser, ui_->e_browser};
    case Row::Mail: return {ui_->b_mail, ui_->mail, ui_->e_mail};
    case Row::Line: return {ui_->b_kaisen, ui_->kaisen, ui_->e_kaisen};
  }
  return {nullptr, nullptr, nullptr};
}

ImageButton* MainWindow::button(int tag) const {
  auto found = buttons_.find(tag);
  return found == buttons_.end() ? nullptr : found->second;
}

void MainWindow::setTitle(std::string_view title) {
  // A captured Mac is named in the title, so the support desk sees whose it is.
  const auto capture = readCaptureManifest(platform_);
  setWindowTitle(qtText(capture ? std::string(title) + " — " + captureName(*capture) : std::string(title)));
}

void MainWindow::setRowImage(Row row, std::string_view image) {
  setImage(rowWidgets(row).image, resources_.bundle, image);
}

void MainWindow::setRowText(Row row, std::string_view text) { rowWidgets(row).text->setText(qtText(text)); }

void MainWindow::setRowCode(Row row, std::string_view code) { rowWidgets(row).code->setText(qtText(code)); }

void MainWindow::willRun(QDialog* panel, const char* kind) {
  if (panelWillRun) panelWillRun(panel, kind);
}

void MainWindow::showAlert(const Alert& alert) {
  raise();
  activateWindow();
  QMessageBox box(this);
  box.setWindowTitle(qtText(alert.title));
  box.setText(qtText(alert.message));
  box.setIconPixmap(resources_.appIcon.pixmap(64, 64));
  box.addButton(qtText(alert.button), QMessageBox::AcceptRole);
  willRun(&box, "alert");
  box.exec();
}

bool MainWindow::runRepairPanel(const RepairOffer& offer) {
  willRun(repairPanel_, "repair");
  return repairPanel_->showPanel(offer.message, offer.pairs) == 1;
}

void MainWindow::runHardwarePanel(const std::vector<VolumeRow>& volumes) {
  willRun(hardwarePanel_, "hardware");
  hardwarePanel_->showPanel(volumes);
}

void MainWindow::runNetworkPanel(const Value& networks) {
  willRun(networkPanel_, "network");
  networkPanel_->showPanel(networks, osAtLeast(platform_, "10.3.2"));
}

void MainWindow::runTcpipPanel(const Value& tcpips, const Value& networks) {
  willRun(tcpipPanel_, "tcpip");
  tcpipPanel_->showPanel(tcpips, networks);
}

void MainWindow::runMailPanel(const Value& accounts) {
  willRun(mailPanel_, "mail");
  mailPanel_->showPanel(accounts);
}

void MainWindow::armButtons(const std::vector<int>& tags, bool enabled) {
  for (int tag : tags) {
    ImageButton* b = button(tag);
    if (b == nullptr) continue;
    if (enabled) {
      b->setup([this](int t) { onButton(t); }, tag);
    } else {
      b->trackingTag(tag);
    }
  }
}

void MainWindow::onButton(int tag) {
  if (controller_ == nullptr) return;
  ++busy_;
  controller_->OnButton(tag);
  --busy_;
}

void MainWindow::pause(double seconds) {
  // Paint and deliver the controller's own events meanwhile, but no input:
  // the window takes none while the sequence runs.
  if (!platform_.pausesEnabled() || seconds <= 0) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return;
  }
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(seconds * 1000.0), &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::redraw() { repaint(); }

void MainWindow::showWaitPanel(bool shown) {
  if (!shown) {
    waitPanel_->hide();
    return;
  }
  waitPanel_->adjustSize();
  waitPanel_->move(geometry().center() - waitPanel_->rect().center());
  waitPanel_->show();
  waitPanel_->raise();
  waitPanel_->repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::openHelp() {
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void MainWindow::quit() {
  if (quitting_) return;
  quitting_ = true;
  DeleteHelp(platform_, compOSVersion(platform_, "10.2"), Bundle::identifier);
  help_->close();
  hide();
  if (terminate) terminate();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (quitting_) {
    event->accept();
    return;
  }
  // Closing the window quits, like the quit button; not while an action
  // runs, since the window takes no input then.
  event->ignore();
  if (busy()) return;
  if (controller_ != nullptr) {
    controller_->OnCancel();
  } else {
    quit();
  }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  background_->setGeometry(rect());
}

}  // namespace corvane

#include "gui/main_window.h"

#include "core/capture_manifest.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <ctime>

#include "app/corvane.h"
#include "core/os_version.h"
#include "gui/hardware_panel.h"
#include "gui/help_file.h"
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

// The key of a row's label text.
const char* rowLabelKey(Row row) {
  switch (row) {
    case Row::System: return "systemRow";
    case Row::Hardware: return "hardwareRow";
    case Row::Network: return "networkRow";
    case Row::Tcpip: return "tcpipRow";
    case Row::Browser: return "browserRow";
    case Row::Mail: return "mailRow";
    case Row::Line: return "lineRow";
  }
  return "";
}

}  // namespace

MainWindow::MainWindow(const GuiResources& resources, Platform& platform, QWidget* parent)
    : QWidget(parent), resources_(resources), platform_(platform), ui_(std::make_unique<Ui::MainWindow>()) {
  terminate = [] { QCoreApplication::quit(); };
  ui_->setupUi(this);
  setWindowIcon(resources.appIcon);
  setWindowTitle(resources.string("title"));
  setStyleSheet(kStyle);

  paintBackground();
  styleRows();
  setUpButtons();
  makePanels();
  addReportButtons();
  setUpKeyboardAndScreenReaders();
  askReportPath = [this](const QString& suggested) {
    return QFileDialog::getSaveFileName(this, resources_.text("saveReportTitle"), suggested,
                                        resources_.text("reportFileTypes"));
  };
  askKitFolder = [this] {
    return QFileDialog::getExistingDirectory(this, resources_.text("kitFolderTitle"), QDir::homePath());
  };

  // The window's width is the banner's; its height follows the rows.
  setFixedWidth(ui_->banner->minimumWidth());
}

void MainWindow::paintBackground() {
  background_ = new QLabel(this);
  background_->setScaledContents(true);
  background_->lower();
  setImage(background_, resources_.bundle, "background");
  setImage(ui_->banner, resources_.bundle, "banner");
  ui_->banner->setStyleSheet("background: #1E80E2;");
}

QLabel* MainWindow::rowLabel(Row row) const {
  switch (row) {
    case Row::System: return ui_->l_system;
    case Row::Hardware: return ui_->l_hardware;
    case Row::Network: return ui_->l_network;
    case Row::Tcpip: return ui_->l_tcpip;
    case Row::Browser: return ui_->l_browser;
    case Row::Mail: return ui_->l_mail;
    case Row::Line: return ui_->l_kaisen;
  }
  return nullptr;
}

void MainWindow::styleRows() {
  for (Row row : kAllRows) {
    QLabel* label = rowLabel(row);
    label->setText(resources_.text(rowLabelKey(row)));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet("color: #1F3550;");
    label->setMinimumWidth(std::max(96, label->sizeHint().width()));

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
}

void MainWindow::setUpButtons() {
  buttons_ = {{1, ui_->start},    {2, ui_->k_start}, {3, ui_->help},      {4, ui_->end},
              {5, ui_->t_system}, {6, ui_->t_tcpip}, {7, ui_->t_network}, {8, ui_->t_mail}};
  for (auto& [tag, button] : buttons_) {
    button->setResources(resources_.bundle, resources_.strings);
    // The detail buttons show the layout's state, their idle image, until
    // the first sequence arms them.
    if (tag >= static_cast<int>(Button::SystemDetail)) button->trackingTag(tag);
  }
}

void MainWindow::makePanels() {
  repairPanel_ = new NetworkErrPanel(resources_, this);
  networkPanel_ = new NetworkPanel(resources_, this);
  tcpipPanel_ = new TCPIPPanel(resources_, this);
  hardwarePanel_ = new HardwarePanel(resources_, this);
  mailPanel_ = new MailPanel(resources_, this);
  waitPanel_ = new WaitPanel(resources_, this);
  help_ = new HelpWindow(resources_, this);
  help_->hide();
}

// Saving and copying the report for a support desk.
void MainWindow::addReportButtons() {
  saveReport_ = new QPushButton(resources_.text("saveReport"), this);
  copyReport_ = new QPushButton(resources_.text("copyReport"), this);
  saveReport_->setAccessibleDescription(resources_.text("saveReportDescription"));
  copyReport_->setAccessibleDescription(resources_.text("copyReportDescription"));
  connect(saveReport_, &QPushButton::clicked, this, [this] { onSaveReport(); });
  connect(copyReport_, &QPushButton::clicked, this, [this] { copyReport(); });
  auto* reportButtons = new QHBoxLayout;
  reportButtons->addStretch(1);
  reportButtons->addWidget(copyReport_);
  reportButtons->addWidget(saveReport_);
  ui_->contentLayout->addLayout(reportButtons);
}

// Keyboard order: the detail buttons row by row, then the main buttons left
// to right, then the report buttons. Names and descriptions for screen
// readers.
void MainWindow::setUpKeyboardAndScreenReaders() {
  const int tabOrder[] = {5, 7, 6, 8, 1, 2, 3, 4};
  QWidget* previous = nullptr;
  for (int tag : tabOrder) {
    ImageButton* b = button(tag);
    b->setAccessibleName(resources_.text("button" + std::to_string(tag)));
    b->setAccessibleDescription(resources_.text("button" + std::to_string(tag) + "Description"));
    if (previous != nullptr) setTabOrder(previous, b);
    previous = b;
  }
  setTabOrder(previous, copyReport_);
  setTabOrder(copyReport_, saveReport_);
  for (Row row : kAllRows) {
    RowWidgets widgets = rowWidgets(row);
    const QString name = resources_.text(rowLabelKey(row));
    widgets.image->setAccessibleName(name + ": " + resources_.string("status.before"));
    widgets.text->setAccessibleName(name);
    widgets.code->setAccessibleName(name + ": " + resources_.string("reportCode"));
  }
}

nlohmann::ordered_json MainWindow::report() const {
  ReportSource source;
  source.program = "corvane";
  source.version = CORVANE_VERSION;
  source.root = platform_.root().empty() ? "/" : platform_.root();
  source.bundle = resources_.bundle.folder();
  source.language = resources_.language;
  source.time = platform_.now();
  if (controller_ == nullptr) return nlohmann::ordered_json::object();
  nlohmann::ordered_json report = checkReport(source, windowTitle().toStdString(), reportRows_, offers_, *controller_,
                                              platform_, resources_.strings);
  report["details"] = detailsJson(*controller_, resources_.strings);
  replacePlaceholders(report, resources_.strings.text("notFound"));
  return report;
}

bool MainWindow::saveReport(const QString& jsonPath) const {
  const nlohmann::ordered_json json = report();
  QString htmlPath = jsonPath;
  if (htmlPath.endsWith(".json", Qt::CaseInsensitive)) htmlPath.chop(5);
  htmlPath += ".html";
  const std::string jsonText = json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
  const std::string htmlText = reportHtml(json, resources_.strings);
  // Written whole or not at all: a report cut short would mislead the desk.
  for (const auto& [path, text] : {std::pair{jsonPath, jsonText}, std::pair{htmlPath, htmlText}})
    if (!platform_.writeHostFile(QFile::encodeName(path).toStdString(), text)) return false;
  return true;
}

QString MainWindow::defaultReportPath() const {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty()) folder = QDir::homePath();
  return folder + "/corvane-report-" + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss") + ".json";
}

void MainWindow::copyReport() const {
  const std::string text = reportText(report(), resources_.strings);
  QGuiApplication::clipboard()->setText(qtText(text));
}

void MainWindow::onSaveReport() {
  const QString path = askReportPath ? askReportPath(defaultReportPath()) : QString();
  if (path.isEmpty()) return;
  if (!saveReport(path)) {
    QMessageBox box(this);
    box.setWindowTitle(resources_.string("title"));
    box.setText(resources_.text("reportNotSaved").arg(path));
    box.addButton(resources_.string("OK"), QMessageBox::AcceptRole);
    willRun(&box, "alert");
    box.exec();
  }
}

void MainWindow::fitRows() {
  QLayout* top = layout();
  if (top == nullptr) return;
  top->activate();
  const int needed = top->hasHeightForWidth() ? top->totalHeightForWidth(width()) : top->totalSizeHint().height();
  if (needed > height()) resize(width(), needed);
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

void MainWindow::setRowImage(Row row, RowImage status) {
  const std::string_view image = rowImageName(status);
  reportRows_[row].image = image;
  RowWidgets widgets = rowWidgets(row);
  setImage(widgets.image, resources_.bundle, image);
  widgets.image->setAccessibleName(widgets.text->accessibleName() + ": " +
                                   resources_.string("status." + std::string(image)));
}

void MainWindow::setRowText(Row row, std::string_view text) {
  reportRows_[row].text = text;
  rowWidgets(row).text->setText(qtText(text));
  rowWidgets(row).text->setAccessibleDescription(qtText(text));
  fitRows();
}

void MainWindow::setRowCause(Row row, std::string_view cause) { reportRows_[row].unanswered = cause; }

void MainWindow::setRowCode(Row row, std::string_view code) {
  reportRows_[row].code = code;
  rowWidgets(row).code->setText(qtText(code));
  rowWidgets(row).code->setAccessibleDescription(qtText(code));
}

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
  // What the repair will do is said below the explanation.
  std::string message = offer.message;
  for (size_t i = 0; i < offer.planLines.size(); ++i) message += (i == 0 ? "\n\n" : "\n") + offer.planLines[i];
  // Past the controller's limit the answer does not count: nothing is repaired.
  const bool accepted = repairPanel_->showPanel(message, offer.pairs, offer.fixKit) == 1 && offer.acceptable;
  offers_.push_back(ReportOffer{offer, reportRows_[offer.row].code, accepted});
  return accepted;
}

std::string MainWindow::chooseKitFolder() {
  const QString folder = askKitFolder ? askKitFolder() : QString();
  return folder.isEmpty() ? std::string() : QFile::encodeName(folder).toStdString();
}

void MainWindow::runHardwarePanel(const std::vector<VolumeRow>& volumes) {
  willRun(hardwarePanel_, "hardware");
  hardwarePanel_->showPanel(volumes);
}

void MainWindow::runNetworkPanel(const Value& networks, bool hasAutomatic) {
  willRun(networkPanel_, "network");
  networkPanel_->showPanel(networks, hasAutomatic);
}

void MainWindow::runTcpipPanel(const Value& tcpips, const Value& networks) {
  willRun(tcpipPanel_, "tcpip");
  tcpipPanel_->showPanel(tcpips, networks);
}

void MainWindow::runMailPanel(const Value& accounts) {
  willRun(mailPanel_, "mail");
  mailPanel_->showPanel(accounts);
}

void MainWindow::armButtons(const std::vector<Button>& buttons, bool enabled) {
  for (Button armed : buttons) {
    const int tag = static_cast<int>(armed);
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
  controller_->OnButton(static_cast<Button>(tag));
  --busy_;
  if (!busy() && closeAfterAction_) {
    closeAfterAction_ = false;
    cancel();
  }
}

void MainWindow::cancel() {
  if (controller_ != nullptr) {
    controller_->OnCancel();
  } else {
    quit();
  }
}

void MainWindow::pause(double seconds) {
  // Paint and deliver the controller's own events meanwhile, but no input:
  // the window takes none while the sequence runs.
  if (!platform_.pausesEnabled() || seconds <= 0 || platform_.toolsStopped()) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return;
  }
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(seconds * 1000.0), &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::redraw() { repaint(); }

void MainWindow::keepResponsive() {
  // Repaints and the close box, but no clicks: the buttons stay as the
  // controller armed them.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

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
  // Closing the window quits, like the quit button, at any time. During an
  // action (a check waiting for a tool) the running tool is killed and no
  // other starts, so the action's remaining pauses return at once; quitting
  // from inside it would end the application with the action half done, so
  // the quit comes as soon as it returns.
  event->ignore();
  if (busy()) {
    platform_.stopTools();
    closeAfterAction_ = true;
    return;
  }
  cancel();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  background_->setGeometry(rect());
}

}  // namespace corvane

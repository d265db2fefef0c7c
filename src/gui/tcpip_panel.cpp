#include "gui/tcpip_panel.h"

#include "gui/panel_window.h"
#include "gui/popup_sync.h"
#include "ui_tcpip_panel.h"

namespace corvane {

TCPIPPanel::TCPIPPanel(const GuiResources& resources, QWidget* parent)
    : QDialog(parent), resources_(resources), ui_(std::make_unique<Ui::TCPIPPanel>()) {
  ui_->setupUi(this);
  localizeLabels(this, resources);
  setWindowTitle(resources.string("tcpipPanel"));
  ui_->heading->setText(resources.string("tcpipPanel"));
  stylePanelHeading(ui_->heading);
  ui_->comment->setText(resources.text("tcpipComment"));
  ui_->comment->setStyleSheet("color: #5B6B7B;");
  ui_->okButton->setText(resources.string("OK"));
  connect(ui_->okButton, &QPushButton::clicked, this, &TCPIPPanel::OnOK);
  connect(ui_->place, &QComboBox::activated, this, &TCPIPPanel::OnSelectPlace);
  connect(ui_->port, &QComboBox::activated, this, &TCPIPPanel::OnSelectPort);
  setMinimumWidth(480);
}

TCPIPPanel::~TCPIPPanel() = default;

int TCPIPPanel::showPanel(const Value& tcpips, const Value& networks) {
  ui_->place->clear();
  ui_->port->clear();
  model_.showPanel(tcpips, networks, resources_.strings);
  refresh();
  return runPanel(this);
}

void TCPIPPanel::OnSelectPlace(int index) {
  if (index >= 0) model_.OnSelectPlace(static_cast<size_t>(index));
  refresh();
}

void TCPIPPanel::OnSelectPort(int index) {
  if (index >= 0) model_.OnSelectPort(static_cast<size_t>(index));
  refresh();
}

void TCPIPPanel::OnOK() {
  hide();
  clearValue();
  done(0);
}

void TCPIPPanel::clearValue() {
  for (QLineEdit* field : {ui_->dns1, ui_->use, ui_->ipaddress, ui_->subnetmask, ui_->router, ui_->searchdomain,
                           ui_->ipv6address, ui_->ipv6config})
    field->clear();
  ui_->dnsserver->clear();
}

void TCPIPPanel::refresh() {
  showPopup(ui_->place, model_.places(), model_.selectedPlace(), model_.placeEnabled());
  showPopup(ui_->port, model_.ports(), model_.selectedPort(), model_.portEnabled());
  const TcpipPanelModel::Fields& f = model_.fields();
  ui_->dns1->setText(qtText(f.dns1));
  ui_->use->setText(qtText(f.use));
  ui_->ipaddress->setText(qtText(f.ipaddress));
  ui_->subnetmask->setText(qtText(f.subnetmask));
  ui_->router->setText(qtText(f.router));
  ui_->dnsserver->setPlainText(qtText(f.dnsserver));
  ui_->searchdomain->setText(qtText(f.searchdomain));
  ui_->ipv6address->setText(qtText(f.ipv6address));
  ui_->ipv6config->setText(qtText(f.ipv6config));
  for (QLineEdit* field : findChildren<QLineEdit*>()) field->setCursorPosition(0);
}

}  // namespace corvane

#include "gui/network_panel.h"

#include "gui/panel_window.h"
#include "gui/popup_sync.h"
#include "ui_network_panel.h"

namespace corvane {

NetworkPanel::NetworkPanel(const GuiResources& resources, QWidget* parent)
    : QDialog(parent), resources_(resources), ui_(std::make_unique<Ui::NetworkPanel>()) {
  ui_->setupUi(this);
  localizeLabels(this, resources);
  setWindowTitle(resources.string("networkPanel"));
  ui_->heading->setText(resources.string("networkPanel"));
  stylePanelHeading(ui_->heading);
  ui_->okButton->setText(resources.string("OK"));
  connect(ui_->okButton, &QPushButton::clicked, this, &NetworkPanel::OnOK);
  connect(ui_->place, &QComboBox::activated, this, &NetworkPanel::OnSelectPlace);
  connect(ui_->port, &QComboBox::activated, this, &NetworkPanel::OnSelectPort);
  setMinimumWidth(480);
}

NetworkPanel::~NetworkPanel() = default;

int NetworkPanel::showPanel(const Value& networks, bool newer) {
  ui_->place->clear();
  ui_->port->clear();
  model_.showPanel(networks, resources_.strings, newer);
  refresh();
  return runPanel(this);
}

void NetworkPanel::OnSelectPlace(int index) {
  if (index >= 0) model_.OnSelectPlace(static_cast<size_t>(index));
  refresh();
}

void NetworkPanel::OnSelectPort(int index) {
  if (index >= 0) model_.OnSelectPort(static_cast<size_t>(index));
  refresh();
}

void NetworkPanel::OnOK() {
  hide();
  clearValue();
  done(0);
}

void NetworkPanel::clearValue() {
  for (QLineEdit* field :
       {ui_->mac, ui_->web, ui_->ftp, ui_->socks, ui_->gopher, ui_->secure, ui_->rtsp, ui_->mail, ui_->autoP})
    field->clear();
  ui_->noProxy->clear();
}

void NetworkPanel::refresh() {
  showPopup(ui_->place, model_.places(), model_.selectedPlace(), model_.placeEnabled());
  showPopup(ui_->port, model_.ports(), model_.selectedPort(), model_.portEnabled());
  const NetworkPanelModel::Fields& f = model_.fields();
  ui_->mac->setText(qtText(f.mac));
  ui_->web->setText(qtText(f.web));
  ui_->socks->setText(qtText(f.socks));
  ui_->ftp->setText(qtText(f.ftp));
  ui_->gopher->setText(qtText(f.gopher));
  ui_->secure->setText(qtText(f.secure));
  ui_->rtsp->setText(qtText(f.rtsp));
  ui_->mail->setText(qtText(f.mail));
  ui_->autoP->setText(qtText(f.autoP));
  ui_->noProxy->setPlainText(qtText(f.noProxy));
  for (QLineEdit* field : findChildren<QLineEdit*>()) field->setCursorPosition(0);
}

}  // namespace corvane

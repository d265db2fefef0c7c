#include "gui/mail_panel.h"

#include "gui/panel_window.h"
#include "gui/popup_sync.h"
#include "ui_mail_panel.h"

namespace corvane {

MailPanel::MailPanel(const GuiResources& resources, QWidget* parent)
    : QDialog(parent), resources_(resources), ui_(std::make_unique<Ui::MailPanel>()) {
  ui_->setupUi(this);
  localizeLabels(this, resources);
  setWindowTitle(resources.string("mailPanel"));
  ui_->heading->setText(resources.string("mailPanel"));
  stylePanelHeading(ui_->heading);
  ui_->okButton->setText(resources.string("OK"));
  connect(ui_->okButton, &QPushButton::clicked, this, &MailPanel::OnOK);
  connect(ui_->account, &QComboBox::activated, this, &MailPanel::OnSelectAccount);
  setMinimumWidth(460);
}

MailPanel::~MailPanel() = default;

int MailPanel::showPanel(const Value& accounts) {
  ui_->account->clear();
  model_.showPanel(accounts, resources_.strings);
  refresh();
  return runPanel(this);
}

void MailPanel::OnSelectAccount(int index) {
  if (index >= 0) model_.OnSelectAccount(static_cast<size_t>(index));
  refresh();
}

void MailPanel::OnOK() {
  hide();
  done(0);
}

void MailPanel::refresh() {
  showPopup(ui_->account, model_.items(), model_.selected(), true);
  const MailPanelModel::Fields& f = model_.fields();
  ui_->mailaddress->setText(qtText(f.mailaddress));
  ui_->name->setText(qtText(f.name));
  ui_->user->setText(qtText(f.user));
  ui_->pop->setText(qtText(f.pop));
  ui_->smtp->setText(qtText(f.smtp));
  for (QLineEdit* field : findChildren<QLineEdit*>()) field->setCursorPosition(0);
}

}  // namespace corvane

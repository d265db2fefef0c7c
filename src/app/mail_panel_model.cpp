#include "app/mail_panel_model.h"

namespace corvane {

void MailPanelModel::showPanel(const Value& accounts, const LocalizedStrings& strings) {
  items_.clear();
  infos_.clear();
  if (accounts.isArray())
    for (size_t i = 0; i < accounts.count(); ++i) infos_.push_back(MailListAccount::fromList(accounts[i]));
  for (const MailListAccount& account : infos_) items_.push_back(account.name);
  fields_ = {};
  selected_ = 0;
  if (!infos_.empty())
    OnSelectAccount(0);
  else
    items_.push_back(strings.text("noAccount"));
}

void MailPanelModel::OnSelectAccount(size_t index) {
  if (index >= infos_.size()) return;
  selected_ = index;
  const MailListAccount& account = infos_[index];
  fields_ = {account.address, account.fullName, account.user, account.incomingHost, account.outgoingHost};
}

}  // namespace corvane

#include "app/mail_panel_model.h"

namespace corvane {

void MailPanelModel::showPanel(const Value& accounts, const LocalizedStrings& strings) {
  items_.clear();
  for (size_t i = 0; i < accounts.count(); ++i) items_.push_back(accounts[i][0].text());
  infos_ = accounts.isArray() ? accounts : Value(Value::Array{});
  fields_ = {};
  selected_ = 0;
  if (infos_.count() > 0)
    OnSelectAccount(0);
  else
    items_.push_back(strings.text("noAccount"));
}

void MailPanelModel::OnSelectAccount(size_t index) {
  if (infos_.count() == 0 || index >= infos_.count()) return;
  selected_ = index;
  const Value& account = infos_[index];
  fields_ = {account[1].text(), account[2].text(), account[3].text(), account[4].text(), account[5].text()};
}

}  // namespace corvane

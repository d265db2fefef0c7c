#pragma once
// The mail panel: a pop-up of the accounts found and the chosen account's
// details.

#include <string>
#include <vector>

#include "app/reader_records.h"
#include "core/localized_strings.h"
#include "core/plist_value.h"

namespace corvane {

class MailPanelModel {
 public:
  struct Fields {
    std::string mailaddress, name, user, pop, smtp;
  };

  // Fills the pop-up from the account list (each account's element 0) and
  // selects the first account; with none, the single item "noAccount".
  void showPanel(const Value& accounts, const LocalizedStrings& strings);
  // Shows the account at a pop-up index; nothing when there are no accounts
  // or the index is outside the list.
  void OnSelectAccount(size_t index);

  const std::vector<std::string>& items() const { return items_; }
  size_t selected() const { return selected_; }
  const Fields& fields() const { return fields_; }

 private:
  std::vector<MailListAccount> infos_;
  std::vector<std::string> items_;
  size_t selected_ = 0;
  Fields fields_;
};

}  // namespace corvane

#pragma once
// The mail panel: a pop-up of the POP accounts found and the chosen
// account's address, name, user name and servers.

#include <QDialog>
#include <memory>

#include "app/mail_panel_model.h"
#include "gui/gui_resources.h"

namespace Ui {
class MailPanel;
}

namespace corvane {

class MailPanel : public QDialog {
  Q_OBJECT

 public:
  MailPanel(const GuiResources& resources, QWidget* parent = nullptr);
  ~MailPanel() override;

  // Shows the account list (each account [name, address, full name, user,
  // incoming, outgoing]) and runs the panel modally.
  int showPanel(const Value& accounts);
  void OnSelectAccount(int index);
  void OnOK();

  Ui::MailPanel& ui() { return *ui_; }

 private:
  void refresh();

  const GuiResources& resources_;
  std::unique_ptr<Ui::MailPanel> ui_;
  MailPanelModel model_;
};

}  // namespace corvane

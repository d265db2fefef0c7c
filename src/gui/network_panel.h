#pragma once
// The network panel: for a chosen location and port of the port list, the
// port's hardware address and its proxy settings. It only displays.

#include <QDialog>
#include <memory>

#include "app/network_panel_model.h"
#include "gui/gui_resources.h"

namespace Ui {
class NetworkPanel;
}

namespace corvane {

class NetworkPanel : public QDialog {
  Q_OBJECT

 public:
  NetworkPanel(const GuiResources& resources, QWidget* parent = nullptr);
  ~NetworkPanel() override;

  // newer: the running system is 10.3.2 or later. Fills the pop-ups and runs
  // the panel modally; 0 once it is closed.
  int showPanel(const Value& networks, bool newer);

  // The pop-ups' actions, by the index the user chose.
  void OnSelectPlace(int index);
  void OnSelectPort(int index);
  void OnOK();

  Ui::NetworkPanel& ui() { return *ui_; }
  const NetworkPanelModel& model() const { return model_; }

 private:
  void refresh();
  void clearValue();

  const GuiResources& resources_;
  std::unique_ptr<Ui::NetworkPanel> ui_;
  NetworkPanelModel model_;
};

}  // namespace corvane

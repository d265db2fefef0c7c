#pragma once
// The TCP/IP panel: the TCP/IP record of a chosen port of the current
// location (the location pop-up stays disabled). It only displays.

#include <QDialog>
#include <memory>

#include "app/tcpip_panel_model.h"
#include "gui/gui_resources.h"

namespace Ui {
class TCPIPPanel;
}

namespace corvane {

class TCPIPPanel : public QDialog {
  Q_OBJECT

 public:
  TCPIPPanel(const GuiResources& resources, QWidget* parent = nullptr);
  ~TCPIPPanel() override;

  // Fills the pop-ups and runs the panel modally; 0 once it is closed.
  int showPanel(const Value& tcpips, const Value& networks);

  void OnSelectPlace(int index);
  void OnSelectPort(int index);
  void OnOK();

  Ui::TCPIPPanel& ui() { return *ui_; }
  const TcpipPanelModel& model() const { return model_; }

 private:
  void refresh();
  void clearValue();

  const GuiResources& resources_;
  std::unique_ptr<Ui::TCPIPPanel> ui_;
  TcpipPanelModel model_;
};

}  // namespace corvane

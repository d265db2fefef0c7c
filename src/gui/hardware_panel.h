#pragma once
// The hardware panel: every mounted local volume with its free and total
// size, in a table of which no row can be selected.

#include <QDialog>
#include <memory>
#include <vector>

#include "app/corvane_view.h"
#include "gui/gui_resources.h"

namespace Ui {
class HardwarePanel;
}

namespace corvane {

class HardwarePanel : public QDialog {
  Q_OBJECT

 public:
  HardwarePanel(const GuiResources& resources, QWidget* parent = nullptr);
  ~HardwarePanel() override;

  // Shows the volumes and runs the panel modally.
  int showPanel(const std::vector<VolumeRow>& volumes);
  void OnOK();

  Ui::HardwarePanel& ui() { return *ui_; }

 private:
  std::unique_ptr<Ui::HardwarePanel> ui_;
};

}  // namespace corvane

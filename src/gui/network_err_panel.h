#pragma once
// The repair panel: explains a network or TCP/IP fault, lists the current
// settings against the recommended ones in a two-column table that no row
// of can be selected, and asks whether to repair.

#include <QDialog>
#include <string>
#include <utility>
#include <vector>

#include "gui/gui_resources.h"

class QPushButton;
class QTableWidget;
class QTextEdit;

namespace Ui {
class NetworkErrPanel;
}

namespace corvane {

class NetworkErrPanel : public QDialog {
  Q_OBJECT

 public:
  // The result column's width at every showing; longer values widen it.
  static constexpr int kResultWidth = 268;

  NetworkErrPanel(const GuiResources& resources, QWidget* parent = nullptr);
  ~NetworkErrPanel() override;

  // Fills the panel and runs it modally: 1 when the user chose to repair, 0
  // otherwise (also when the panel is closed without an answer). With fixKit
  // (the root is a capture) the yes button makes a fix kit and says so.
  int showPanel(const std::string& message, const std::vector<std::pair<std::string, std::string>>& pairs,
                bool fixKit = false);

  void OnYes();
  void OnNo();

  QTableWidget* ResultView() const;
  QTextEdit* AlertView() const;
  QPushButton* YesButton() const;

 private:
  // Widens a column whose cell is wider than it; never narrows one.
  void widenColumns();
  // The message as tall as its text (the question and the repair's plan),
  // up to a third of the screen; beyond that it scrolls.
  void fitMessage();

  const GuiResources& resources_;
  std::unique_ptr<Ui::NetworkErrPanel> ui_;
};

}  // namespace corvane

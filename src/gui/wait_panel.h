#pragma once
// The waiting panel shown while a repair is applied: the application's
// icon, a short message and a busy indicator. It cannot be closed by the user.

#include <QDialog>

#include "gui/gui_resources.h"

class QLabel;

namespace corvane {

class WaitPanel : public QDialog {
  Q_OBJECT

 public:
  WaitPanel(const GuiResources& resources, QWidget* parent = nullptr);
  QLabel* waitImage() const { return waitImage_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* waitImage_;
};

}  // namespace corvane

#include "gui/panel_window.h"

#include <QScreen>

namespace corvane {

void stylePanelHeading(QLabel* heading) {
  QFont font = heading->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.25);
  heading->setFont(font);
  heading->setStyleSheet("color: #1659C6;");
}

int runPanel(QDialog* panel) {
  panel->adjustSize();
  if (QWidget* owner = panel->parentWidget()) {
    panel->move(owner->window()->geometry().center() - panel->rect().center());
  } else if (QScreen* screen = panel->screen()) {
    panel->move(screen->availableGeometry().center() - panel->rect().center());
  }
  return panel->exec();
}

}  // namespace corvane

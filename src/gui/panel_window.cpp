#include "gui/panel_window.h"

#include <QRegularExpression>
#include <QScreen>

namespace corvane {

void stylePanelHeading(QLabel* heading) {
  QFont font = heading->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.25);
  heading->setFont(font);
  heading->setStyleSheet("color: #1659C6;");
}

void alignFormLabels(QWidget* panel) {
  const QList<QLabel*> labels = panel->findChildren<QLabel*>(QRegularExpression("^label_"));
  int widest = 0;
  for (QLabel* label : labels) widest = std::max(widest, label->sizeHint().width());
  for (QLabel* label : labels) {
    label->setMinimumWidth(widest);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
}

int runPanel(QDialog* panel) {
  alignFormLabels(panel);
  panel->adjustSize();
  if (QWidget* owner = panel->parentWidget()) {
    panel->move(owner->window()->geometry().center() - panel->rect().center());
  } else if (QScreen* screen = panel->screen()) {
    panel->move(screen->availableGeometry().center() - panel->rect().center());
  }
  return panel->exec();
}

}  // namespace corvane

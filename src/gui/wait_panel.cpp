#include "gui/wait_panel.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace corvane {

WaitPanel::WaitPanel(const GuiResources& resources, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), waitImage_(new QLabel(this)) {
  setWindowTitle(resources.string("title"));
  waitImage_->setPixmap(resources.appIcon.pixmap(64, 64));
  waitImage_->setFixedSize(64, 64);
  auto* message = new QLabel(resources.text("waitMessage"), this);
  message->setWordWrap(true);
  QFont font = message->font();
  font.setBold(true);
  message->setFont(font);
  auto* busy = new QProgressBar(this);
  busy->setRange(0, 0);
  busy->setTextVisible(false);
  busy->setMaximumHeight(10);

  auto* text = new QVBoxLayout;
  text->addWidget(message);
  text->addWidget(busy);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(22, 20, 22, 20);
  layout->setSpacing(16);
  layout->addWidget(waitImage_, 0, Qt::AlignTop);
  layout->addLayout(text, 1);
  setMinimumWidth(380);
}

void WaitPanel::closeEvent(QCloseEvent* event) { event->ignore(); }

void WaitPanel::keyPressEvent(QKeyEvent* event) { (void)event; }

}  // namespace corvane

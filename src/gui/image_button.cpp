#include "gui/image_button.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <string>

#include "core/localized_strings.h"
#include "gui/set_image.h"

namespace corvane {

bool IsWithinView(const QRectF& frame, const QPointF& location) {
  const long x = static_cast<long>(std::trunc(frame.x()));
  const long y = static_cast<long>(std::trunc(frame.y()));
  const long w = static_cast<long>(std::trunc(frame.width()));
  const long h = static_cast<long>(std::trunc(frame.height()));
  const long px = static_cast<long>(std::trunc(location.x()));
  const long py = static_cast<long>(std::trunc(location.y()));
  return x <= px && px <= x + w && y <= py && py <= y + h;
}

// What assistive technology sees of an image button: a push button with a
// press action.
class ImageButtonAccessible : public QAccessibleWidget {
 public:
  explicit ImageButtonAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Button) {
    addControllingSignal(QLatin1String("destroyed()"));
  }
  QStringList actionNames() const override { return button()->isArmed() ? QStringList{pressAction()} : QStringList{}; }
  void doAction(const QString& name) override {
    if (name == pressAction()) button()->press();
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.disabled = !button()->isArmed();
    return s;
  }

 private:
  ImageButton* button() const { return static_cast<ImageButton*>(widget()); }
};

static QAccessibleInterface* imageButtonAccessible(const QString& className, QObject* object) {
  if (className == QLatin1String("corvane::ImageButton") && object->isWidgetType())
    return new ImageButtonAccessible(static_cast<QWidget*>(object));
  return nullptr;
}

ImageButton::ImageButton(QWidget* parent) : QLabel(parent) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(imageButtonAccessible);
    return true;
  }();
  (void)factoryInstalled;
  setAlignment(Qt::AlignCenter);
  updateArmed();
}

void ImageButton::updateArmed() {
  // A disarmed button (tag 0) is shown disabled and takes no focus; a
  // picture (tag 10 and above) is no button at all.
  setEnabled(tag_ != 0);
  setFocusPolicy(isArmed() ? Qt::StrongFocus : Qt::NoFocus);
}

void ImageButton::press() {
  if (!isArmed() || !nc_) return;
  ButtonTarget target = nc_;
  target(tag_);
}

void ImageButton::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && !event->isAutoRepeat()) {
    event->accept();
    press();
    return;
  }
  QLabel::keyPressEvent(event);
}

void ImageButton::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  // A visible focus ring, drawn over the image.
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPen pen(palette().color(QPalette::Highlight), 2);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
}

void ImageButton::focusInEvent(QFocusEvent* event) {
  QLabel::focusInEvent(event);
  update();
}

void ImageButton::focusOutEvent(QFocusEvent* event) {
  QLabel::focusOutEvent(event);
  update();
}

void ImageButton::setResources(const Bundle& bundle, const LocalizedStrings& strings) {
  bundle_ = &bundle;
  strings_ = &strings;
}

void ImageButton::setup(ButtonTarget nc, int tag) {
  nc_ = std::move(nc);
  tag_ = tag;
  setButtonImage();
  if (tag < 10) tracking_ = true;
  setCursor(tag >= 1 && tag < 10 ? Qt::PointingHandCursor : Qt::ArrowCursor);
  updateArmed();
}

void ImageButton::trackingTag(int t) {
  tag_ = t;
  if (t >= 1 && t <= 4) {
    setNotButtonImage();
  } else {
    setButtonImage();
  }
  tag_ = 0;
  tracking_ = true;
  setCursor(Qt::ArrowCursor);
  updateArmed();
}

void ImageButton::showImage(const char* suffix) {
  if (bundle_ == nullptr || strings_ == nullptr) return;
  const std::string base = strings_->text(std::to_string(tag_));
  setImage(this, *bundle_, base + suffix);
}

void ImageButton::setButtonImage() { showImage(""); }
void ImageButton::setButtonDownImage() { showImage("_d"); }
void ImageButton::setInButtonImage() { showImage("_u"); }
void ImageButton::setNotButtonImage() { showImage("_x"); }

void ImageButton::mouseDown() {
  if (tag_ != 0 && tag_ < 10) setButtonDownImage();
}

void ImageButton::mouseUp(const QPointF& locationInWindow) {
  if (tag_ == 0 || tag_ >= 10) return;
  setButtonImage();
  if (IsWithinView(frameInWindow(), locationInWindow) && nc_) {
    // Copied: the action may re-arm this button and replace nc_ meanwhile.
    ButtonTarget target = nc_;
    target(tag_);
  }
}

void ImageButton::mouseDragged(const QPointF& locationInWindow) {
  // A picture (tag 10 and above) takes no presses, so no drags either:
  // it keeps showing its own image.
  if (tag_ == 0 || tag_ >= 10) return;
  if (IsWithinView(frameInWindow(), locationInWindow)) {
    setButtonDownImage();
  } else {
    setButtonImage();
  }
}

void ImageButton::mouseEntered() {
  if (tracking_ && tag_ > 4) setInButtonImage();
}

void ImageButton::mouseExited() {
  if (tracking_ && tag_ > 4) setButtonImage();
}

QRectF ImageButton::frameInWindow() const {
  const QWidget* top = window();
  QPoint origin = top == this ? QPoint(0, 0) : mapTo(top, QPoint(0, 0));
  return QRectF(origin, size());
}

// The event's location in the window's coordinates, from its global
// position: synthesized events do not all carry a scene position.
static QPointF locationInWindow(const QWidget* button, const QMouseEvent* event) {
  return button->window()->mapFromGlobal(event->globalPosition());
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) mouseDown();
  event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) mouseUp(locationInWindow(this, event));
  event->accept();
}

void ImageButton::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) mouseDragged(locationInWindow(this, event));
  event->accept();
}

void ImageButton::enterEvent(QEnterEvent* event) {
  mouseEntered();
  QLabel::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent* event) {
  mouseExited();
  QLabel::leaveEvent(event);
}

}  // namespace corvane

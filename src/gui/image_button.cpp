#include "gui/image_button.h"

#include <QMouseEvent>
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

ImageButton::ImageButton(QWidget* parent) : QLabel(parent) { setAlignment(Qt::AlignCenter); }

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

#pragma once
// An image view that behaves as a button. Its tag is both its identity and
// its armed state: 1 to 4 are the main buttons (start, line check, help,
// quit), 5 to 9 detail buttons, 10 and above pictures only, and 0 a disarmed
// button that ignores clicks and hovering. Its images are named by the
// localized text of the tag: NAME (idle), NAME_d (pressed), NAME_u (hovered,
// detail buttons only) and NAME_x (a disarmed main button).

#include <QLabel>
#include <QPointF>
#include <QRectF>
#include <functional>

namespace corvane {

class Bundle;
class LocalizedStrings;

// Receives the click of an armed button, with its tag.
using ButtonTarget = std::function<void(int tag)>;

// The hit test for a click's end: the button's frame and the event's
// location, both in window coordinates and truncated toward zero; both
// edges count as inside.
bool IsWithinView(const QRectF& frame, const QPointF& location);

class ImageButton : public QLabel {
  Q_OBJECT

 public:
  explicit ImageButton(QWidget* parent = nullptr);

  // Where the images come from. Both must outlive the button.
  void setResources(const Bundle& bundle, const LocalizedStrings& strings);

  // Arms the button with a tag; below 10 it starts following the pointer.
  void setup(ButtonTarget nc, int tag);
  // Disarms the button: shows the disabled (tags 1 to 4) or idle image of
  // tag t, then keeps the tag 0.
  void trackingTag(int t);

  int tag() const { return tag_; }

  void setButtonImage();
  void setButtonDownImage();
  void setInButtonImage();
  void setNotButtonImage();

  // The event handlers, by what happened; locations in window coordinates.
  void mouseDown();
  void mouseUp(const QPointF& locationInWindow);
  void mouseDragged(const QPointF& locationInWindow);
  void mouseEntered();
  void mouseExited();

  // The button's frame in its window's coordinates.
  QRectF frameInWindow() const;

  // A press from the keyboard (Return, Enter or Space) or from assistive
  // technology: the click of an armed button, without the pointer.
  void press();
  // An armed button (tags 1 to 9) takes presses; others are shown disabled.
  bool isArmed() const { return tag_ >= 1 && tag_ < 10; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void showImage(const char* suffix);
  void updateArmed();

  const Bundle* bundle_ = nullptr;
  const LocalizedStrings* strings_ = nullptr;
  ButtonTarget nc_;
  int tag_ = 0;
  // Set once the button follows the pointer (entering and leaving); it
  // never stops following it.
  bool tracking_ = false;
};

}  // namespace corvane

#include "gui/image_button.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QTest>
#include <vector>

#include "core/bundle.h"
#include "core/localized_strings.h"
#include "gui/set_image.h"

namespace corvane {
namespace {

// A button at (40, 30) in its window, 92 x 28, with images from the build's bundle.
class ImageButtonTest : public ::testing::Test {
 protected:
  ImageButtonTest() {
    window.resize(300, 200);
    button = new ImageButton(&window);
    button->setGeometry(40, 30, 92, 28);
    button->setResources(bundle, strings);
  }

  std::string shown() const { return imageName(button).toStdString(); }
  ButtonTarget record() {
    return [this](int tag) { clicks.push_back(tag); };
  }
  void enter() {
    QEnterEvent event(QPointF(5, 5), QPointF(45, 35), QPointF(45, 35));
    QApplication::sendEvent(button, &event);
  }
  void leave() {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(button, &event);
  }

  Bundle bundle{CORVANE_BUNDLE};
  LocalizedStrings strings{{{"1", "start"}, {"6", "details"}, {"12", "banner"}}};
  QWidget window;
  ImageButton* button;
  std::vector<int> clicks;
};

TEST(IsWithinViewTest, BothEdgesCountAsInsideAfterTruncation) {
  const QRectF frame(40, 30, 92, 28);
  struct Case {
    QPointF location;
    bool inside;
  } cases[] = {
      {{40, 30}, true},       // left and bottom edges
      {{132, 58}, true},      // right and top edges (x + w, y + h)
      {{132.9, 58.9}, true},  // truncated to the edge
      {{133, 45}, false},     // one past the right edge
      {{86, 59}, false},      // one past the far edge
      {{39.9, 45}, false},    // truncated to 39
      {{86, 29.5}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsWithinView(frame, c.location), c.inside) << c.location.x() << "," << c.location.y();
  // The frame's values are truncated too.
  EXPECT_TRUE(IsWithinView(QRectF(40.7, 30.2, 91.6, 28.9), QPointF(131.5, 58.5)));
}

TEST_F(ImageButtonTest, ClickInsideShowsPressedThenIdleAndReportsTheTag) {
  button->setup(record(), 1);
  EXPECT_EQ(shown(), "start");
  EXPECT_FALSE(button->pixmap().isNull());
  button->mouseDown();
  EXPECT_EQ(shown(), "start_d");
  button->mouseUp(QPointF(132, 58));  // on the far corner: inside
  EXPECT_EQ(shown(), "start");
  EXPECT_EQ(clicks, std::vector<int>{1});
}

TEST_F(ImageButtonTest, DraggingOutAndBackInFollowsThePointerAndReleasingOutsideCallsNothing) {
  button->setup(record(), 1);
  button->mouseDown();
  button->mouseDragged(QPointF(200, 45));
  EXPECT_EQ(shown(), "start");
  button->mouseDragged(QPointF(60, 45));
  EXPECT_EQ(shown(), "start_d");
  button->mouseDragged(QPointF(133, 45));
  EXPECT_EQ(shown(), "start");
  button->mouseUp(QPointF(133, 45));
  EXPECT_TRUE(clicks.empty());
}

TEST_F(ImageButtonTest, RealMouseEventsGoThroughTheSameHandlers) {
  window.show();
  button->setup(record(), 6);
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(shown(), "details_d");
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(clicks, std::vector<int>{6});
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(91, 27));  // last pixel of the button
  EXPECT_EQ(clicks, (std::vector<int>{6, 6}));
}

TEST_F(ImageButtonTest, HoveringChangesDetailButtonsOnly) {
  button->setup(record(), 1);
  enter();
  EXPECT_EQ(shown(), "start");
  leave();

  button->setup(record(), 6);
  enter();
  EXPECT_EQ(shown(), "details_u");
  leave();
  EXPECT_EQ(shown(), "details");
}

TEST_F(ImageButtonTest, DisarmedButtonsShowTheirStateAndIgnoreEverything) {
  button->setup(record(), 1);
  button->trackingTag(1);
  EXPECT_EQ(button->tag(), 0);
  EXPECT_EQ(shown(), "start_x");
  EXPECT_FALSE(button->pixmap().isNull());
  button->mouseDown();
  button->mouseDragged(QPointF(60, 45));
  button->mouseUp(QPointF(60, 45));
  EXPECT_EQ(shown(), "start_x");

  button->setup(record(), 6);
  button->trackingTag(6);
  EXPECT_EQ(shown(), "details");
  enter();
  EXPECT_EQ(shown(), "details");
  button->mouseDown();
  button->mouseUp(QPointF(60, 45));
  EXPECT_TRUE(clicks.empty());

  button->setup(record(), 6);  // armed again
  button->mouseUp(QPointF(60, 45));
  EXPECT_EQ(clicks, std::vector<int>{6});
}

TEST_F(ImageButtonTest, TagsOfTenAndAboveArePicturesOnly) {
  button->setup(record(), 12);
  EXPECT_EQ(shown(), "banner");
  EXPECT_FALSE(button->pixmap().isNull());
  enter();
  button->mouseDown();
  button->mouseDragged(QPointF(60, 45));
  button->mouseUp(QPointF(60, 45));
  EXPECT_EQ(shown(), "banner");
  EXPECT_TRUE(clicks.empty());
}

TEST_F(ImageButtonTest, AMissingImageLeavesTheViewEmpty) {
  LocalizedStrings other{{{"1", "no-such-image"}}};
  button->setResources(bundle, other);
  button->setup(record(), 1);
  EXPECT_EQ(shown(), "no-such-image");
  EXPECT_TRUE(button->pixmap().isNull());
}

}  // namespace
}  // namespace corvane

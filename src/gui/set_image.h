#pragma once
// Shows a named PNG of the bundle in an image view. The name the view shows
// is kept in its "imageName" property, so that tests and scripts can read
// what a view displays.

#include <QPixmap>
#include <string_view>

class QLabel;

namespace corvane {

class Bundle;

// The bundle's NAME.png; NAME@2x.png instead on a high-density screen when
// the bundle has one. A null pixmap when the file is missing.
QPixmap bundleImage(const Bundle& bundle, std::string_view name, qreal devicePixelRatio);

// The view's image := the bundle image NAME. A missing file leaves the view
// without an image.
void setImage(QLabel* view, const Bundle& bundle, std::string_view name);

// The name last given to setImage for this view ("" when none).
QString imageName(const QLabel* view);

}  // namespace corvane

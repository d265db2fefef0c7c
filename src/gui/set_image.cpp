#include "gui/set_image.h"

#include <QLabel>

#include "core/bundle.h"

namespace corvane {

QPixmap bundleImage(const Bundle& bundle, std::string_view name, qreal devicePixelRatio) {
  if (devicePixelRatio > 1.0) {
    std::string sharp = bundle.resourcePath(std::string(name) + "@2x", "png");
    QPixmap pixmap;
    if (!sharp.empty() && pixmap.load(QString::fromStdString(sharp))) {
      pixmap.setDevicePixelRatio(2.0);
      return pixmap;
    }
  }
  std::string path = bundle.resourcePath(name, "png");
  QPixmap pixmap;
  if (!path.empty()) pixmap.load(QString::fromStdString(path));
  return pixmap;
}

void setImage(QLabel* view, const Bundle& bundle, std::string_view name) {
  if (view == nullptr) return;
  view->setProperty("imageName", QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  QPixmap pixmap = bundleImage(bundle, name, view->devicePixelRatioF());
  if (pixmap.isNull()) {
    view->clear();
  } else {
    view->setPixmap(pixmap);
  }
}

QString imageName(const QLabel* view) { return view ? view->property("imageName").toString() : QString(); }

}  // namespace corvane

#include "gui/popup_sync.h"

#include <QSignalBlocker>

#include "gui/gui_resources.h"

namespace corvane {

void showPopup(QComboBox* box, const std::vector<std::string>& items, size_t selected, bool enabled) {
  QSignalBlocker quiet(box);
  bool same = box->count() == static_cast<int>(items.size());
  for (int i = 0; same && i < box->count(); ++i) same = box->itemText(i) == qtText(items[static_cast<size_t>(i)]);
  if (!same) {
    box->clear();
    for (const std::string& item : items) box->addItem(qtText(item));
  }
  if (selected < items.size()) box->setCurrentIndex(static_cast<int>(selected));
  box->setEnabled(enabled);
}

}  // namespace corvane

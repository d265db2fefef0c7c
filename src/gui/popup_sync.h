#pragma once
// Shows a pop-up model's items in a combo box. The items are replaced only
// when they differ from what the box shows, so that choosing the item that is
// already shown does not rebuild the box.

#include <QComboBox>
#include <string>
#include <vector>

namespace corvane {

void showPopup(QComboBox* box, const std::vector<std::string>& items, size_t selected, bool enabled);

}  // namespace corvane

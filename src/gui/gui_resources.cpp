#include "gui/gui_resources.h"

#include <QLabel>
#include <QWidget>
#include "core/file_read.h"

namespace corvane {

LocalizedStrings loadWindowTexts(const Bundle& bundle, std::string_view language) {
  const auto bytes = readWholeFile(bundle.resourcesFolder() + "/" + std::string(language) + ".lproj/Window.strings");
  if (!bytes) return LocalizedStrings();
  auto table = parseStringsFile(*bytes);
  return table ? LocalizedStrings(std::move(*table)) : LocalizedStrings();
}

GuiResources GuiResources::load(Bundle bundle, const std::string& language) {
  GuiResources resources{bundle, language, LocalizedStrings::load(bundle, language), loadWindowTexts(bundle, language),
                         QIcon()};
  for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
    std::string path = bundle.resourcePath("corvane-" + std::to_string(size), "png");
    if (!path.empty()) resources.appIcon.addFile(QString::fromStdString(path), QSize(size, size));
  }
  return resources;
}

void localizeLabels(QWidget* root, const GuiResources& resources) {
  for (QLabel* label : root->findChildren<QLabel*>()) {
    const QString name = label->objectName();
    if (name.startsWith("label_")) label->setText(resources.string(name.mid(6).toStdString()));
  }
}

}  // namespace corvane

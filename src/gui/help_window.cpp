#include "gui/help_window.h"

#include <QUrl>
#include <filesystem>

namespace corvane {

std::string HelpWindow::helpPage(const Bundle& bundle, const std::string& language) {
  for (const std::string& lang : {language, std::string("en")}) {
    std::string page = bundle.resourcesFolder() + "/help/" + lang + "/index.html";
    std::error_code ignored;
    if (std::filesystem::is_regular_file(page, ignored)) return page;
  }
  return "";
}

HelpWindow::HelpWindow(const GuiResources& resources, QWidget* parent) : QTextBrowser(parent) {
  setWindowFlag(Qt::Window);
  setWindowTitle(resources.text("helpTitle"));
  setWindowIcon(resources.appIcon);
  setOpenExternalLinks(true);
  resize(720, 640);
  const std::string page = helpPage(resources.bundle, resources.language);
  if (page.empty()) {
    setPlainText(resources.text("helpMissing"));
  } else {
    setSource(QUrl::fromLocalFile(QString::fromStdString(page)));
  }
}

}  // namespace corvane

#pragma once
// The bundled help, in the user's language, in a window of its own.

#include <QTextBrowser>

#include "gui/gui_resources.h"

namespace corvane {

class HelpWindow : public QTextBrowser {
  Q_OBJECT

 public:
  explicit HelpWindow(const GuiResources& resources, QWidget* parent = nullptr);

  // Host path of the help's start page for a language ("en" when the
  // bundle has none for it); "" when the bundle has no help at all.
  static std::string helpPage(const Bundle& bundle, const std::string& language);
};

}  // namespace corvane

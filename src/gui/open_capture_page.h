#pragma once
// The page the window opens on when its system root is no Mac system: it
// says so and takes a captured system instead, from the "Open Capture…"
// button (an archive or a folder) or dropped on it.

#include <QWidget>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace corvane {

struct GuiResources;

class OpenCapturePage : public QWidget {
 public:
  // open is called with the host path of the archive or folder chosen.
  OpenCapturePage(const GuiResources& resources, std::function<void(const std::string&)> open);

  // The root named in the explanation, and a line on why the last choice
  // could not be opened ("" for none).
  void showRoot(const std::string& rootName, const std::string& failure);

  QPushButton* openButton() const { return button_; }
  QString explanation() const;
  QString failure() const;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void chooseCapture();

  const GuiResources& resources_;
  std::function<void(const std::string&)> open_;
  QLabel* explanation_;
  QLabel* failure_;
  QPushButton* button_;
};

}  // namespace corvane

#pragma once
// A scripted run for pictures of the window (make screenshots): clicks the
// start button, saves a picture of every panel that opens (answering repair
// offers no), then of the main window after the whole run, then opens the
// four detail panels one by one and saves them too, and last the help. The rows as the window
// shows them are written to rows.json, for comparison with corvane-cli.

#include <QObject>
#include <QString>
#include <set>
#include <string>

class QDialog;
class QWidget;

namespace corvane {

class CorvaneApp;

// {"system": {"image", "text", "code"}, ...} as the window shows the rows.
QByteArray windowRowsJson(CorvaneApp& app);

// Sends a press and a release of the left button at the centre of a widget.
void clickWidget(QWidget* widget);

class ScreenshotScript : public QObject {
  Q_OBJECT

 public:
  ScreenshotScript(CorvaneApp& app, QString folder);

  void begin();
  bool succeeded() const { return ok_; }

 private:
  void panelWillRun(QDialog* panel, const char* kind);
  void afterRun();
  void saveReportPictures();
  void openDetails(int tag);
  bool save(QWidget* widget, const QString& name);

  CorvaneApp& app_;
  QString folder_;
  std::set<std::string> saved_;
  bool ok_ = true;
};

}  // namespace corvane

#include "gui/screenshot_script.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QTextBrowser>
#include <QTimer>
#include <iostream>

#include "gui/corvane_app.h"
#include "gui/help_window.h"
#include "gui/image_button.h"
#include "gui/network_err_panel.h"
#include "gui/set_image.h"

namespace corvane {
namespace {
constexpr int kSettleMs = 350;
}

QByteArray windowRowsJson(CorvaneApp& app) {
  QJsonObject rows;
  for (Row row : kAllRows) {
    MainWindow::RowWidgets widgets = app.window().rowWidgets(row);
    QJsonObject state;
    state["image"] = imageName(widgets.image);
    state["text"] = widgets.text->text();
    state["code"] = widgets.code->text();
    rows[qtText(rowName(row))] = state;
  }
  return QJsonDocument(rows).toJson(QJsonDocument::Indented);
}

void clickWidget(QWidget* widget) {
  const QPointF local(widget->width() / 2.0, widget->height() / 2.0);
  const QPointF scene = widget->mapTo(widget->window(), local.toPoint());
  const QPointF global = widget->mapToGlobal(local.toPoint());
  QMouseEvent press(QEvent::MouseButtonPress, local, scene, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, scene, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

ScreenshotScript::ScreenshotScript(CorvaneApp& app, QString folder) : app_(app), folder_(std::move(folder)) {
  QDir().mkpath(folder_);
  app_.window().panelWillRun = [this](QDialog* panel, const char* kind) { panelWillRun(panel, kind); };
}

void ScreenshotScript::begin() {
  QTimer::singleShot(kSettleMs, this, [this] {
    save(&app_.window(), "main-window-start");
    clickWidget(app_.window().button(1));
    afterRun();
  });
}

bool ScreenshotScript::save(QWidget* widget, const QString& name) {
  QPixmap picture = widget->grab();
  const QString path = folder_ + "/" + name + ".png";
  if (picture.isNull() || !picture.save(path)) {
    std::cerr << "corvane: could not save " << path.toStdString() << '\n';
    ok_ = false;
    return false;
  }
  std::cout << path.toStdString() << '\n';
  return true;
}

void ScreenshotScript::panelWillRun(QDialog* panel, const char* kind) {
  const std::string name = std::string(kind) + "-panel";
  QTimer::singleShot(kSettleMs, panel, [this, panel, name] {
    if (saved_.insert(name).second) save(panel, QString::fromStdString(name));
    if (auto* repair = qobject_cast<NetworkErrPanel*>(panel)) {
      repair->OnNo();
    } else {
      panel->done(0);
    }
  });
}

void ScreenshotScript::afterRun() {
  // The line check ends on its own; wait for it and for the last repaint.
  if (app_.controller().lineCheckRunning() || app_.window().busy()) {
    QTimer::singleShot(100, this, [this] { afterRun(); });
    return;
  }
  QTimer::singleShot(kSettleMs, this, [this] {
    save(&app_.window(), "main-window");
    QFile rows(folder_ + "/rows.json");
    if (rows.open(QIODevice::WriteOnly)) rows.write(windowRowsJson(app_));
    saveReportPictures();
  });
}

void ScreenshotScript::saveReportPictures() {
  // The saved HTML report as a browser shows it.
  const QString json = folder_ + "/report.json";
  if (!app_.window().saveReport(json)) {
    std::cerr << "corvane: could not save the report in " << folder_.toStdString() << '\n';
    ok_ = false;
  }
  QFile html(folder_ + "/report.html");
  auto* browser = new QTextBrowser;
  browser->setAttribute(Qt::WA_DeleteOnClose);
  if (html.open(QIODevice::ReadOnly)) browser->setHtml(QString::fromUtf8(html.readAll()));
  browser->resize(960, 760);
  browser->show();
  // Keyboard focus on the main window: the network row's detail button.
  app_.window().activateWindow();
  app_.window().button(7)->setFocus(Qt::TabFocusReason);
  QTimer::singleShot(kSettleMs, this, [this, browser] {
    save(browser, "report-html");
    browser->close();
    app_.window().activateWindow();
    app_.window().button(7)->setFocus(Qt::TabFocusReason);
    QTimer::singleShot(kSettleMs, this, [this] {
      save(&app_.window(), "main-window-focus");
      openDetails(5);
    });
  });
}

void ScreenshotScript::openDetails(int tag) {
  if (tag > 8) {
    clickWidget(app_.window().button(3));
    QTimer::singleShot(kSettleMs, this, [this] {
      save(app_.window().helpWindow(), "help-window");
      QCoreApplication::exit(ok_ ? 0 : 1);
    });
    return;
  }
  // The detail panels of the controller's kept lists, as the buttons open them.
  saved_.erase(tag == 5 ? "hardware-panel" : tag == 6 ? "tcpip-panel" : tag == 7 ? "network-panel" : "mail-panel");
  clickWidget(app_.window().button(tag));
  QTimer::singleShot(kSettleMs, this, [this, tag] { openDetails(tag + 1); });
}

}  // namespace corvane

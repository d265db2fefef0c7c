// corvane: the window. Takes the same system options as corvane-cli.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTimer>
#include <iostream>
#include <memory>
#include <mutex>
#include <string_view>

#include "core/capture_archive.h"
#include "core/capture_platform.h"
#include "core/display_width.h"
#include "core/platform_signals.h"
#include "core/private_folders.h"
#include "gui/front_door.h"
#include "gui/screenshot_script.h"

namespace {

// The application a signal quits: set while it lives, so that the watcher
// never posts to one being made or destroyed.
std::mutex quitMutex;
QCoreApplication* quitTarget = nullptr;

struct QuitTarget {
  explicit QuitTarget(QCoreApplication* application) {
    std::lock_guard lock(quitMutex);
    quitTarget = application;
  }
  ~QuitTarget() {
    std::lock_guard lock(quitMutex);
    quitTarget = nullptr;
  }
};

// On the watcher's thread: the tools are already stopped; the windows close
// and the event loop ends, so that main's own cleanup runs.
void quitOnSignal(int) {
  std::lock_guard lock(quitMutex);
  if (quitTarget == nullptr) return;
  QMetaObject::invokeMethod(
      quitTarget,
      [] {
        QApplication::closeAllWindows();
        QCoreApplication::quit();
      },
      Qt::QueuedConnection);
}

int run(int argc, char** argv, const corvane::SignalWatch& watch) {
  QCoreApplication::setApplicationName("corvane");
  QCoreApplication::setApplicationVersion(CORVANE_VERSION);
  QGuiApplication::setDesktopFileName("corvane");

  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Corvane: the network check-up of your Internet provider.\n\n"
      "Exit status: 0 when the window was closed, 2 for a usage error (unknown option, bad value).");
  const QCommandLineOption helpOption = parser.addHelpOption();
  const QCommandLineOption versionOption = parser.addVersionOption();
  QCommandLineOption root("root", "System root: a captured Mac system, a folder or a capture archive (default /).",
                          "dir", "/");
  QCommandLineOption home("home", "The user's home folder, a path inside the root.", "path");
  QCommandLineOption bundle("bundle", "The application bundle folder.", "dir");
  QCommandLineOption lang("lang", "Language of the texts: en, ja or C (the keys); default from the locale.", "lang");
  QCommandLineOption noPause("no-pause", "Skip the one-second pauses between rows.");
  QCommandLineOption verbose("verbose", "Show the system-log texts on standard error.");
  // Scripted screenshots (make screenshots): not for users.
  QCommandLineOption screenshots("screenshot-script", "", "dir");
  screenshots.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOptions({root, home, bundle, lang, noPause, verbose, screenshots});
  // The arguments are read before any application exists: a usage error,
  // help and version need no display. A usage error is one line naming what
  // is wrong, and status 2.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (!parser.parse(arguments)) {
    std::cerr << "corvane: " << parser.errorText().toStdString() << '\n';
    return 2;
  }
  if (!parser.positionalArguments().isEmpty()) {
    std::cerr << "corvane: unexpected argument: " << parser.positionalArguments().front().toStdString() << '\n';
    return 2;
  }
  std::unique_ptr<QCoreApplication> application;
  if (parser.isSet(helpOption) || parser.isSet(versionOption)) {
    application = std::make_unique<QCoreApplication>(argc, argv);
    if (parser.isSet(helpOption)) parser.showHelp(0);
    parser.showVersion();
  }
  application = std::make_unique<QApplication>(argc, argv);
  const QuitTarget quitting(application.get());
  if (watch.received()) return 1;

  corvane::GuiOptions options;
  options.root = parser.value(root).toStdString();
  options.home = parser.value(home).toStdString();
  options.bundle = parser.value(bundle).toStdString();
  options.lang = parser.value(lang).toStdString();
  options.pauses = !parser.isSet(noPause);
  options.verbose = parser.isSet(verbose);
  // A capture archive is unpacked into a private folder removed on exit; a
  // capture of the earlier format is refused.
  std::string rootFailure;
  options.root = corvane::openRoot(options.root, rootFailure);
  if (options.root.empty()) {
    std::cerr << "corvane: --root: " << corvane::escapeControls(rootFailure, false) << '\n';
    return 2;
  }
  if (!options.bundle.empty() && !QDir(QString::fromStdString(options.bundle)).exists()) {
    std::cerr << "corvane: --bundle: no such folder: " << options.bundle << '\n';
    return 2;
  }
  if (!options.lang.empty() && options.lang != "en" && options.lang != "ja" && options.lang != "C") {
    std::cerr << "corvane: --lang must be en, ja or C\n";
    return 2;
  }

  corvane::FrontDoor door(options);
  door.start();
  std::unique_ptr<corvane::ScreenshotScript> script;
  if (parser.isSet(screenshots)) {
    if (!door.app()) {
      // No Mac: the picture of the page that asks for a capture.
      const QString picture = QDir(parser.value(screenshots)).filePath("open-capture.png");
      QDir().mkpath(parser.value(screenshots));
      QTimer::singleShot(500, [&door, picture] {
        const bool saved = door.page() && door.page()->grab().save(picture);
        QCoreApplication::exit(saved ? 0 : 1);
      });
      return QCoreApplication::exec();
    }
    script = std::make_unique<corvane::ScreenshotScript>(*door.app(), parser.value(screenshots));
    script->begin();
  }
  int status = QCoreApplication::exec();
  if (script && !script->succeeded()) status = 1;
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // A signal that ends the program stops the running tools and quits the
  // event loop; then what the program unpacked or downloaded is removed and
  // the program ends with the signal's status.
  corvane::SignalWatch watch(quitOnSignal);
  const int status = run(argc, argv, watch);
  corvane::removePrivateFolders();
  if (watch.received()) corvane::SignalWatch::endBySignal(watch.received());
  return status;
}

// corvane: the window. Takes the same system options as corvane-cli.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <iostream>
#include <memory>
#include <string_view>

#include "core/capture_archive.h"
#include "gui/corvane_app.h"
#include "gui/screenshot_script.h"

namespace {

// Help and version need no display: they are answered before the window's
// application exists.
bool asksForHelpOrVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version") return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<QCoreApplication> application;
  if (asksForHelpOrVersion(argc, argv)) {
    application = std::make_unique<QCoreApplication>(argc, argv);
  } else {
    application = std::make_unique<QApplication>(argc, argv);
  }
  QCoreApplication::setApplicationName("corvane");
  QCoreApplication::setApplicationVersion(CORVANE_VERSION);
  QGuiApplication::setDesktopFileName("corvane");

  QCommandLineParser parser;
  parser.setApplicationDescription("Corvane: the network check-up of your Internet provider.");
  parser.addHelpOption();
  parser.addVersionOption();
  QCommandLineOption root("root", "System root: a captured Mac system, a folder or a capture archive (default /).", "dir", "/");
  QCommandLineOption home("home", "The user's home folder, a path inside the root.", "path");
  QCommandLineOption bundle("bundle", "The application bundle folder.", "dir");
  QCommandLineOption lang("lang", "Language of the texts: en, ja or C (the keys); default from the locale.", "lang");
  QCommandLineOption noPause("no-pause", "Skip the one-second pauses between rows.");
  QCommandLineOption verbose("verbose", "Show the system-log texts on standard error.");
  // Scripted screenshots (make screenshots): not for users.
  QCommandLineOption screenshots("screenshot-script", "", "dir");
  screenshots.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOptions({root, home, bundle, lang, noPause, verbose, screenshots});
  parser.process(*application);

  corvane::GuiOptions options;
  options.root = parser.value(root).toStdString();
  options.home = parser.value(home).toStdString();
  options.bundle = parser.value(bundle).toStdString();
  options.lang = parser.value(lang).toStdString();
  options.pauses = !parser.isSet(noPause);
  options.verbose = parser.isSet(verbose);
  // A capture archive is unpacked into a private folder removed on exit.
  std::string rootFailure;
  options.root = corvane::openRootForReading(options.root, rootFailure);
  if (options.root.empty()) {
    std::cerr << "corvane: --root: " << rootFailure << '\n';
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

  corvane::CorvaneApp app(options);
  app.start();
  std::unique_ptr<corvane::ScreenshotScript> script;
  if (parser.isSet(screenshots)) {
    script = std::make_unique<corvane::ScreenshotScript>(app, parser.value(screenshots));
    script->begin();
  }
  int status = QCoreApplication::exec();
  if (script && !script->succeeded()) status = 1;
  return status;
}

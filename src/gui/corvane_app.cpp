#include "gui/corvane_app.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <iostream>

#include "app/system_readers.h"
#include "core/capture_platform.h"
#include "core/display_width.h"
#include "gui/language_setup.h"
#include "provider/provider_datas.h"

namespace corvane {
namespace {

std::unique_ptr<Platform> makePlatform(const GuiOptions& options) {
  PlatformOptions platformOptions;
  platformOptions.root = options.root;
  platformOptions.home = options.home;
  platformOptions.pauses = options.pauses;
  platformOptions.syslog = options.syslog;
  auto platform = makeRootPlatform(platformOptions);
  // The log quotes tool outputs and names from the system.
  if (options.verbose) platform->logSink = [](const std::string& text) { std::cerr << escapeControls(text) << '\n'; };
  return platform;
}

}  // namespace

CorvaneApp::CorvaneApp(const GuiOptions& options, const ReadersFactory& makeReaders,
                       std::unique_ptr<HttpDownloader> downloader)
    : platform_(makePlatform(options)),
      resources_(GuiResources::load(options.bundle.empty() ? Bundle::locate() : Bundle(options.bundle),
                                    options.lang.empty() ? preferredLanguage() : options.lang)),
      readers_(makeReaders ? makeReaders(*platform_) : makeSystemReaders(*platform_)),
      downloader_(downloader ? std::move(downloader) : makeHttpDownloader()) {
  platform_->internalErrorAlert = [this](const std::string& message) {
    QMessageBox box(window_.get());
    box.setWindowTitle(resources_.string("AlertTitle"));
    box.setText(QString::fromStdString(message));
    box.setIconPixmap(resources_.appIcon.pixmap(64, 64));
    box.addButton("OK", QMessageBox::AcceptRole);
    box.exec();
  };
  useLanguage(resources_.language);
  pressButtonsWithReturn();
  window_ = std::make_unique<MainWindow>(resources_, *platform_);
  controller_ = std::make_unique<Corvane>(
      CorvaneServices{*window_, runLoop_, *platform_, *readers_, *downloader_, resources_.strings, resources_.bundle},
      ProviderDatas::load(resources_.bundle));
  window_->setController(controller_.get());
}

CorvaneApp::~CorvaneApp() {
  // The controller talks to the window until it is gone.
  controller_.reset();
  window_.reset();
}

void CorvaneApp::start() {
  controller_->awakeFromNib();
  controller_->applicationDidFinishLaunching();
  window_->adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    window_->move(screen->availableGeometry().center() - window_->rect().center());
  window_->show();
  window_->raise();
  window_->activateWindow();
}

}  // namespace corvane

#include "gui/front_door.h"

#include <QGuiApplication>
#include <QScreen>

#include "core/capture_archive.h"
#include "core/capture_platform.h"
#include "core/mac_system.h"
#include "gui/language_setup.h"

namespace corvane {
namespace {

bool rootIsMac(const std::string& root) {
  PlatformOptions options;
  options.root = root;
  options.syslog = false;
  return isMacSystem(*makeRootPlatform(options));
}

std::string displayedRoot(const std::string& root) { return root == "/" ? "/" : rootDisplayName(root); }

}  // namespace

FrontDoor::FrontDoor(GuiOptions options, CorvaneApp::ReadersFactory makeReaders)
    : options_(std::move(options)),
      makeReaders_(std::move(makeReaders)),
      resources_(GuiResources::load(options_.bundle.empty() ? Bundle::locate() : Bundle(options_.bundle),
                                    options_.lang.empty() ? preferredLanguage() : options_.lang)) {
  useLanguage(resources_.language);
  pressButtonsWithReturn();
}

FrontDoor::~FrontDoor() {
  app_.reset();
  page_.reset();
}

void FrontDoor::start() {
  if (rootIsMac(options_.root)) {
    startApp();
    return;
  }
  page_ = std::make_unique<OpenCapturePage>(resources_, [this](const std::string& path) { openCapture(path); });
  page_->showRoot(displayedRoot(options_.root), "");
  page_->adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen())
    page_->move(screen->availableGeometry().center() - page_->rect().center());
  page_->show();
  page_->raise();
  page_->activateWindow();
}

bool FrontDoor::openCapture(const std::string& path) {
  if (app_) return true;
  std::string failure;
  const std::string root = openRoot(path, failure);
  if (root.empty()) {
    if (page_) page_->showRoot(displayedRoot(options_.root), failure);
    return false;
  }
  if (!rootIsMac(root)) {
    options_.root = root;
    if (page_) page_->showRoot(displayedRoot(root), "");
    return false;
  }
  options_.root = root;
  startApp();
  // The page may be the caller (its button or a drop): it goes once its
  // event is over.
  if (page_) {
    page_->hide();
    page_.release()->deleteLater();
  }
  return true;
}

void FrontDoor::startApp() {
  app_ = std::make_unique<CorvaneApp>(options_, makeReaders_);
  app_->start();
}

}  // namespace corvane

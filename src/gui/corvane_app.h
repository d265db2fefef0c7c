#pragma once
// The whole front end put together: the platform for the chosen system, the
// bundle's resources, the run loop on Qt's event loop, the readers, the
// window and the controller that drives it.

#include <functional>
#include <memory>
#include <string>

#include "app/check_readers.h"
#include "app/corvane.h"
#include "core/http_download.h"
#include "core/platform.h"
#include "gui/gui_resources.h"
#include "gui/main_window.h"
#include "gui/qt_run_loop.h"

namespace corvane {

struct GuiOptions {
  std::string root = "/";
  std::string home;    // a system path inside the root; empty: the platform's default
  std::string bundle;  // empty: the bundle next to the program
  std::string lang;    // "en", "ja" or "C"; empty: from the locale
  bool pauses = true;
  bool syslog = true;
  bool verbose = false;
};

class CorvaneApp {
 public:
  using ReadersFactory = std::function<std::unique_ptr<CheckReaders>(Platform&)>;

  // Readers and downloader default to the real system's and libcurl's.
  explicit CorvaneApp(const GuiOptions& options, const ReadersFactory& makeReaders = {},
                      std::unique_ptr<HttpDownloader> downloader = nullptr);
  ~CorvaneApp();

  // The layout is loaded, launching has finished: rows cleared, main
  // buttons armed, title set; the window is centred and shown.
  void start();

  MainWindow& window() { return *window_; }
  Corvane& controller() { return *controller_; }
  Platform& platform() { return *platform_; }
  const GuiResources& resources() const { return resources_; }

 private:
  std::unique_ptr<Platform> platform_;
  GuiResources resources_;
  QtRunLoop runLoop_;
  std::unique_ptr<CheckReaders> readers_;
  std::unique_ptr<HttpDownloader> downloader_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<Corvane> controller_;
};

}  // namespace corvane

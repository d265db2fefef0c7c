#pragma once
// How the window opens: on its system when the root is a Mac system, else
// on the page that asks for a captured system; a capture opened from that
// page starts the window again on that root.

#include <memory>
#include <string>

#include "gui/corvane_app.h"
#include "gui/gui_resources.h"
#include "gui/open_capture_page.h"

namespace corvane {

class FrontDoor {
 public:
  // options.root is a folder (an archive already unpacked).
  explicit FrontDoor(GuiOptions options, CorvaneApp::ReadersFactory makeReaders = {});
  ~FrontDoor();

  // Shows the window, or the page when the root is no Mac system.
  void start();

  // Opens an archive or a folder as the system root. A Mac system replaces
  // the page with the window; anything else stays on the page with a line
  // saying why. Returns whether the window is now open.
  bool openCapture(const std::string& path);

  CorvaneApp* app() { return app_.get(); }
  OpenCapturePage* page() { return page_.get(); }

 private:
  void startApp();

  GuiOptions options_;
  CorvaneApp::ReadersFactory makeReaders_;
  GuiResources resources_;
  std::unique_ptr<OpenCapturePage> page_;
  std::unique_ptr<CorvaneApp> app_;
};

}  // namespace corvane

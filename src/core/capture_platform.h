#pragma once
// A customer's capture read as a system root. A capture is a recording,
// never a program: its tool runs are answered from what corvane-capture
// recorded (corvane-capture/runs/N), never by starting a file from it; its
// disks come from the recorded `df -k`; its line from the recorded fetch of
// the provider's test address (corvane-capture/line/result).
//
// A system folder without a capture manifest (a test system, the demo) is
// trusted like a program the user runs: its tools are run as they are.
// makeRootPlatform tells the two apart; every front end makes its platform
// through it.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/capture_manifest.h"
#include "core/platform.h"

namespace corvane {

// The capture format this program reads: corvane-capture's script-version.
inline constexpr int kCaptureFormatVersion = 2;
// System paths of the recordings inside a capture.
inline constexpr std::string_view kCaptureRunsPath = "/corvane-capture/runs";
inline constexpr std::string_view kCaptureLinePath = "/corvane-capture/line/result";
// At most this many tool runs are read from a capture; each command file is
// at most kMaxRecordedCommandBytes long.
inline constexpr size_t kMaxRecordedRuns = 1000;
inline constexpr size_t kMaxRecordedCommandBytes = 64 * 1024;

// How one fetch of the test address went on the customer's Mac.
struct LineRecording {
  std::string url;
  long httpStatus = 0;  // 0: no answer came
  uint64_t bytes = 0;
  double seconds = 0;
  int curlExit = -1;
  std::string error;  // curl's own words; "" when it said nothing
  bool ok() const { return curlExit == 0 && httpStatus > 0 && httpStatus < 400; }
};

// A run's "command" file: the tool's system path, then its arguments, one a
// line. Empty when the text names no tool.
std::vector<std::string> parseRecordedCommand(std::string_view text);
// A run's "status" file ("started", "exit", "timed-out", "cut") applied to run.
void applyRecordedStatus(std::string_view text, ToolRun& run);
// The line's "result" file; nullopt when it names no address.
std::optional<LineRecording> parseLineRecording(std::string_view text);

class CapturePlatform : public Platform {
 public:
  explicit CapturePlatform(PlatformOptions options);

  // The recorded run with this tool path and exactly these arguments: its
  // output, exit status and flags. Without a recording the run was not
  // started (started == false, empty output), and the verbose log says so.
  // Nothing is ever started.
  ToolRun runTool(std::string_view systemPath, const std::vector<std::string>& args) override;

  // The capture's manifest (empty fields when it cannot be read).
  const CaptureManifest& manifest() const { return manifest_; }
  // The recorded fetch of the test address; nullopt when none was made.
  const std::optional<LineRecording>& lineRecording() const { return line_; }

 protected:
  // From the recorded `df -k`; an empty list without one, so that disk
  // figures are unknown rather than those of the machine reading the capture.
  std::optional<std::vector<RecordedVolume>> readRecordedVolumes() const override;

 private:
  // The run folder's system path for each recorded command.
  std::map<std::vector<std::string>, std::string> runs_;
  CaptureManifest manifest_;
  std::optional<LineRecording> line_;
  size_t outputCap_;
};

// The capture behind a platform; nullptr for a system folder.
const CapturePlatform* asCapture(const Platform& platform);

// Whether a root folder (a host path) is read as a capture: it holds a
// capture manifest, or it was unpacked from an archive (what comes in an
// archive is data, whatever it holds).
bool rootIsCapture(const std::string& rootFolder);

// Why a root folder cannot be read: one line when it is a capture made by an
// earlier corvane-capture (its tools replayed by scripts in the capture),
// "" when it can be read. displayName names it in the line.
std::string earlierCaptureRefusal(const std::string& rootFolder, const std::string& displayName);

// The root a user named (a folder, or an archive unpacked by
// openRootForReading) ready for makeRootPlatform: "" with failure set when it
// cannot be opened or is a capture of an earlier format.
std::string openRoot(const std::string& rootArgument, std::string& failure);

// How a front end makes each kind of platform (a subclass that times or
// watches); empty makers make the plain classes.
struct PlatformMakers {
  std::function<std::unique_ptr<Platform>(PlatformOptions)> system;
  std::function<std::unique_ptr<CapturePlatform>(PlatformOptions)> capture;
};

// The platform for options.root: a CapturePlatform when the root holds a
// capture manifest, else a Platform that runs the root's tools.
std::unique_ptr<Platform> makeRootPlatform(PlatformOptions options, const PlatformMakers& makers = {});

}  // namespace corvane

#pragma once
// Capture archives (.tar.gz made by corvane-capture) opened as system roots.
//
// An archive is unpacked into a new private folder (mode 0700) inside the
// temporary folder. Nothing is written outside that folder: an archive with
// an absolute path, a ".." component, a link that leads out of the folder or
// an entry below a link, a device file or other special file, a hard link,
// more than kMaxCaptureEntries entries or more than kMaxCaptureBytes of
// unpacked data is refused whole, and what was unpacked is removed.

#include <cstdint>
#include <string>

namespace corvane {

inline constexpr uint64_t kMaxCaptureEntries = 100000;
inline constexpr uint64_t kMaxCaptureBytes = 512ull * 1024 * 1024;

struct CaptureLimits {
  uint64_t entries = kMaxCaptureEntries;
  uint64_t bytes = kMaxCaptureBytes;
};

struct UnpackedCapture {
  std::string folder;   // host path of the private folder; "" on failure
  std::string failure;  // one line, naming the archive; "" on success
  bool ok() const { return failure.empty(); }
};

// Unpacks the archive into a new private folder inside temporaryFolder. The
// caller owns the folder (removeCaptureFolder).
UnpackedCapture unpackCaptureArchive(const std::string& archivePath, const std::string& temporaryFolder,
                                     CaptureLimits limits = {});

// Removes an unpacked capture's folder and everything in it.
void removeCaptureFolder(const std::string& folder);

// A root given by the user: a folder is used as it is; a file is unpacked as
// a capture archive into a private folder (core/private_folders.h) in the
// temporary folder ($TMPDIR or /tmp), after folders there that killed runs
// left are removed. The folder lives until the front end ends the program
// with removePrivateFolders; unpacking stops at the next entry once the
// program is asked to end (programStopRequested). Returns the folder to use
// as root, or "" with failure set.
std::string openRootForReading(const std::string& rootArgument, std::string& failure);

// The archive a folder returned by openRootForReading was unpacked from, or
// the folder itself when it was not.
std::string rootDisplayName(const std::string& rootFolder);

}  // namespace corvane

#pragma once
// The manifest corvane-capture writes into a capture: when and where it was
// made, the user's home folder, the checksums of the stores it found and the
// private file that keeps the secrets on the captured Mac.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class Platform;

// System path of the manifest inside a capture.
inline constexpr std::string_view kCaptureManifestPath = "/corvane-capture/manifest.txt";

struct StoreChecksum {
  std::string path;      // system path of the store on the captured Mac
  std::string checksum;  // cksum's CRC and byte count, "CRC SIZE"
};

// A value the capture kept on the Mac: its placeholder in the archive and
// the type of the value it stands for ("string", "data", "integer", "real",
// "array" or "dict").
struct CapturedSecret {
  std::string placeholder;
  std::string type;
};

struct CaptureManifest {
  std::string time;  // UTC, ISO 8601
  std::string id;
  std::string host;
  std::string osVersion;
  std::string home;
  // corvane-capture's format: 1 (or 0, unsaid) for the earlier script that
  // replayed tools by scripts in the capture, 2 for recordings as data.
  int scriptVersion = 0;
  std::string secretsFile;  // system path; "" when no secret was found
  std::vector<StoreChecksum> stores;
  std::vector<CapturedSecret> secrets;
  std::vector<std::string> leftOut;
};

// Reads "key: value" lines; nullopt when the text has no capture time or host.
std::optional<CaptureManifest> parseCaptureManifest(std::string_view text);

// The manifest of a root; nullopt when the root is not a capture.
std::optional<CaptureManifest> readCaptureManifest(const Platform& platform);

// "HOST, TIME": how a capture is named in reports and titles.
std::string captureName(const CaptureManifest& manifest);

}  // namespace corvane

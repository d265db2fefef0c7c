#include "core/capture_manifest.h"

#include "core/platform.h"
#include "core/text.h"

namespace corvane {

std::optional<CaptureManifest> parseCaptureManifest(std::string_view text) {
  CaptureManifest manifest;
  for (const std::string& line : splitText(text, "\n")) {
    const size_t colon = line.find(": ");
    if (colon == std::string::npos) continue;
    const std::string key = line.substr(0, colon);
    const std::string value = line.substr(colon + 2);
    if (key == "capture-time")
      manifest.time = value;
    else if (key == "capture-id")
      manifest.id = value;
    else if (key == "host")
      manifest.host = value;
    else if (key == "os-version")
      manifest.osVersion = value;
    else if (key == "home")
      manifest.home = value;
    else if (key == "script-version")
      manifest.scriptVersion = static_cast<int>(intValueOfText(value));
    else if (key == "secrets-file")
      manifest.secretsFile = value;
    else if (key == "left-out")
      manifest.leftOut.push_back(value);
    else if (key == "secret") {
      // "PLACEHOLDER TYPE FILE PATH": the placeholder and type hold no spaces.
      const std::vector<std::string> words = splitText(value, " ");
      if (words.size() >= 2) manifest.secrets.push_back({words[0], words[1]});
    } else if (key == "store") {
      // "PATH CRC SIZE": the path may hold spaces, the two numbers do not.
      const size_t size = value.rfind(' ');
      const size_t crc = size == std::string::npos || size == 0 ? std::string::npos : value.rfind(' ', size - 1);
      if (crc != std::string::npos) manifest.stores.push_back({value.substr(0, crc), value.substr(crc + 1)});
    }
  }
  if (manifest.time.empty() || manifest.host.empty()) return std::nullopt;
  return manifest;
}

std::optional<CaptureManifest> readCaptureManifest(const Platform& platform) {
  if (platform.rootIsSystem()) return std::nullopt;
  const auto text = platform.readFile(kCaptureManifestPath);
  return text ? parseCaptureManifest(*text) : std::nullopt;
}

std::string captureName(const CaptureManifest& manifest) { return manifest.host + ", " + manifest.time; }

}  // namespace corvane

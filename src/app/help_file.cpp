#include "app/help_file.h"

#include <filesystem>
#include <fstream>

#include "core/plist_io.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

std::string preferencesFolder(const Platform& platform) { return platform.homeFolder() + "/Library/Preferences/"; }

// Writes beside the file, then renames over it, so that a failed write
// never leaves half a file.
bool writeAtomically(const std::string& hostPath, const std::string& bytes) {
  std::string temporary = hostPath + ".corvane-new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!(out << bytes) || !out.flush()) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  fs::rename(temporary, hostPath, error);
  if (error) fs::remove(temporary, error);
  return !error;
}

}  // namespace

void DeleteHelp(Platform& platform, int cmp, const std::string& bundleIdentifier, const std::string& helpBookName) {
  std::string prefs = preferencesFolder(platform);
  std::string file = prefs + "com.apple.help.plist";
  Value help = readPropertyList(platform, file);
  if (auto* entries = help.dictionary(); entries != nullptr && entries->erase(bundleIdentifier))
    writeAtomically(platform.hostPath(file), toXmlPropertyList(help));
  if (cmp >= 0) return;

  std::string folder = prefs + "Apple Help Prefs/";
  std::error_code ignored;
  // Without a help book name the folder itself would be removed: leave it.
  if (!helpBookName.empty() && helpBookName.find('/') == std::string::npos && helpBookName != ".." &&
      helpBookName != ".")
    fs::remove_all(platform.hostPath(folder + helpBookName), ignored);
  if (platform.exists(folder + "Help Viewer Prefs save")) {
    fs::remove_all(platform.hostPath(folder + "Help Viewer Prefs"), ignored);
    fs::rename(platform.hostPath(folder + "Help Viewer Prefs save"), platform.hostPath(folder + "Help Viewer Prefs"),
               ignored);
  }
}

bool CopyHelp(Platform& platform) {
  std::string folder = preferencesFolder(platform) + "Apple Help Prefs/";
  std::error_code error;
  fs::copy(platform.hostPath(folder + "Help Viewer Prefs"), platform.hostPath(folder + "Help Viewer Prefs save"),
           fs::copy_options::recursive, error);
  return !error;
}

}  // namespace corvane

#include "app/help_file.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "core/plist_io.h"

namespace corvane {
namespace fs = std::filesystem;

namespace {

std::string preferencesFolder(const Platform& platform) {
  return platform.homeFolder() + "/Library/Preferences/";
}

// Writes bytes beside the file and renames them over it, so that the file is
// either the old one or the whole new one.
bool writeAtomically(const std::string& hostFile, const std::string& bytes) {
  const std::string temporary = hostFile + ".corvane-tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      out.close();
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  fs::rename(temporary, hostFile, error);
  if (error) fs::remove(temporary, error);
  return !error;
}

}  // namespace

void DeleteHelp(const Platform& platform, int cmp, std::string_view bundleIdentifier,
                std::string_view helpBookName) {
  const std::string prefs = preferencesFolder(platform);
  const std::string file = prefs + "com.apple.help.plist";
  Value registrations = readPropertyList(platform, file);
  if (Dictionary* entries = registrations.dictionary()) {
    entries->erase(bundleIdentifier);
    writeAtomically(platform.hostPath(file), toXmlPropertyList(registrations));
  }
  if (cmp >= 0) return;

  const std::string folder = prefs + "Apple Help Prefs/";
  std::error_code ignored;
  fs::remove_all(platform.hostPath(folder + std::string(helpBookName)), ignored);
  const std::string saved = platform.hostPath(folder + "Help Viewer Prefs save");
  if (!fs::exists(saved, ignored)) return;
  // Renaming replaces the current preferences in one step; were it to fail,
  // both files stay as they are rather than losing the current one first.
  const std::string current = platform.hostPath(folder + "Help Viewer Prefs");
  std::error_code error;
  fs::rename(saved, current, error);
  if (error && fs::is_directory(current, ignored)) {
    // A folder cannot be replaced by a rename: move it aside, then restore.
    const std::string aside = current + ".corvane-old";
    fs::rename(current, aside, error);
    if (!error) {
      fs::rename(saved, current, error);
      if (error) fs::rename(aside, current, ignored);
      else fs::remove_all(aside, ignored);
    }
  }
}

bool CopyHelp(const Platform& platform) {
  const std::string folder = preferencesFolder(platform) + "Apple Help Prefs/";
  std::error_code error;
  const std::string to = platform.hostPath(folder + "Help Viewer Prefs save");
  if (fs::exists(to, error)) return false;  // never overwrite an earlier backup
  fs::copy(platform.hostPath(folder + "Help Viewer Prefs"), to, fs::copy_options::recursive, error);
  return !error;
}

}  // namespace corvane

#include "gui/help_file.h"

#include <string>

#include "core/plist_io.h"

namespace corvane {

namespace {

std::string preferencesFolder(const Platform& platform) { return platform.homeFolder() + "/Library/Preferences/"; }

}  // namespace

void DeleteHelp(Platform& platform, int cmp, std::string_view bundleIdentifier, std::string_view helpBookName) {
  const std::string prefs = preferencesFolder(platform);
  const std::string file = prefs + "com.apple.help.plist";
  Value registrations = readPropertyList(platform, file);
  if (Dictionary* entries = registrations.dictionary()) {
    entries->erase(bundleIdentifier);
    platform.writeFile(file, toXmlPropertyList(registrations));
  }
  if (cmp >= 0) return;

  const std::string folder = prefs + "Apple Help Prefs/";
  platform.removeTree(folder + std::string(helpBookName));
  const std::string saved = folder + "Help Viewer Prefs save";
  if (!platform.exists(saved)) return;
  // Renaming replaces the current preferences in one step; were it to fail,
  // both files stay as they are rather than losing the current one first.
  const std::string current = folder + "Help Viewer Prefs";
  if (!platform.renamePath(saved, current) && platform.isDirectory(current)) {
    // A folder cannot be replaced by a rename: move it aside, then restore.
    const std::string aside = current + ".corvane-old";
    if (platform.renamePath(current, aside)) {
      if (platform.renamePath(saved, current))
        platform.removeTree(aside);
      else
        platform.renamePath(aside, current);
    }
  }
}

bool CopyHelp(Platform& platform) {
  const std::string folder = preferencesFolder(platform) + "Apple Help Prefs/";
  const std::string to = folder + "Help Viewer Prefs save";
  if (platform.exists(to)) return false;  // never overwrite an earlier backup
  return platform.copyTree(folder + "Help Viewer Prefs", to);
}

}  // namespace corvane

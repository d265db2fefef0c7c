#pragma once
// The application's help registration in the user's Help Viewer preferences,
// removed when the application quits.

#include <string>

#include "core/platform.h"

namespace corvane {

// Removes this application's entry (its bundle identifier) from the user's
// "Library/Preferences/com.apple.help.plist", keeping the other entries.
// Before 10.2 (cmp below 0) it also removes the help book's folder from
// "Apple Help Prefs/" and puts back the saved "Help Viewer Prefs". Failures
// are ignored.
void DeleteHelp(Platform& platform, int cmp, const std::string& bundleIdentifier, const std::string& helpBookName);

// Saves a copy of "Help Viewer Prefs" as "Help Viewer Prefs save"; true when
// the copy was made.
bool CopyHelp(Platform& platform);

}  // namespace corvane

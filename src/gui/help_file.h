#pragma once
// The application's help registration in the user's Help Viewer preferences:
// removed when the program quits, and a backup of the viewer's own
// preferences. Paths are system paths under the home folder of the platform.

#include <string_view>

#include "core/platform.h"

namespace corvane {

// The help book name the bundle registers (its CFBundleHelpBookName).
inline constexpr std::string_view kHelpBookName = "Corvane Help";

// Removes this application's entry (keyed by its bundle identifier) from
// ~/Library/Preferences/com.apple.help.plist, keeping every other entry.
// cmp is compOSVersion("10.2"): below 0 (before 10.2) it also removes the
// help book's folder from "Apple Help Prefs" and puts the saved copy of
// "Help Viewer Prefs" back in place. Failures are ignored.
void DeleteHelp(Platform& platform, int cmp, std::string_view bundleIdentifier,
                std::string_view helpBookName = kHelpBookName);

// Copies "Help Viewer Prefs" to "Help Viewer Prefs save" in the user's
// "Apple Help Prefs" folder; true when the copy was made.
bool CopyHelp(Platform& platform);

}  // namespace corvane

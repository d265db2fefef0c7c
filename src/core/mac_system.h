#pragma once
// Whether a system root holds a Mac system: every Mac has its version file;
// a folder without one (a Linux root, an empty or wrong folder) is no Mac.

#include "core/platform.h"

namespace corvane {

inline constexpr const char* kSystemVersionPath = "/System/Library/CoreServices/SystemVersion.plist";

inline bool isMacSystem(const Platform& platform) { return platform.exists(kSystemVersionPath); }

}  // namespace corvane

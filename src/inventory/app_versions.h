#pragma once
// Which version of an installed application is present.

#include <optional>
#include <string>
#include <string_view>

#include "core/plist_value.h"

namespace corvane {

class Platform;

// The system path of the application bundle with this name (as
// "Safari.app"), wherever an installer put it below the application folders
// /Applications, /Applications/Utilities, /System/Applications,
// /Network/Applications and the user's ~/Applications. The search goes level
// by level: the five folders themselves in this order, then their subfolders
// (in the same order, by name within a folder), and so on down to
// kApplicationSearchDepth levels below them. It never looks inside a bundle
// (an .app, .framework, ... folder), follows a link to a folder only to a
// real folder under the root, and walks each folder once. nullopt when none
// holds it.
inline constexpr int kApplicationSearchDepth = 3;
std::optional<std::string> fullPathForApplication(const Platform& platform, std::string_view bundleName);

// The bundle's "CFBundleShortVersionString", else its "CFBundleVersion", else
// the same keys of its "Contents/version.plist"; "0" when none is a non-empty
// text, when the path is absent, or when the files are unreadable.
std::string getAppVersion(const Platform& platform, const std::optional<std::string>& bundlePath);

// The versions of Internet Explorer, Safari, Netscape and Firefox, in this
// order; "0" for each one not installed. Always four texts.
Value getBrowser(const Platform& platform);

// The value under key, or the empty text when there is none.
Value getValue(const Value& dictionary, std::string_view key);

}  // namespace corvane

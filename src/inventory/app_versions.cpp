#include "inventory/app_versions.h"

#include "core/platform.h"
#include "core/plist_io.h"

namespace corvane {

namespace {

// The short version, else the bundle version, of an information dictionary;
// a key holding anything but a non-empty text counts as missing.
std::string versionOf(const Value& info) {
  const Value& shortVersion = info["CFBundleShortVersionString"];
  if (shortVersion.isString() && shortVersion.length() > 0) return shortVersion.text();
  const Value& bundleVersion = info["CFBundleVersion"];
  return bundleVersion.isString() ? bundleVersion.text() : std::string();
}

}  // namespace

std::optional<std::string> fullPathForApplication(const Platform& platform, std::string_view bundleName) {
  const std::string folders[] = {"/Applications", "/Applications/Utilities", "/System/Applications",
                                 "/Network/Applications", platform.homeFolder() + "/Applications"};
  for (const auto& folder : folders) {
    std::string path = folder + "/" + std::string(bundleName);
    if (platform.isDirectory(path)) return path;
  }
  return std::nullopt;
}

std::string getAppVersion(const Platform& platform, const std::optional<std::string>& bundlePath) {
  if (!bundlePath) return "0";
  std::string version = versionOf(readPropertyList(platform, *bundlePath + "/Contents/Info.plist"));
  if (version.empty()) {
    const std::string versionFile = *bundlePath + "/Contents/version.plist";
    if (platform.exists(versionFile)) version = versionOf(readPropertyList(platform, versionFile));
  }
  return version.empty() ? "0" : version;
}

Value getBrowser(const Platform& platform) {
  Value list(Value::Array{});
  for (const char* name : {"Internet Explorer.app", "Safari.app", "Netscape.app", "Firefox.app"})
    list.append(Value(getAppVersion(platform, fullPathForApplication(platform, name))));
  return list;
}

Value getValue(const Value& dictionary, std::string_view key) {
  const Value& value = dictionary[key];
  return value.isAbsent() ? Value("") : value;
}

}  // namespace corvane

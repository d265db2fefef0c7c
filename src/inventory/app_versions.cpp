#include "inventory/app_versions.h"

#include <unordered_set>
#include <vector>

#include "core/platform.h"
#include "core/plist_io.h"
#include "core/text.h"

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

// Folders that are bundles: applications and the kinds of bundle that can
// sit beside them. Their insides are never searched. HFS+ names compare
// without case.
bool isBundleName(std::string_view name) {
  static const char* const extensions[] = {".app",      ".framework", ".bundle",    ".plugin",      ".kext",
                                           ".prefpane", ".saver",     ".component", ".qlgenerator", ".mdimporter",
                                           ".wdgt",     ".xpc",       ".appex",     ".service"};
  const std::string lower = asciiLowercase(name);
  for (std::string_view extension : extensions)
    if (lower.size() > extension.size() && lower.ends_with(extension)) return true;
  return false;
}

bool isInsideBundle(std::string_view path) {
  for (const std::string& component : splitText(path, "/"))
    if (isBundleName(component)) return true;
  return false;
}

std::string withoutDoubleSlashes(std::string path) {
  for (size_t at; (at = path.find("//")) != std::string::npos;) path.erase(at, 1);
  return path;
}

}  // namespace

std::optional<std::string> fullPathForApplication(const Platform& platform, std::string_view bundleName) {
  std::vector<std::string> level;
  std::unordered_set<std::string> walked;
  for (std::string folder :
       {std::string("/Applications"), std::string("/Applications/Utilities"), std::string("/System/Applications"),
        std::string("/Network/Applications"), platform.homeFolder() + "/Applications"}) {
    folder = withoutDoubleSlashes(folder);
    if (walked.insert(folder).second) level.push_back(folder);
  }
  for (int depth = 0; !level.empty(); ++depth) {
    for (const auto& folder : level) {
      std::string path = folder + "/" + std::string(bundleName);
      if (platform.isDirectory(path)) return path;
    }
    if (depth == kApplicationSearchDepth) break;
    std::vector<std::string> next;
    for (const auto& folder : level) {
      for (const FolderEntry& entry : platform.listFolderEntries(folder)) {
        if (isBundleName(entry.name)) continue;
        std::string sub = folder + "/" + entry.name;
        if (entry.kind == EntryKind::link) {
          // One step only: a link to a link is not followed further.
          auto target = platform.linkTarget(sub);
          if (!target || platform.entryKind(*target) != EntryKind::folder || isInsideBundle(*target)) continue;
          sub = *target;
        } else if (entry.kind != EntryKind::folder) {
          continue;
        }
        if (walked.insert(sub).second) next.push_back(std::move(sub));
      }
    }
    level = std::move(next);
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

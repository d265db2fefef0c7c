#include "inventory/app_versions.h"

#include <gtest/gtest.h>

#include "captured_system.h"
#include "core/plist_io.h"

namespace corvane {
namespace {

using testing::CapturedMemorySystem;

TEST(AppVersionsTest, BrowsersOfEachCapturedSystem) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"inv-10.2", {"5.2.2", "0", "0", "0"}},
      // Internet Explorer: empty short version, so the bundle version; Netscape
      // from version.plist; Firefox from the user's own Applications folder.
      {"inv-10.4", {"5.2.3", "3.0.4", "7.2", "2.0.0.20"}},
      // The same browsers in folders of their own below /Applications.
      {"inv-10.4-app-folders", {"5.2.3", "3.0.4", "7.2", "2.0.0.20"}},
      {"inv-10.6", {"0", "5.1.10", "0", "0"}},
      {"inv-10.7", {"0", "6.1.6", "0", "45.9.0"}},
      {"inv-10.11", {"0", "11.1.2", "0", "60.9.0"}},
      {"inv-10.12", {"0", "12.1.2", "0", "0"}},
  };
  for (const auto& [name, versions] : cases) {
    CapturedMemorySystem system(name);
    EXPECT_EQ(getBrowser(system), Value::strings(versions)) << name;
  }
}

std::string infoPlist(std::initializer_list<std::pair<const char*, Value>> keys, bool binary = false) {
  Dictionary info;
  info.set("CFBundleIdentifier", Value("com.example.app"));
  for (const auto& [key, value] : keys) info.set(key, value);
  return binary ? toBinaryPropertyList(Value(info)) : toXmlPropertyList(Value(info));
}

TEST(AppVersionsTest, VersionFromEachPlaceInTheBundle) {
  struct Case {
    const char* what;
    std::string info;         // Contents/Info.plist ("" for none)
    std::string versionFile;  // Contents/version.plist ("" for none)
    const char* version;
  };
  const Case cases[] = {
      {"short version", infoPlist({{"CFBundleShortVersionString", Value("3.0.4")}, {"CFBundleVersion", Value("523")}}),
       "", "3.0.4"},
      {"binary information", infoPlist({{"CFBundleShortVersionString", Value("5.1.10")}}, true), "", "5.1.10"},
      {"empty short version",
       infoPlist({{"CFBundleShortVersionString", Value("")}, {"CFBundleVersion", Value("1085")}}), "", "1085"},
      {"short version not a text",
       infoPlist({{"CFBundleShortVersionString", Value(3)}, {"CFBundleVersion", Value("9")}}), "", "9"},
      {"version file, short first", infoPlist({}),
       infoPlist({{"CFBundleShortVersionString", Value("1.0")}, {"CFBundleVersion", Value("29")}}), "1.0"},
      {"version file, bundle version", infoPlist({{"CFBundleVersion", Value("")}}),
       infoPlist({{"CFBundleVersion", Value("7.2")}}, true), "7.2"},
      {"no version anywhere", infoPlist({}), infoPlist({}), "0"},
      {"no information file", "", infoPlist({{"CFBundleShortVersionString", Value("2.0")}}), "2.0"},
      {"corrupt information file", "<?xml version=\"1.0\"?><plist><dict><key>CFBundle", "", "0"},
      {"corrupt both", "bplist00garbage", "\xff\xfe\x00", "0"},
      {"information file is a list", "<plist version=\"1.0\"><array><string>9.0</string></array></plist>", "", "0"},
  };
  for (const auto& c : cases) {
    CapturedMemorySystem system("inv-10.6");
    const std::string bundle = "/Applications/Test.app";
    system.makeFolder(bundle + "/Contents");
    if (!c.info.empty()) system.put(bundle + "/Contents/Info.plist", c.info);
    if (!c.versionFile.empty()) system.put(bundle + "/Contents/version.plist", c.versionFile);
    EXPECT_EQ(getAppVersion(system, bundle), c.version) << c.what;
  }
}

TEST(AppVersionsTest, AbsentOrMissingBundleIsVersion0) {
  CapturedMemorySystem system("inv-10.6");
  EXPECT_EQ(getAppVersion(system, std::nullopt), "0");
  EXPECT_EQ(getAppVersion(system, std::string("/Applications/Nothing.app")), "0");
}

TEST(AppVersionsTest, ApplicationFoldersAreSearchedInOrder) {
  const std::vector<std::string> folders = {"/Applications", "/Applications/Utilities", "/System/Applications",
                                            "/Network/Applications", "/Users/user/Applications"};
  // With the application in every folder from i on, the one in folder i is found.
  for (size_t i = 0; i < folders.size(); ++i) {
    CapturedMemorySystem system("inv-10.6");
    for (size_t j = i; j < folders.size(); ++j) system.makeFolder(folders[j] + "/Tool.app/Contents");
    EXPECT_EQ(fullPathForApplication(system, "Tool.app"), folders[i] + "/Tool.app") << folders[i];
  }
  CapturedMemorySystem system("inv-10.6");
  system.put("/Applications/File.app", "a file, not a bundle");
  EXPECT_EQ(fullPathForApplication(system, "File.app"), std::nullopt);
  EXPECT_EQ(fullPathForApplication(system, "Nothing.app"), std::nullopt);
}

TEST(AppVersionsTest, ApplicationsInFoldersBelowTheApplicationFolders) {
  struct Link {
    std::string path, target;
  };
  struct Case {
    const char* what;
    std::vector<std::string> bundles;  // folders made as "X.app" bundles (or any folder)
    std::vector<Link> links;
    std::optional<std::string> found;  // where X.app is found
  };
  const Case cases[] = {
      {"in a folder of its own", {"/Applications/X 5.2/X.app"}, {}, "/Applications/X 5.2/X.app"},
      {"three levels down", {"/Applications/a/b/c/X.app"}, {}, "/Applications/a/b/c/X.app"},
      {"four levels down is too deep", {"/Applications/a/b/c/d/X.app"}, {}, std::nullopt},
      {"the top folders before their subfolders",
       {"/Applications/Sub/X.app", "/Users/user/Applications/X.app"},
       {},
       "/Users/user/Applications/X.app"},
      {"shallower first, whichever top folder",
       {"/Applications/a/b/X.app", "/Network/Applications/c/X.app"},
       {},
       "/Network/Applications/c/X.app"},
      {"by name within a level", {"/Applications/B/X.app", "/Applications/A/X.app"}, {}, "/Applications/A/X.app"},
      {"never inside a bundle",
       {"/Applications/Tools.app/X.app", "/Applications/Tools.app/Contents/Resources/X.app",
        "/Applications/Kit.framework/X.app", "/Applications/Old.APP/X.app"},
       {},
       std::nullopt},
      {"a link to a folder, absolute, taken under the root",
       {"/Users/Shared/Web/X.app"},
       {{"/Applications/Web", "/Users/Shared/Web"}},
       "/Users/Shared/Web/X.app"},
      {"a relative link", {"/Library/Apps/X.app"}, {{"/Applications/Apps", "../Library/Apps"}}, "/Library/Apps/X.app"},
      {"a link back up ends",
       {"/Applications/Empty"},
       {{"/Applications/Loop", "/Applications"}, {"/Applications/Here", "."}},
       std::nullopt},
      {"a link to a link is not followed",
       {"/Stuff/X.app"},
       {{"/Applications/First", "/Second"}, {"/Second", "/Stuff"}},
       std::nullopt},
      {"a link into a bundle is not followed",
       {"/Applications/Tools.app/Contents/X.app"},
       {{"/Applications/Inside", "/Applications/Tools.app/Contents"}},
       std::nullopt},
  };
  for (const auto& c : cases) {
    CapturedMemorySystem system("inv-10.6");
    for (const auto& bundle : c.bundles) system.makeFolder(bundle + "/Contents");
    for (const auto& link : c.links) system.putLink(link.path, link.target);
    EXPECT_EQ(fullPathForApplication(system, "X.app"), c.found) << c.what;
  }
}

TEST(AppVersionsTest, GetValueDefaultsToTheEmptyText) {
  Dictionary d;
  d.set("Hostname", Value("pop.example.jp"));
  d.set("Port", Value(110));
  const Value dict(d);
  EXPECT_EQ(getValue(dict, "Hostname"), Value("pop.example.jp"));
  EXPECT_EQ(getValue(dict, "Port"), Value(110));
  EXPECT_EQ(getValue(dict, "Username"), Value(""));
  EXPECT_EQ(getValue(Value(), "Hostname"), Value(""));
}

}  // namespace
}  // namespace corvane

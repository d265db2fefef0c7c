// Removing the help registration when the application quits.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/help_file.h"
#include "core/plist_io.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

constexpr const char* kPrefs = "Users/user/Library/Preferences/";

class HelpFile : public ::testing::Test {
 protected:
  void SetUp() override {
    Dictionary entries;
    entries.set("com.example.Other", Value("other book"));
    entries.set("jp.corvane.Corvane", Value("Corvane Help"));
    root.write(std::string(kPrefs) + "com.apple.help.plist", toXmlPropertyList(Value(entries)));
    root.write(std::string(kPrefs) + "Apple Help Prefs/Corvane Help/index", "book");
    root.write(std::string(kPrefs) + "Apple Help Prefs/Help Viewer Prefs", "current");
    root.write(std::string(kPrefs) + "Apple Help Prefs/Help Viewer Prefs save", "saved");
  }
  Platform platform() const {
    return Platform(PlatformOptions{.root = root.path(), .home = "/Users/user", .pauses = false, .syslog = false});
  }
  std::string prefs(const std::string& name) const { return root.path() + "/" + kPrefs + name; }
  TempFolder root;
};

TEST_F(HelpFile, FromTenTwoOnlyOurEntryGoes) {
  Platform system = platform();
  DeleteHelp(system, 1, "jp.corvane.Corvane", "Corvane Help");
  Value help = parsePropertyList(readHostFile(prefs("com.apple.help.plist")));
  EXPECT_EQ(help.count(), 1u);
  EXPECT_TRUE(help["com.example.Other"].equals("other book"));
  EXPECT_TRUE(std::filesystem::exists(prefs("Apple Help Prefs/Corvane Help/index")));
  EXPECT_EQ(readHostFile(prefs("Apple Help Prefs/Help Viewer Prefs")), "current");
}

TEST_F(HelpFile, BeforeTenTwoTheBookGoesAndTheSavedPrefsComeBack) {
  Platform system = platform();
  DeleteHelp(system, -1, "jp.corvane.Corvane", "Corvane Help");
  EXPECT_FALSE(std::filesystem::exists(prefs("Apple Help Prefs/Corvane Help")));
  EXPECT_EQ(readHostFile(prefs("Apple Help Prefs/Help Viewer Prefs")), "saved");
  EXPECT_FALSE(std::filesystem::exists(prefs("Apple Help Prefs/Help Viewer Prefs save")));
}

TEST_F(HelpFile, WithoutABookNameThePrefsFolderStays) {
  Platform system = platform();
  for (std::string name : {"", "..", "../.."}) DeleteHelp(system, -1, "jp.corvane.Corvane", name);
  EXPECT_TRUE(std::filesystem::exists(prefs("Apple Help Prefs/Corvane Help/index")));
  EXPECT_TRUE(std::filesystem::exists(prefs("com.apple.help.plist")));
}

TEST_F(HelpFile, MissingOrBrokenFilesAreLeftAlone) {
  root.write(std::string(kPrefs) + "com.apple.help.plist", "not a property list");
  Platform system = platform();
  DeleteHelp(system, 1, "jp.corvane.Corvane", "Corvane Help");
  EXPECT_EQ(readHostFile(prefs("com.apple.help.plist")), "not a property list");
}

TEST_F(HelpFile, CopyHelpSavesTheViewerPrefs) {
  std::filesystem::remove(prefs("Apple Help Prefs/Help Viewer Prefs save"));
  Platform system = platform();
  EXPECT_TRUE(CopyHelp(system));
  EXPECT_EQ(readHostFile(prefs("Apple Help Prefs/Help Viewer Prefs save")), "current");
}

}  // namespace
}  // namespace corvane::testing

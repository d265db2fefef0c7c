#include "gui/help_file.h"

#include <gtest/gtest.h>

#include "core/plist_io.h"
#include "support/memory_platform.h"

namespace corvane {
namespace {

using testing::MemoryPlatform;

constexpr std::string_view kPrefs = "Users/user/Library/Preferences/";
constexpr std::string_view kId = "jp.corvane.Corvane";

std::string registrations(std::initializer_list<std::string_view> ids) {
  Dictionary entries;
  for (std::string_view id : ids) entries.set(std::string(id), Value(std::string("/Applications/") + std::string(id)));
  return toXmlPropertyList(Value(std::move(entries)));
}

class HelpFileTest : public ::testing::Test {
 protected:
  static std::string path(std::string_view relative) { return "/" + std::string(relative); }
  bool exists(std::string_view relative) const { return platform.exists(path(relative)); }
  std::string read(std::string_view relative) const { return platform.read(path(relative)); }
  void write(std::string_view relative, std::string_view bytes) { platform.put(path(relative), bytes); }

  MemoryPlatform platform;
};

TEST_F(HelpFileTest, RemovesOnlyThisApplicationsEntryFromTheHelpPreferences) {
  write(std::string(kPrefs) + "com.apple.help.plist", registrations({"com.other.App", kId, "org.third.Tool"}));
  DeleteHelp(platform, 1, kId);
  Value after = parsePropertyList(read(std::string(kPrefs) + "com.apple.help.plist"));
  ASSERT_TRUE(after.isDictionary());
  EXPECT_EQ(after.count(), 2u);
  EXPECT_TRUE(after["com.other.App"].equals("/Applications/com.other.App"));
  EXPECT_TRUE(after["org.third.Tool"].equals("/Applications/org.third.Tool"));
  EXPECT_TRUE(after[kId].isAbsent());
  // Written in one step: nothing is left beside it.
  EXPECT_EQ(platform.listFolder(path(kPrefs)), std::vector<std::string>{"com.apple.help.plist"});
}

TEST_F(HelpFileTest, OnTenTwoAndLaterLeavesTheHelpViewerFolderAlone) {
  const std::string folder = std::string(kPrefs) + "Apple Help Prefs/";
  write(folder + "Corvane Help/book", "index");
  write(folder + "Help Viewer Prefs", "current");
  write(folder + "Help Viewer Prefs save", "saved");
  DeleteHelp(platform, 0, kId);
  EXPECT_TRUE(exists(folder + "Corvane Help/book"));
  EXPECT_EQ(read(folder + "Help Viewer Prefs"), "current");
  EXPECT_TRUE(exists(folder + "Help Viewer Prefs save"));
}

TEST_F(HelpFileTest, BeforeTenTwoRemovesTheBookAndPutsTheSavedViewerPreferencesBack) {
  const std::string folder = std::string(kPrefs) + "Apple Help Prefs/";
  write(folder + "Corvane Help/book", "index");
  write(folder + "Other Help/book", "other");
  write(folder + "Help Viewer Prefs", "current");
  write(folder + "Help Viewer Prefs save", "saved");
  DeleteHelp(platform, -1, kId);
  EXPECT_FALSE(exists(folder + "Corvane Help"));
  EXPECT_TRUE(exists(folder + "Other Help/book"));
  EXPECT_EQ(read(folder + "Help Viewer Prefs"), "saved");
  EXPECT_FALSE(exists(folder + "Help Viewer Prefs save"));
}

TEST_F(HelpFileTest, BeforeTenTwoWithoutASavedCopyKeepsTheViewerPreferences) {
  const std::string folder = std::string(kPrefs) + "Apple Help Prefs/";
  write(folder + "Help Viewer Prefs", "current");
  DeleteHelp(platform, -1, kId);
  EXPECT_EQ(read(folder + "Help Viewer Prefs"), "current");
}

TEST_F(HelpFileTest, MissingOrBrokenPreferencesAreLeftAsTheyAre) {
  DeleteHelp(platform, 1, kId);  // nothing there: nothing made
  EXPECT_FALSE(exists(std::string(kPrefs) + "com.apple.help.plist"));

  write(std::string(kPrefs) + "com.apple.help.plist", "not a property list");
  DeleteHelp(platform, -1, kId);
  EXPECT_EQ(read(std::string(kPrefs) + "com.apple.help.plist"), "not a property list");
}

TEST_F(HelpFileTest, CopyHelpSavesTheViewerPreferencesOnceAndNeverOverwritesTheBackup) {
  const std::string folder = std::string(kPrefs) + "Apple Help Prefs/";
  EXPECT_FALSE(CopyHelp(platform));  // nothing to copy
  write(folder + "Help Viewer Prefs", "first");
  EXPECT_TRUE(CopyHelp(platform));
  EXPECT_EQ(read(folder + "Help Viewer Prefs save"), "first");
  write(folder + "Help Viewer Prefs", "second");
  EXPECT_FALSE(CopyHelp(platform));
  EXPECT_EQ(read(folder + "Help Viewer Prefs save"), "first");
}

}  // namespace
}  // namespace corvane

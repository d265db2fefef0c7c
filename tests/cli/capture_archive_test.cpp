// Capture archives opened as roots: hostile archives are refused whole and
// write nothing outside the private folder; the recorded volumes and the
// manifest are read as a Mac wrote them.

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/capture_archive.h"
#include "core/capture_manifest.h"
#include "core/recorded_volumes.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

struct Entry {
  std::string path;
  mode_t type = AE_IFREG;
  std::string data;       // file contents
  std::string link;       // link target
  int64_t declared = -1;  // a size other than the data's
  mode_t perm = 0644;
};

std::string writeArchive(const std::string& path, const std::vector<Entry>& entries) {
  archive* out = archive_write_new();
  archive_write_add_filter_gzip(out);
  archive_write_set_format_pax_restricted(out);
  archive_write_open_filename(out, path.c_str());
  for (const Entry& e : entries) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, e.path.c_str());
    archive_entry_set_filetype(entry, e.type);
    archive_entry_set_perm(entry, e.perm);
    if (e.type == AE_IFLNK) archive_entry_set_symlink(entry, e.link.c_str());
    if (e.type == AE_IFCHR) archive_entry_set_rdev(entry, makedev(1, 3));
    archive_entry_set_size(
        entry, e.type == AE_IFREG ? (e.declared >= 0 ? e.declared : static_cast<int64_t>(e.data.size())) : 0);
    archive_write_header(out, entry);
    if (e.type == AE_IFREG && !e.data.empty()) archive_write_data(out, e.data.data(), e.data.size());
    archive_entry_free(entry);
  }
  archive_write_close(out);
  archive_write_free(out);
  return path;
}

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

TEST(CaptureArchive, HostileArchivesAreRefusedAndWriteNothingOutside) {
  struct Case {
    const char* what;
    std::vector<Entry> entries;
    CaptureLimits limits;
    const char* message;
  };
  const std::string big(2 * 1024 * 1024, 'x');
  std::vector<Entry> many;
  for (int i = 0; i < 11; ++i) many.push_back({"file" + std::to_string(i), AE_IFREG, "x"});
  const Case cases[] = {
      {"dot-dot", {{"ok.txt", AE_IFREG, "fine"}, {"../escaped", AE_IFREG, "evil"}}, {}, "leads out"},
      {"dot-dot inside", {{"a/../../escaped", AE_IFREG, "evil"}}, {}, "leads out"},
      {"absolute", {{"/tmp/escaped", AE_IFREG, "evil"}}, {}, "leads out"},
      {"link out", {{"link", AE_IFLNK, "", ".."}, {"link/escaped", AE_IFREG, "evil"}}, {}, "link"},
      {"absolute link", {{"link", AE_IFLNK, "", "/tmp"}}, {}, "link"},
      {"through a link inside",
       {{"dir/", AE_IFDIR}, {"in", AE_IFLNK, "", "dir"}, {"in/file", AE_IFREG, "x"}},
       {},
       "below a link"},
      {"link chain out",
       {{"d/", AE_IFDIR}, {"d/l1", AE_IFLNK, "", ".."}, {"l2", AE_IFLNK, "", "d/l1/.."}, {"l3", AE_IFLNK, "", "l2/.."}},
       {},
       "link"},
      // A name the earlier link went through becomes a link to the folder.
      {"later link", {{"a", AE_IFLNK, "", "x/.."}, {"x", AE_IFLNK, "", "."}}, {}, "link"},
      {"link loop", {{"l", AE_IFLNK, "", "m/x"}, {"m", AE_IFLNK, "", "l"}}, {}, "link"},
      {"device", {{"dev/null", AE_IFCHR}}, {}, "device"},
      {"fifo", {{"pipe", AE_IFIFO}}, {}, "special"},
      {"huge entry", {{"big", AE_IFREG, big}}, {100, 1024 * 1024}, "MB"},
      {"declared too big", {{"big", AE_IFREG, "small", "", int64_t{2} << 20}}, {100, 1024 * 1024}, "MB"},
      {"too many entries", many, {10, kMaxCaptureBytes}, "more than 10 entries"},
  };
  for (const Case& c : cases) {
    TempFolder scratch;
    const std::string temporary = scratch.path() + "/tmp/inner";
    fs::create_directories(temporary);
    const std::string archive = writeArchive(scratch.path() + "/hostile.tar.gz", c.entries);
    const UnpackedCapture unpacked = unpackCaptureArchive(archive, temporary, c.limits);
    EXPECT_FALSE(unpacked.ok()) << c.what;
    EXPECT_EQ(unpacked.folder, "") << c.what;
    EXPECT_NE(unpacked.failure.find(c.message), std::string::npos) << c.what << ": " << unpacked.failure;
    EXPECT_EQ(unpacked.failure.find('\n'), std::string::npos) << c.what;
    EXPECT_TRUE(namesIn(temporary).empty()) << c.what << ": the private folder is removed";
    EXPECT_EQ(namesIn(scratch.path() + "/tmp"), std::vector<std::string>{"inner"}) << c.what;
    EXPECT_FALSE(fs::exists("/tmp/escaped")) << c.what;
  }
}

TEST(CaptureArchive, AGoodArchiveUnpacksIntoAPrivateFolder) {
  TempFolder scratch;
  const std::string archive = writeArchive(scratch.path() + "/good.tar.gz",
                                           {{"./", AE_IFDIR},
                                            {"./System/Library/CoreServices/SystemVersion.plist", AE_IFREG, "<plist/>"},
                                            {"./sbin/ifconfig", AE_IFREG, "#!/bin/sh\n", "", -1, 04755},
                                            {"./Library/link", AE_IFLNK, "", "../sbin/ifconfig"},
                                            // Through a link, and still inside.
                                            {"./Library/up", AE_IFLNK, "", ".."},
                                            {"./again", AE_IFLNK, "", "Library/up/sbin"}});
  const UnpackedCapture unpacked = unpackCaptureArchive(archive, scratch.path());
  ASSERT_TRUE(unpacked.ok()) << unpacked.failure;
  struct stat st {};
  ASSERT_EQ(::stat(unpacked.folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(testing::readHostFile(unpacked.folder + "/System/Library/CoreServices/SystemVersion.plist"), "<plist/>");
  EXPECT_TRUE(fs::is_symlink(unpacked.folder + "/Library/link"));
  // Nothing unpacked from a capture is a program: no execute nor set-id bit.
  ASSERT_EQ(::stat((unpacked.folder + "/sbin/ifconfig").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  EXPECT_EQ(testing::readHostFile(unpacked.folder + "/again/ifconfig"), "#!/bin/sh\n");
  removeCaptureFolder(unpacked.folder);
  EXPECT_FALSE(fs::exists(unpacked.folder));
}

TEST(CaptureArchive, GarbageIsNotACaptureArchive) {
  TempFolder scratch;
  const std::string junk = scratch.write("junk.tar.gz", std::string(4000, '\x07'));
  const UnpackedCapture unpacked = unpackCaptureArchive(junk, scratch.path());
  EXPECT_NE(unpacked.failure.find("is not a capture archive"), std::string::npos) << unpacked.failure;
  EXPECT_EQ(namesIn(scratch.path()), std::vector<std::string>{"junk.tar.gz"});
}

TEST(RecordedVolumes, DfOutputOfEachRelease) {
  // 10.4 (no inode columns), 10.6 and later (inode columns), names with spaces.
  const std::string text =
      "Filesystem              1024-blocks     Used    Avail Capacity  Mounted on\n"
      "/dev/disk0s3               78150744 67669088 10225656    87%    /\n"
      "devfs                            98       98        0   100%    /dev\n"
      "automount -nsl [142]              0        0        0   100%    /Network\n"
      "/dev/disk1s2  488050672 10240000 477810672     3%  12 34   1%   /Volumes/Backup Disk\n"
      "map -hosts                        0        0        0   100%    0 0  100%   /net\n"
      "//user@nas.local/Public   976762584 52428800 924333784     6%    0 0  100%   /Volumes/Public\n"
      "nas.local:/export          976762584 52428800 924333784     6%    /Volumes/export\n"
      "/dev/disk1s2  488050672 10240000 477810672     3%  12 34   1%   /Volumes/Backup Disk\n"
      "garbage line\n";
  const auto volumes = parseDfOutput(text);
  ASSERT_EQ(volumes.size(), 8u);
  EXPECT_EQ(volumes[0].fileSystem, "/dev/disk0s3");
  EXPECT_EQ(volumes[2].fileSystem, "automount -nsl [142]");
  EXPECT_EQ(volumes[5].fileSystem, "//user@nas.local/Public");
  EXPECT_EQ(volumes[0].mountPoint, "/");
  EXPECT_EQ(volumes[0].totalBytes, 78150744ull * 1024);
  EXPECT_EQ(volumes[0].freeBytes, 10225656ull * 1024);
  EXPECT_EQ(volumes[2].mountPoint, "/Network");
  EXPECT_EQ(volumes[3].mountPoint, "/Volumes/Backup Disk");
  EXPECT_EQ(volumes[3].freeBytes, 477810672ull * 1024);
  EXPECT_EQ(volumes[4].mountPoint, "/net");
  EXPECT_EQ(volumeHolding(volumes, "/Volumes/Backup Disk/x")->mountPoint, "/Volumes/Backup Disk");
  EXPECT_EQ(volumeHolding(volumes, "/Volumes/Backup Diskette")->mountPoint, "/");
  // Shares left out, a volume listed twice named once.
  EXPECT_EQ(localMountPoints(volumes), (std::vector<std::string>{"/", "/Volumes/Backup Disk"}));
  EXPECT_EQ(volumeHolding({}, "/"), nullptr);
}

TEST(CaptureManifest, ReadsWhatTheCaptureWrote) {
  const auto manifest = parseCaptureManifest(
      "capture-time: 2026-12-10T16:05:00Z\ncapture-id: 20261210-160500-42\nhost: Taro's iMac\n"
      "os-version: 10.4.11\nhome: /Users/taro\nsecrets-file: /Users/taro/Library/Application Support/Corvane/x\n"
      "store: /Library/Preferences/SystemConfiguration/preferences.plist 786780423 9457\n"
      "left-out: /usr/bin/dig (not present)\n"
      "secret: @@corvane-secret:20261210-160500-42:1:3@@ data /Library/Preferences/SystemConfiguration/"
      "preferences.plist /NetworkServices/A B/PPP/SharedSecret\n");
  ASSERT_TRUE(manifest);
  EXPECT_EQ(captureName(*manifest), "Taro's iMac, 2026-12-10T16:05:00Z");
  EXPECT_EQ(manifest->home, "/Users/taro");
  ASSERT_EQ(manifest->stores.size(), 1u);
  EXPECT_EQ(manifest->stores[0].path, "/Library/Preferences/SystemConfiguration/preferences.plist");
  EXPECT_EQ(manifest->stores[0].checksum, "786780423 9457");
  ASSERT_EQ(manifest->secrets.size(), 1u);
  EXPECT_EQ(manifest->secrets[0].placeholder, "@@corvane-secret:20261210-160500-42:1:3@@");
  EXPECT_EQ(manifest->secrets[0].type, "data");
  EXPECT_FALSE(parseCaptureManifest("host: x\n"));
}

}  // namespace
}  // namespace corvane

#include "inventory/local_volumes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "captured_system.h"

namespace corvane {
namespace {

using testing::CapturedSystem;

// A platform that sees the folders named in shares as network shares.
class SharesPlatform : public Platform {
 public:
  SharesPlatform(const std::string& root, std::set<std::string> shares)
      : Platform({.root = root, .home = "/Users/user", .pauses = false, .syslog = false}), shares_(std::move(shares)) {}
  DiskFigures diskFigures(std::string_view systemPath) const override {
    DiskFigures figures = Platform::diskFigures(systemPath);
    figures.networkShare = shares_.count(std::string(systemPath)) > 0;
    return figures;
  }

 private:
  std::set<std::string> shares_;
};

TEST(LocalVolumesTest, EachLocalVolumeOnce) {
  struct Link {
    const char* name;
    const char* target;
  };
  struct Case {
    const char* what;
    std::vector<std::string> folders;  // under /Volumes
    std::vector<Link> links;           // under /Volumes
    std::set<std::string> shares;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"nothing but a file in /Volumes", {}, {}, {}, {"/"}},
      {"the start-up volume's link to /", {}, {{"Macintosh HD", "/"}}, {}, {"/"}},
      {"a second disk and the start-up link", {"Data"}, {{"Macintosh HD", "/"}}, {}, {"/", "/Volumes/Data"}},
      {"links to a listed volume, absolute and relative",
       {"Backup", "Data"},
       {{"Data alias", "/Volumes/Data"}, {"Old Backup", "../Volumes/Backup"}, {"Same", "Data"}},
       {},
       {"/", "/Volumes/Backup", "/Volumes/Data"}},
      {"a network share", {"Data", "Public"}, {}, {"/Volumes/Public"}, {"/", "/Volumes/Data"}},
      {"a link to nothing", {"Data"}, {{"Gone", "/Volumes/Gone"}}, {}, {"/", "/Volumes/Data"}},
  };
  for (const auto& c : cases) {
    CapturedSystem system("inv-10.6");
    for (const auto& folder : c.folders) std::filesystem::create_directories(system.hostPath("/Volumes/" + folder));
    if (!c.links.empty()) std::filesystem::create_directories(system.hostPath("/Volumes"));
    for (const auto& link : c.links)
      std::filesystem::create_symlink(link.target, system.hostPath(std::string("/Volumes/") + link.name));
    system.write("/Volumes/.DS_Store", "not a volume");
    SharesPlatform platform(system.root(), c.shares);
    EXPECT_EQ(mountedLocalVolumePaths(platform), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace corvane

#include "inventory/local_volumes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "captured_system.h"

namespace corvane {
namespace {

using testing::CapturedMemorySystem;
using testing::CapturedSystem;

// A captured system that sees the folders named in shares as network shares.
class SharesSystem : public CapturedMemorySystem {
 public:
  SharesSystem(const std::string& name, std::set<std::string> shares)
      : CapturedMemorySystem(name), shares_(std::move(shares)) {}
  DiskFigures diskFigures(std::string_view systemPath) const override {
    DiskFigures figures = CapturedMemorySystem::diskFigures(systemPath);
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
    SharesSystem system("inv-10.6", c.shares);
    for (const auto& folder : c.folders) system.makeFolder("/Volumes/" + folder);
    for (const auto& link : c.links) system.putLink(std::string("/Volumes/") + link.name, link.target);
    system.put("/Volumes/.DS_Store", "not a volume");
    EXPECT_EQ(mountedLocalVolumePaths(system), c.expected) << c.what;
  }
}

TEST(LocalVolumesTest, ACaptureGivesTheVolumesItRecorded) {
  // The capture's /Volumes holds a folder of its own; what its Mac had
  // mounted is what its df printed: a second disk (twice), a share, /dev.
  // The platform runs the capture's own df, so the capture is a real folder.
  CapturedSystem system("inv-10.6");
  std::filesystem::create_directories(system.hostPath("/Volumes/Not Mounted"));
  system.write("/bin/df",
               "#!/bin/sh\ncat <<'EOF'\n"
               "Filesystem    1024-blocks     Used    Avail Capacity  iused ifree %iused  Mounted on\n"
               "/dev/disk0s2    243966468 80000000 163710468    33%  1 2   1%   /\n"
               "devfs                 190      190         0   100%  1 2   1%   /dev\n"
               "/dev/disk1s2    488050672 10240000 477810672     3%  1 2   1%   /Volumes/Data\n"
               "//me@nas.local/Public 976762584 52428800 924333784 6%  1 2   1%   /Volumes/Public\n"
               "/dev/disk1s2    488050672 10240000 477810672     3%  1 2   1%   /Volumes/Data\n"
               "EOF\n",
               true);
  Platform platform({.root = system.root(), .home = "/Users/user", .pauses = false, .syslog = false});
  EXPECT_EQ(mountedLocalVolumePaths(platform), (std::vector<std::string>{"/", "/Volumes/Data"}));
}

}  // namespace
}  // namespace corvane

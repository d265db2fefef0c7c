#include "inventory/local_volumes.h"

#include "core/platform.h"
#include "core/recorded_volumes.h"

namespace corvane {

std::vector<std::string> mountedLocalVolumePaths(const Platform& platform) {
  // A captured system says what was mounted on its Mac; the folders under
  // the capture's /Volumes are not that.
  if (const auto& recorded = platform.recordedVolumes()) {
    std::vector<std::string> paths = {"/"};
    for (std::string& mount : localMountPoints(*recorded))
      if (mount != "/") paths.push_back(std::move(mount));
    return paths;
  }
  std::vector<std::string> paths = {"/"};
  for (const FolderEntry& entry : platform.listFolderEntries("/Volumes")) {
    if (entry.kind != EntryKind::folder) continue;
    std::string path = "/Volumes/" + entry.name;
    if (platform.diskFigures(path).networkShare) continue;
    paths.push_back(std::move(path));
  }
  return paths;
}

}  // namespace corvane

#include "inventory/local_volumes.h"

#include "core/platform.h"

namespace corvane {

std::vector<std::string> mountedLocalVolumePaths(const Platform& platform) {
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

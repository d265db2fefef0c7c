#pragma once
// The volumes a captured system recorded with `df -k`: a captured Mac's disks
// are reported from them, never from the disk of the machine that reads the
// capture.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

struct RecordedVolume {
  std::string fileSystem;  // df's first column: "/dev/disk0s2", "//user@server/Share", "server:/export"
  std::string mountPoint;
  uint64_t totalBytes = 0;
  uint64_t freeBytes = 0;
};

// The volumes of `df -k` output, in its order. Lines without the figures
// (the header, broken lines) are skipped; mount points may hold spaces, and
// the inode columns of later releases are passed over.
std::vector<RecordedVolume> parseDfOutput(std::string_view text);

// The volume holding a system path: the one with the longest mount point that
// is the path or one of its parent folders; nullptr when none is.
const RecordedVolume* volumeHolding(const std::vector<RecordedVolume>& volumes, std::string_view systemPath);

// Whether df's file-system name is a share mounted from another machine
// (SMB and AFP "//user@server/share", NFS "server:/path", "afp_..." ids).
bool isNetworkFileSystemName(std::string_view fileSystem);

// The mount points of the local volumes, each once: "/" and those under
// /Volumes that are not network shares.
std::vector<std::string> localMountPoints(const std::vector<RecordedVolume>& volumes);

}  // namespace corvane

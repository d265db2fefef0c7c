#pragma once
// The mounted local volumes that the hardware panel lists.

#include <string>
#include <vector>

namespace corvane {

class Platform;

// The system paths of the mounted local volumes, each once: "/" (the
// start-up volume), then the folders under /Volumes by name. An entry of
// /Volumes that is a link is left out: it is no mount point of its own (the
// start-up volume's entry there is a link to "/", and others point at a
// listed volume). A volume whose file system is a network share is left out
// as far as the platform can tell it (DiskFigures::networkShare). A captured
// root that recorded its volumes (df) gives those instead: "/" and its local
// volumes under /Volumes.
std::vector<std::string> mountedLocalVolumePaths(const Platform& platform);

}  // namespace corvane

#pragma once
// The hardware panel's table: every mounted local volume with its free and
// total size.

#include <string>
#include <vector>

#include "app/corvane_view.h"
#include "core/platform.h"

namespace corvane {

// A size as the panel shows it: divided by 1024 (before 10.6) or 1000 (from
// 10.6) while it has two or more digits before the point, up to "GB";
// "%.2f" and the unit name "Byte", "KB", "MB" or "GB".
std::string formatVolumeSize(double bytes, bool decimalUnits);

// One row per volume path; a volume whose sizes cannot be read shows
// "0.00 Byte".
std::vector<VolumeRow> volumeRows(const Platform& platform, const std::vector<std::string>& volumePaths);

}  // namespace corvane

#include "app/hardware_panel_model.h"

#include <cstdio>

#include "core/os_version.h"

namespace corvane {

std::string formatVolumeSize(double bytes, bool decimalUnits) {
  static const char* const units[] = {"Byte", "KB", "MB", "GB"};
  double value = bytes;
  int unit = 0;
  while (unit < 3 && value >= 10.0) {
    value /= decimalUnits ? 1000.0 : 1024.0;
    ++unit;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.2f %s", value, units[unit]);
  return text;
}

std::vector<VolumeRow> volumeRows(const Platform& platform, const std::vector<std::string>& volumePaths) {
  bool decimal = osAtLeast(platform, "10.6");
  std::vector<VolumeRow> rows;
  for (const std::string& path : volumePaths) {
    DiskFigures figures = platform.diskFigures(path);
    double free = figures.known ? static_cast<double>(figures.freeBytes) : 0.0;
    double all = figures.known ? static_cast<double>(figures.totalBytes) : 0.0;
    rows.push_back({path, formatVolumeSize(free, decimal), formatVolumeSize(all, decimal)});
  }
  return rows;
}

}  // namespace corvane

#include "core/machine_facts.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/file_read.h"
#include "core/text.h"

namespace corvane {

namespace {

std::string readHostText(const char* path) { return readWholeFile(path).value_or(""); }

// The number after the ":" of the first line whose name starts with name, in MHz.
std::optional<double> megahertzOfLine(std::string_view cpuinfo, std::string_view name) {
  for (const auto& line : splitText(cpuinfo, "\n")) {
    if (line.rfind(name, 0) != 0) continue;
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const char* start = line.c_str() + colon + 1;
    char* end = nullptr;
    double mhz = std::strtod(start, &end);
    if (end != start && mhz > 0) return mhz;
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> cpuTypeOfMachine(std::string_view machine) {
  if (machine == "x86_64" || machine == "amd64" ||
      (machine.size() == 4 && machine[0] == 'i' && machine.substr(2) == "86"))
    return kCpuTypeX86;
  if (machine.rfind("aarch64", 0) == 0 || machine.rfind("arm", 0) == 0) return kCpuTypeArm;
  if (machine.rfind("ppc", 0) == 0 || machine.rfind("powerpc", 0) == 0) return kCpuTypePowerPC;
  return std::nullopt;
}

std::optional<uint64_t> clockHzFromCpuInfo(std::string_view cpuinfo) {
  auto mhz = megahertzOfLine(cpuinfo, "cpu MHz");
  if (!mhz) mhz = megahertzOfLine(cpuinfo, "clock");
  if (!mhz) return std::nullopt;
  return static_cast<uint64_t>(*mhz * 1000000.0 + 0.5);
}

MachineFacts readMachineFacts() {
  MachineFacts facts;
  struct utsname name {};
  if (::uname(&name) == 0) facts.cpuType = cpuTypeOfMachine(name.machine);

  facts.clockHz = clockHzFromCpuInfo(readHostText("/proc/cpuinfo"));
  if (!facts.clockHz) {
    // Machines whose cpuinfo has no clock still report the cpufreq maximum, in kHz.
    std::string khz = readHostText("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq");
    if (int32_t value = intValueOfText(khz); value > 0) facts.clockHz = static_cast<uint64_t>(value) * 1000;
  }

  long pages = ::sysconf(_SC_PHYS_PAGES);
  long pageSize = ::sysconf(_SC_PAGE_SIZE);
  if (pages > 0 && pageSize > 0) facts.memoryBytes = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
  return facts;
}

}  // namespace corvane

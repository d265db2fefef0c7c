#pragma once
// Processor and memory facts of the machine the program runs on (not of the
// system root, which holds files only).

#include <cstdint>
#include <optional>
#include <string_view>

namespace corvane {

// Processor type codes as the Mach host calls report them.
inline constexpr int kCpuTypeX86 = 7;
inline constexpr int kCpuTypeArm = 12;
inline constexpr int kCpuTypePowerPC = 18;

struct MachineFacts {
  std::optional<int> cpuType;           // nullopt: the processor query failed
  std::optional<uint64_t> clockHz;      // processor clock
  std::optional<uint64_t> memoryBytes;  // physical memory
};

// Reads the facts of this machine: the processor type from the machine
// name, the clock from /proc/cpuinfo (or the cpufreq maximum), the memory
// from the page count.
MachineFacts readMachineFacts();

// The processor type code of a machine name as uname reports it ("x86_64",
// "aarch64", "ppc64le", ...); nullopt for one not known.
std::optional<int> cpuTypeOfMachine(std::string_view machine);

// The clock in Hz from the text of /proc/cpuinfo: the first "cpu MHz" line
// (x86), else the first "clock" line ("1800.000000MHz", PowerPC).
std::optional<uint64_t> clockHzFromCpuInfo(std::string_view cpuinfo);

}  // namespace corvane

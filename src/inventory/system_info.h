#pragma once
// The facts of the system and hardware rows: OS version, start-up disk,
// the system profiler's hardware overview, and the host's processor and
// memory.

#include <string>
#include <string_view>

#include "core/machine_facts.h"
#include "core/plist_value.h"

namespace corvane {

class Platform;

// "MacOSX " and the running product version; "MacOSX (null)" when the system
// version file or its key is missing.
std::string getOS(const Platform& platform);

// "%.2f GB / %.2f GB": free, then total size of the file system holding the
// system root, in units of 2^30 bytes before 10.6 and of 10^9 bytes from 10.6
// on. Unknown figures count as zero.
std::string getHDD(const Platform& platform);

// The "_items" list of the first record of the system profiler's XML output
// for the data type (all types when it is empty). The empty list when the
// tool cannot run or its output is not a non-empty property-list array
// whose first record has an "_items" list. The output is parsed in memory.
Value getSystemProfile(Platform& platform, std::string_view dataType);

// The parsing step of getSystemProfile, on the tool's output text.
Value parseSystemProfile(std::string_view xml);

// "Intel Processor" for processor type 7, "No PowerPC Processor" for any
// other, "Error" (logging "host_processor_info error") when the query failed.
std::string getCPU(const Platform& platform, const MachineFacts& facts);
std::string getCPU(const Platform& platform);

// "%ld MHz", the clock divided by 10^6; "0 MHz" when it is unknown.
std::string getClock(const MachineFacts& facts);
std::string getClock();

// "%ld MB", the physical memory divided by 2^20; "0 MB" when it is unknown.
std::string getMemory(const MachineFacts& facts);
std::string getMemory();

}  // namespace corvane

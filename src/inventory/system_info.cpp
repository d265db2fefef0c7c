#include "inventory/system_info.h"

#include <cstdio>

#include "core/os_version.h"
#include "core/platform.h"
#include "core/plist_io.h"

namespace corvane {

std::string getOS(const Platform& platform) {
  const Value& version = platform.productVersion();
  return "MacOSX " + (version.isString() ? version.text() : std::string("(null)"));
}

std::string getHDD(const Platform& platform) {
  DiskFigures figures = platform.diskFigures("/");
  double freeSize = static_cast<double>(figures.freeBytes);
  double totalSize = static_cast<double>(figures.totalBytes);
  const double unit = osAtLeast(platform, "10.6") ? 1000000000.0 : 1073741824.0;
  char text[128];
  std::snprintf(text, sizeof text, "%.2f GB / %.2f GB", freeSize / unit, totalSize / unit);
  return text;
}

Value getSystemProfile(Platform& platform, std::string_view dataType) {
  std::vector<std::string> args{"-xml"};
  if (!dataType.empty()) args.emplace_back(dataType);
  ToolRun run = platform.runTool("/usr/sbin/system_profiler", args);
  return parseSystemProfile(run.output);
}

Value parseSystemProfile(std::string_view xml) {
  Value records = parsePropertyList(xml);
  if (!records.isArray() || records.count() == 0) return Value(Value::Array{});
  const Value& items = records[0]["_items"];
  return items.isArray() ? items : Value(Value::Array{});
}

std::string getCPU(const Platform& platform, const MachineFacts& facts) {
  if (!facts.cpuType) {
    platform.log("host_processor_info error");
    return "Error";
  }
  return *facts.cpuType == kCpuTypeX86 ? "Intel Processor" : "No PowerPC Processor";
}

std::string getCPU(const Platform& platform) { return getCPU(platform, readMachineFacts()); }

std::string getClock(const MachineFacts& facts) { return std::to_string(facts.clockHz.value_or(0) / 1000000) + " MHz"; }

std::string getClock() { return getClock(readMachineFacts()); }

std::string getMemory(const MachineFacts& facts) {
  return std::to_string(facts.memoryBytes.value_or(0) / 1048576) + " MB";
}

std::string getMemory() { return getMemory(readMachineFacts()); }

}  // namespace corvane

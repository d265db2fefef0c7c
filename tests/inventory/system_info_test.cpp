#include "inventory/system_info.h"

#include <gtest/gtest.h>

#include "captured_system.h"

namespace corvane {
namespace {

using testing::CapturedMemorySystem;
using testing::CapturedSystem;
using testing::MemoryPlatform;

TEST(SystemInfoTest, OSTextOfEachCapturedSystem) {
  const std::pair<const char*, const char*> cases[] = {
      {"inv-10.2", "MacOSX 10.2.8"}, {"inv-10.4", "MacOSX 10.4.11"},  {"inv-10.6", "MacOSX 10.6.8"},
      {"inv-10.7", "MacOSX 10.7.5"}, {"inv-10.11", "MacOSX 10.11.6"}, {"inv-10.12", "MacOSX 10.12.6"},
  };
  for (const auto& [name, expected] : cases) {
    CapturedMemorySystem system(name);
    EXPECT_EQ(getOS(system), expected) << name;
  }
}

TEST(SystemInfoTest, OSTextWithoutVersion) {
  CapturedMemorySystem system("inv-10.6");
  system.remove("/System/Library/CoreServices/SystemVersion.plist");
  EXPECT_EQ(getOS(system), "MacOSX (null)");
}

TEST(SystemInfoTest, DiskTextUsesBinaryGigabytesBefore10_6) {
  const DiskFigures disk{.totalBytes = 250059350016, .freeBytes = 1073741824, .known = true};
  const std::pair<const char*, const char*> cases[] = {
      {"inv-10.2", "1.00 GB / 232.89 GB"},
      {"inv-10.4", "1.00 GB / 232.89 GB"},
      {"inv-10.6", "1.07 GB / 250.06 GB"},
      {"inv-10.12", "1.07 GB / 250.06 GB"},
  };
  for (const auto& [name, expected] : cases) {
    CapturedMemorySystem system(name);
    system.setDiskFigures(disk);
    EXPECT_EQ(getHDD(system), expected) << name;
    EXPECT_EQ(system.diskQuestions, std::vector<std::string>{"/"});
  }
}

TEST(SystemInfoTest, UnknownDiskCountsAsZero) {
  CapturedMemorySystem system("inv-10.6");
  system.setDiskFigures(DiskFigures{});
  EXPECT_EQ(getHDD(system), "0.00 GB / 0.00 GB");
}

// The host's own figures of the folder that holds the root.
TEST(SystemInfoTest, RealDiskOfTheRoot) {
  CapturedSystem system("inv-10.6");
  std::string text = getHDD(*system.platform());
  EXPECT_NE(text, "0.00 GB / 0.00 GB");
  EXPECT_NE(text.find(" GB / "), std::string::npos);
}

TEST(SystemInfoTest, HardwareProfileOfEachCapturedSystem) {
  struct Case {
    const char* system;
    const char* cpu;
    const char* clock;
    const char* memory;
  };
  const Case cases[] = {
      {"inv-10.2", "PowerPC G3", "700 MHz", "384 MB"},     {"inv-10.4", "PowerPC G4  (1.1)", "1.07 GHz", "768 MB"},
      {"inv-10.6", "Intel Core 2 Duo", "2.4 GHz", "4 GB"}, {"inv-10.7", "Intel Core i5", "2.8 GHz", ""},
      {"inv-10.11", "Intel Core i7", "3 GHz", "16 GB"},    {"inv-10.12", "Intel Core i5", "1.3 GHz", "8 GB"},
  };
  for (const auto& c : cases) {
    CapturedMemorySystem system(c.system);
    Value items = getSystemProfile(system, "SPHardwareDataType");
    ASSERT_EQ(items.count(), 1u) << c.system;
    EXPECT_TRUE(items[0]["_name"].equals("hardware_overview")) << c.system;
    EXPECT_TRUE(items[0]["cpu_type"].equals(c.cpu)) << c.system;
    EXPECT_TRUE(items[0]["current_processor_speed"].equals(c.clock)) << c.system;
    EXPECT_TRUE(items[0]["physical_memory"].equals(c.memory)) << c.system;
  }
}

TEST(SystemInfoTest, SystemProfilerArguments) {
  MemoryPlatform platform;
  platform.putTool("/usr/sbin/system_profiler", "");
  getSystemProfile(platform, "SPHardwareDataType");
  EXPECT_EQ(platform.toolRuns, std::vector<std::string>{"/usr/sbin/system_profiler -xml SPHardwareDataType"});
  getSystemProfile(platform, "");
  EXPECT_EQ(platform.toolRuns, (std::vector<std::string>{"/usr/sbin/system_profiler -xml SPHardwareDataType",
                                                         "/usr/sbin/system_profiler -xml"}));
}

TEST(SystemInfoTest, ProfileOutputsWithoutItemsGiveTheEmptyList) {
  const char* head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">";
  const std::string cases[] = {
      "",
      "system_profiler: command not found",
      std::string(head) + "<array/></plist>",
      std::string(head) + "<dict><key>_items</key><array><dict/></array></dict></plist>",
      std::string(head) + "<array><dict><key>_dataType</key><string>SPHardwareDataType</string></dict></array></plist>",
      std::string(head) + "<array><dict><key>_items</key><string>none</string></dict></array></plist>",
      std::string(head) + "<array><dict><key>_items</key><array><dict/></array>",  // cut short
  };
  for (const auto& output : cases) {
    Value items = parseSystemProfile(output);
    EXPECT_TRUE(items.isArray()) << output;
    EXPECT_EQ(items.count(), 0u) << output;
  }
}

TEST(SystemInfoTest, ProfileTakesTheFirstRecordsItems) {
  Value items = parseSystemProfile(
      "<plist version=\"1.0\"><array>"
      "<dict><key>_items</key><array><dict><key>cpu_type</key><string>Intel Core i7</string></dict>"
      "<dict><key>cpu_type</key><string>second</string></dict></array></dict>"
      "<dict><key>_items</key><array><dict><key>cpu_type</key><string>other record</string></dict></array></dict>"
      "</array></plist>");
  ASSERT_EQ(items.count(), 2u);
  EXPECT_TRUE(items[0]["cpu_type"].equals("Intel Core i7"));
}

TEST(SystemInfoTest, MissingSystemProfilerGivesTheEmptyList) {
  CapturedMemorySystem system("inv-10.6");
  system.remove("/usr/sbin/system_profiler");
  EXPECT_EQ(getSystemProfile(system, "SPHardwareDataType").count(), 0u);
}

TEST(SystemInfoTest, ProcessorClockAndMemoryTexts) {
  struct Case {
    MachineFacts facts;
    const char* cpu;
    const char* clock;
    const char* memory;
  };
  const Case cases[] = {
      {{kCpuTypeX86, 2400000000u, 4294967296u}, "Intel Processor", "2400 MHz", "4096 MB"},
      {{kCpuTypePowerPC, 1066999999u, 805306368u}, "No PowerPC Processor", "1066 MHz", "768 MB"},
      {{kCpuTypeArm, 3228000000u, 17179869184u}, "No PowerPC Processor", "3228 MHz", "16384 MB"},
      {{std::nullopt, std::nullopt, std::nullopt}, "Error", "0 MHz", "0 MB"},
  };
  for (const auto& c : cases) {
    MemoryPlatform platform;
    EXPECT_EQ(getCPU(platform, c.facts), c.cpu);
    EXPECT_EQ(getClock(c.facts), c.clock);
    EXPECT_EQ(getMemory(c.facts), c.memory);
    EXPECT_EQ(platform.logged,
              c.facts.cpuType ? std::vector<std::string>{} : std::vector<std::string>{"host_processor_info error"});
  }
}

}  // namespace
}  // namespace corvane

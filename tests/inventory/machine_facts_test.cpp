#include "core/machine_facts.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(MachineFactsTest, ProcessorTypeOfMachineNames) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"x86_64", kCpuTypeX86},  {"i686", kCpuTypeX86},     {"i386", kCpuTypeX86},
      {"aarch64", kCpuTypeArm}, {"armv7l", kCpuTypeArm},   {"ppc64le", kCpuTypePowerPC},
      {"ppc", kCpuTypePowerPC}, {"riscv64", std::nullopt}, {"", std::nullopt},
  };
  for (const auto& [machine, type] : cases) EXPECT_EQ(cpuTypeOfMachine(machine), type) << machine;
}

TEST(MachineFactsTest, ClockFromCpuInfo) {
  const std::pair<const char*, std::optional<uint64_t>> cases[] = {
      {"processor\t: 0\nvendor_id\t: GenuineIntel\ncpu MHz\t\t: 2399.998\ncache size\t: 8192 KB\n"
       "processor\t: 1\ncpu MHz\t\t: 800.000\n",
       2399998000u},
      {"processor\t: 0\ncpu\t\t: 7447A, altivec supported\nclock\t\t: 1333.333000MHz\n", 1333333000u},
      {"processor\t: 0\nBogoMIPS\t: 48.00\nFeatures\t: fp asimd\n", std::nullopt},
      {"cpu MHz\t\t: unknown\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [text, hz] : cases) EXPECT_EQ(clockHzFromCpuInfo(text), hz) << text;
}

TEST(MachineFactsTest, ThisMachineHasMemory) {
  MachineFacts facts = readMachineFacts();
  ASSERT_TRUE(facts.memoryBytes);
  EXPECT_GT(*facts.memoryBytes, 0u);
}

}  // namespace
}  // namespace corvane

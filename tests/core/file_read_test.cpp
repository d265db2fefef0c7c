#include "core/file_read.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/temp_folder.h"

namespace corvane {
namespace {

TEST(ReadWholeFile, OnlyRegularFilesReadToTheEnd) {
  testing::TempFolder folder;
  const std::string file = folder.write("store.plist", std::string("a\0b", 3));
  const std::string fifo = folder.path() + "/pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

  EXPECT_EQ(readWholeFile(file), std::string("a\0b", 3));
  EXPECT_EQ(readWholeFile(folder.write("empty", "")), "");
  EXPECT_EQ(readWholeFile(folder.path() + "/missing"), std::nullopt);
  EXPECT_EQ(readWholeFile(folder.path()), std::nullopt);     // a folder
  EXPECT_EQ(readWholeFile(fifo), std::nullopt);              // returns at once, no writer needed
  EXPECT_EQ(readWholeFile("/proc/self/mem"), std::nullopt);  // a read error, not an empty file
  EXPECT_EQ(readWholeFile(file, 2), std::nullopt);           // longer than allowed
  EXPECT_EQ(readWholeFile(file, 3), std::string("a\0b", 3));
}

}  // namespace
}  // namespace corvane

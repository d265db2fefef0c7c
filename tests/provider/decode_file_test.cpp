#include "provider/decode_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "provider/provider_encoder.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

TEST(GetRand, FirstDrawsFromStateZero) {
  SetRandSeedForTesting(0);
  EXPECT_EQ(GetRand(), 38);
  EXPECT_EQ(GetRand(), 39);
  EXPECT_EQ(GetRand(), 246);
  EXPECT_EQ(GetRand(), 133);
  ResetRandSeed();
}

TEST(ConvertPCKanji, MapsOnlyWindowsLeadByte87) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"\x87\x40", "\x85\x40"},          // circled 1
      {"\x87\x53", "\x85\x53"},          // circled 20
      {"\x87\x54", "\x85\x9F"},          // Roman I
      {"\x87\x5D", "\x85\xA8"},          // Roman X
      {"\x87\x60", "\x87\x60"},          // other NEC characters stay
      {"\x81\x87\x40", "\x81\x87\x40"},  // 0x87 as a trail byte
      {"a\x87", "a\x87"},                // a lead byte just before the end
      {"\x87\x40\x87\x54", "\x85\x40\x85\x9F"},
  };
  for (const auto& c : cases) {
    std::string line = c.in;
    ConvertPCKanji(line.data());
    EXPECT_EQ(line, c.out);
  }
}

TEST(IntConv, FirstByteIsLow) {
  const unsigned char bytes[2] = {0x10, 0x02};
  EXPECT_EQ(IntConv(bytes), 0x0210);
}

TEST(DecodeBuffer, RefusesLengthsOverTheLimitWithoutDrawing) {
  unsigned char buffer[1024] = {1, 2, 3};
  ResetRandSeed();
  DecodeBuffer first;
  EXPECT_FALSE(first.Decode(buffer, 513));
  EXPECT_FALSE(first.Decode(buffer, -1));
  DecodeBuffer2 second;
  EXPECT_FALSE(second.Decode(buffer, 512));
  EXPECT_EQ(buffer[0], 1);
  const uint8_t next = GetRand();
  ResetRandSeed();
  EXPECT_EQ(GetRand(), next) << "a refused record must not consume draws";
}

TEST(DecodeBuffer2, BadCheckByteLeavesTheBufferButAdvancesTheGenerator) {
  EncodedProviderFile file = encodeProviderFile("tcp=DHCP\n", 2);
  ASSERT_TRUE(file.ok);
  std::string record = file.bytes.substr(4);  // scrambled bytes and check byte
  record.back() = static_cast<char>(record.back() + 1);
  unsigned char buffer[1024];
  std::memcpy(buffer, record.data(), record.size());
  ResetRandSeed();
  DecodeBuffer2 decoder;
  EXPECT_FALSE(decoder.Decode(buffer, static_cast<int32_t>(record.size() - 1)));
  EXPECT_EQ(std::memcmp(buffer, record.data(), record.size()), 0);
  uint8_t afterRecord = GetRand();
  ResetRandSeed();
  EXPECT_NE(GetRand(), afterRecord);
}

std::vector<std::string> readLines(const std::string& path) {
  DecodeFile reader;
  std::vector<std::string> lines;
  if (!reader.OpenFile(path)) return {"<not opened>"};
  while (const char* line = reader.GetDecodedLine()) lines.emplace_back(line);
  reader.CloseFile();
  return lines;
}

TEST(DecodeFile, BothFormatsReadBackWhatTheEncoderWrote) {
  testing::TempFolder folder;
  const std::string text = "app_title=Quorvalin\n\nruteip=192.0.2.1\ntcp=DHCP\n";
  for (int format : {1, 2}) {
    EncodedProviderFile file = encodeProviderFile(text, format);
    ASSERT_TRUE(file.ok) << file.error;
    std::string path = folder.write("p" + std::to_string(format) + ".idx", file.bytes);
    EXPECT_EQ(readLines(path), (std::vector<std::string>{"app_title=Quorvalin", "", "ruteip=192.0.2.1", "tcp=DHCP"}))
        << "format " << format;
  }
}

TEST(DecodeFile, TwoReadersInTurnGiveTheSameLines) {
  testing::TempFolder folder;
  std::string path = folder.write("p.idx", encodeProviderFile("a=1\nb=2\n", 2).bytes);
  EXPECT_EQ(readLines(path), readLines(path));
}

TEST(DecodeFile, FormatIsChosenByTheFirstTwoBytes) {
  testing::TempFolder folder;
  // 0x80, 0x02 is not the second format's header: read as a first-format
  // record of length 0x0280, over the limit, so no line.
  std::string swapped = std::string("\x80\x02", 2) + std::string(640, 'x');
  EXPECT_TRUE(readLines(folder.write("swapped.idx", swapped)).empty());
  EXPECT_TRUE(readLines(folder.write("short.idx", "\x05")).empty());
  EXPECT_TRUE(readLines(folder.write("empty.idx", "")).empty());
}

TEST(DecodeFile, OpenTwiceAndMissingFiles) {
  testing::TempFolder folder;
  std::string path = folder.write("p.idx", encodeProviderFile("a=1\n", 1).bytes);
  DecodeFile reader;
  EXPECT_EQ(reader.GetDecodedLine(), nullptr);
  ASSERT_TRUE(reader.OpenFile(path));
  EXPECT_FALSE(reader.OpenFile(path));
  ASSERT_NE(reader.GetDecodedLine(), nullptr);
  EXPECT_TRUE(reader.CloseFile());
  EXPECT_FALSE(reader.isOpen());
  EXPECT_FALSE(reader.OpenFile(folder.path() + "/missing.idx"));
  EXPECT_FALSE(reader.OpenFile(folder.path()));
  EXPECT_TRUE(reader.CloseFile());
}

TEST(DecodeFile, LineEndsAreTrimmedAsRecorded) {
  // Records made by hand in the first format, to hold line ends the encoder
  // never writes.
  auto record = [](std::string plain) {
    ResetRandSeed();
    std::string out;
    auto prev = static_cast<unsigned char>(plain.size() % 256);
    const std::string key = ">fu#-qnOm";
    for (size_t i = 0; i < plain.size(); ++i) {
      auto s = static_cast<unsigned char>(static_cast<unsigned char>(plain[i]) ^ prev ^
                                          static_cast<unsigned char>(key[i % key.size()]) ^ GetRand());
      out += static_cast<char>(s);
      prev = s;
    }
    return std::string{static_cast<char>(plain.size()), '\0'} + out;
  };
  const std::pair<std::string, std::string> cases[] = {
      {"tcp=DHCP\r\n", "tcp=DHCP"},
      {"tcp=DHCP\n", "tcp=DHCP"},
      {"tcp=DHCP\r", "tcp=DHCP\r"},
      {"tcp=DHCP\rX", "tcp=DHCP"},
      {"\n", ""},
      {std::string("a\0b\r\n", 5), "a"},
  };
  testing::TempFolder folder;
  for (const auto& [plain, line] : cases) {
    std::string path = folder.write("one.idx", record(plain));
    EXPECT_EQ(readLines(path), std::vector<std::string>{line}) << plain;
  }
}

}  // namespace
}  // namespace corvane

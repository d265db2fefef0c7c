#pragma once
// The scrambled provider file: a sequence of records, each a 16-bit length
// (low byte first) followed by that many scrambled bytes and, in the second
// format, a check byte. A file that begins with the bytes 0x02, 0x80 is in the
// second format; any other in the first. DecodeFile hands out one descrambled
// line per call.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// The process-wide pseudo-random byte generator that both formats draw from.
uint8_t GetRand();
void ResetRandSeed();
// The seed constant ResetRandSeed restores.
inline constexpr uint32_t kRandSeed = 0x83B01075;
// For tests: puts the generator in a given state.
void SetRandSeedForTesting(uint32_t state);

// Maps, in place, the Windows-only Shift-JIS characters to their Mac codes:
// 0x87 0x40-0x53 (circled numbers) to 0x85 0x40-0x53, 0x87 0x54-0x5D (Roman
// numerals) to 0x85 0x9F-0xA8. Walks up to the first NUL.
void ConvertPCKanji(char* line);

// The record length: two bytes, first byte low.
uint16_t IntConv(const unsigned char bytes[2]);

// The two descramblers. Decode descrambles the len bytes of buffer in place
// and puts a NUL at buffer[len]; on failure the buffer is left as it was.
class Descrambler {
 public:
  virtual ~Descrambler() = default;
  virtual bool Decode(unsigned char* buffer, int32_t len) = 0;
  // Bytes that follow the scrambled ones in a record (the check byte).
  virtual int trailerBytes() const = 0;
  // The longest record the format allows.
  virtual uint32_t maxLength() const = 0;
};

// First format: lengths 1 to 512.
class DecodeBuffer : public Descrambler {
 public:
  static constexpr uint32_t kMaxLength = 512;
  bool Decode(unsigned char* buffer, int32_t len) override;
  int trailerBytes() const override { return 0; }
  uint32_t maxLength() const override { return kMaxLength; }
};

// Second format: lengths 1 to 511, a check byte after each record.
class DecodeBuffer2 : public Descrambler {
 public:
  static constexpr uint32_t kMaxLength = 511;
  bool Decode(unsigned char* buffer, int32_t len) override;
  int trailerBytes() const override { return 1; }
  uint32_t maxLength() const override { return kMaxLength; }
};

class DecodeFile {
 public:
  DecodeFile();  // closed; restarts the generator
  ~DecodeFile();
  DecodeFile(const DecodeFile&) = delete;
  DecodeFile& operator=(const DecodeFile&) = delete;

  // Opens the file at a host path and chooses the format; false when already
  // open or the file cannot be read.
  bool OpenFile(const std::string& path);
  // The next descrambled line without its CR LF, or nullptr when there is
  // none. Valid until the next call. A record that does not descramble (bad
  // check byte, length over the limit) is skipped, never handed out; a
  // record cut short by the end of the file ends the lines.
  const char* GetDecodedLine();
  bool CloseFile();

  bool isOpen() const { return isOpen_; }

 private:
  // Reads up to count bytes at the current position; false when none.
  bool ReadData(unsigned char* destination, size_t count, size_t& got);

  unsigned char line_buf[1024];
  bool isOpen_ = false;
  std::string file_;  // the file's bytes; position_ stands behind the last record read
  size_t position_ = 0;
  std::unique_ptr<Descrambler> Decoder;
};

}  // namespace corvane

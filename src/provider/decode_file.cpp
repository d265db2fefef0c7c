#include "provider/decode_file.h"

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "core/file_read.h"
#include "provider/provider_keys.h"

namespace corvane {

namespace {
uint32_t rand_seed = kRandSeed;

// A provider file is a few kilobytes; anything far larger is not one.
constexpr size_t kMaxFileBytes = 64 * 1024 * 1024;
}  // namespace

uint8_t GetRand() {
  rand_seed = rand_seed * 214013u + 2531011u;
  return static_cast<uint8_t>((rand_seed >> 16) & 0xFF);
}

void ResetRandSeed() { rand_seed = kRandSeed; }

void SetRandSeedForTesting(uint32_t state) { rand_seed = state; }

void ConvertPCKanji(char* line) {
  auto* p = reinterpret_cast<unsigned char*>(line);
  while (*p) {
    unsigned char lead = *p;
    bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    if (!isLead) {
      ++p;
      continue;
    }
    unsigned char trail = p[1];
    if (trail == 0) break;  // a lead byte just before the NUL stays as it is
    if (lead == 0x87 && trail >= 0x40 && trail <= 0x53) {
      p[0] = 0x85;
    } else if (lead == 0x87 && trail >= 0x54 && trail <= 0x5D) {
      p[0] = 0x85;
      p[1] = static_cast<unsigned char>(trail + 0x4B);
    }
    p += 2;
  }
}

uint16_t IntConv(const unsigned char bytes[2]) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }

bool DecodeBuffer::Decode(unsigned char* buffer, int32_t len) {
  if (static_cast<uint32_t>(len) > kMaxLength) return false;
  unsigned char out[kMaxLength];
  unsigned char prev = static_cast<unsigned char>(len % 256);
  const std::string_view key = kFirstFormatKey;
  size_t k = 0;
  for (int32_t i = 0; i < len; ++i) {
    out[i] = static_cast<unsigned char>(prev ^ buffer[i] ^ static_cast<unsigned char>(key[k]) ^ GetRand());
    prev = buffer[i];
    k = (k + 1) % key.size();
  }
  std::memcpy(buffer, out, static_cast<size_t>(len));
  buffer[len] = 0;
  return true;
}

bool DecodeBuffer2::Decode(unsigned char* buffer, int32_t len) {
  if (static_cast<uint32_t>(len) >= kMaxLength + 1) return false;
  unsigned char out[kMaxLength];
  unsigned char prev = static_cast<unsigned char>(len % 256);
  std::string_view key = kSecondFormatKeys[len % 5];
  size_t k = (GetRand() & 1) ? 1 : 0;
  unsigned sum = static_cast<unsigned>(len);
  for (int32_t i = 0; i < len; ++i) {
    GetRand();  // every byte advances the generator, though this format does not mix it in
    out[i] = static_cast<unsigned char>(prev ^ buffer[i] ^ static_cast<unsigned char>(key[k]));
    prev = buffer[i];
    ++k;
    sum = (sum + out[i]) % 256;
    if (k == key.size()) {
      key = kSecondFormatKeys[GetRand() % 5];
      k = 0;
    }
  }
  if (sum != buffer[len]) return false;
  std::memcpy(buffer, out, static_cast<size_t>(len));
  buffer[len] = 0;
  return true;
}

DecodeFile::DecodeFile() { ResetRandSeed(); }

DecodeFile::~DecodeFile() = default;

bool DecodeFile::OpenFile(const std::string& path) {
  if (isOpen_) return false;
  std::optional<std::string> bytes = readWholeFile(path, kMaxFileBytes);
  if (!bytes) return false;
  file_ = std::move(*bytes);
  isOpen_ = true;
  position_ = 0;
  if (file_.size() >= 2 && static_cast<unsigned char>(file_[0]) == 0x02 &&
      static_cast<unsigned char>(file_[1]) == 0x80) {
    Decoder = std::make_unique<DecodeBuffer2>();
    position_ = 2;
  } else {
    Decoder = std::make_unique<DecodeBuffer>();
  }
  ResetRandSeed();
  return true;
}

bool DecodeFile::ReadData(unsigned char* destination, size_t count, size_t& got) {
  got = std::min(count, file_.size() - position_);
  if (got == 0) return false;
  std::memcpy(destination, file_.data() + position_, got);
  position_ += got;
  return true;
}

const char* DecodeFile::GetDecodedLine() {
  if (!isOpen_) return nullptr;
  for (;;) {
    unsigned char lengthBytes[2];
    size_t got = 0;
    if (!ReadData(lengthBytes, 2, got) || got < 2) return nullptr;
    const uint16_t len = IntConv(lengthBytes);
    if (len == 0) return nullptr;

    const size_t recordBytes = len + static_cast<size_t>(Decoder->trailerBytes());
    if (len > Decoder->maxLength()) {
      // Longer than the format allows: never read into the line buffer.
      // Skip it; the next record starts behind it.
      if (file_.size() - position_ < recordBytes) return nullptr;
      position_ += recordBytes;
      continue;
    }
    if (!ReadData(line_buf, recordBytes, got) || got < recordBytes) return nullptr;  // cut short
    if (!Decoder->Decode(line_buf, len)) continue;  // the generator has advanced: the next record still decodes

    char* line = reinterpret_cast<char*>(line_buf);
    ConvertPCKanji(line);
    if (line_buf[len - 1] == '\n') line_buf[len - 1] = 0;
    if (len >= 2 && line_buf[len - 2] == '\r') line_buf[len - 2] = 0;
    return line;
  }
}

bool DecodeFile::CloseFile() {
  file_.clear();
  position_ = 0;
  Decoder.reset();
  isOpen_ = false;
  return true;
}

}  // namespace corvane

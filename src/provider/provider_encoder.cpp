#include "provider/provider_encoder.h"

#include "core/shift_jis.h"
#include "core/text.h"
#include "provider/decode_file.h"
#include "provider/provider_keys.h"

namespace corvane {

namespace {

// The inverse of DecodeBuffer: each scrambled byte mixes the plain byte with
// the previous scrambled byte, the key and the generator.
std::string scrambleFirstFormat(std::string_view plain) {
  std::string out(plain.size(), '\0');
  auto prev = static_cast<unsigned char>(plain.size() % 256);
  for (size_t i = 0; i < plain.size(); ++i) {
    auto key = static_cast<unsigned char>(kFirstFormatKey[i % kFirstFormatKey.size()]);
    auto scrambled = static_cast<unsigned char>(static_cast<unsigned char>(plain[i]) ^ prev ^ key ^ GetRand());
    out[i] = static_cast<char>(scrambled);
    prev = scrambled;
  }
  return out;
}

// The inverse of DecodeBuffer2, followed by the check byte.
std::string scrambleSecondFormat(std::string_view plain) {
  std::string out(plain.size(), '\0');
  auto prev = static_cast<unsigned char>(plain.size() % 256);
  std::string_view key = kSecondFormatKeys[plain.size() % 5];
  size_t k = (GetRand() & 1) ? 1 : 0;
  unsigned sum = static_cast<unsigned>(plain.size());
  for (size_t i = 0; i < plain.size(); ++i) {
    GetRand();
    auto p = static_cast<unsigned char>(plain[i]);
    auto scrambled = static_cast<unsigned char>(p ^ prev ^ static_cast<unsigned char>(key[k]));
    out[i] = static_cast<char>(scrambled);
    prev = scrambled;
    sum = (sum + p) % 256;
    if (++k == key.size()) {
      key = kSecondFormatKeys[GetRand() % 5];
      k = 0;
    }
  }
  out += static_cast<char>(sum);
  return out;
}

// The first character of a UTF-8 line that does not come back unchanged from
// Shift-JIS as the reader decodes it (for example U+301C WAVE DASH, which the
// Windows code page only holds as U+FF5E); empty when every character does.
std::string firstCharacterNotKept(std::string_view line) {
  for (size_t i = 0; i < line.size();) {
    size_t width = 1;
    auto lead = static_cast<unsigned char>(line[i]);
    if (lead >= 0xF0)
      width = 4;
    else if (lead >= 0xE0)
      width = 3;
    else if (lead >= 0xC0)
      width = 2;
    std::string_view character = line.substr(i, width);
    std::optional<std::string> bytes = utf8ToShiftJis(character);
    if (!bytes) return std::string(character);
    ConvertPCKanji(bytes->data());
    if (shiftJisToUtf8(*bytes) != std::optional<std::string>(character)) return std::string(character);
    i += width;
  }
  return {};
}

std::vector<std::string> textLines(std::string_view text) {
  std::vector<std::string> lines = splitText(text, "\n");
  if (!lines.empty() && lines.back().empty()) lines.pop_back();  // the final newline ends the last line
  for (auto& line : lines)
    if (!line.empty() && line.back() == '\r') line.pop_back();
  return lines;
}

}  // namespace

EncodedProviderFile encodeProviderFile(std::string_view text, int format) {
  EncodedProviderFile file;
  if (format != 1 && format != 2) {
    file.error = "unknown format " + std::to_string(format) + " (use 1 or 2)";
    return file;
  }
  const size_t limit = format == 1 ? DecodeBuffer::kMaxLength : DecodeBuffer2::kMaxLength;
  const std::vector<std::string> lines = textLines(text);

  ResetRandSeed();
  std::string out = format == 2 ? std::string("\x02\x80", 2) : std::string();
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string where = "line " + std::to_string(n + 1) + ": ";
    if (lines[n].find('\0') != std::string::npos) {
      file.error = where + "holds a NUL character";
      return file;
    }
    std::optional<std::string> bytes = utf8ToShiftJis(lines[n]);
    const std::string notKept = bytes ? firstCharacterNotKept(lines[n]) : std::string();
    if (!bytes || !notKept.empty()) {
      file.error = where + "holds a character that Shift-JIS cannot hold" +
                   (notKept.empty() ? std::string() : " (\"" + notKept + "\")");
      return file;
    }
    *bytes += "\r\n";
    if (bytes->size() > limit) {
      file.error = where + "is " + std::to_string(bytes->size()) + " bytes in Shift-JIS with CR LF; format " +
                   std::to_string(format) + " holds at most " + std::to_string(limit);
      return file;
    }
    out += static_cast<char>(bytes->size() & 0xFF);
    out += static_cast<char>(bytes->size() >> 8);
    out += format == 1 ? scrambleFirstFormat(*bytes) : scrambleSecondFormat(*bytes);
  }
  file.ok = true;
  file.bytes = std::move(out);
  return file;
}

}  // namespace corvane

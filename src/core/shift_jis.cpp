#include "core/shift_jis.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

#include "core/text.h"

namespace corvane {

namespace {

// One iconv conversion, reused for every piece of a text.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) ::iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Appends the converted piece to out; false (out unchanged) when some
  // sequence of it cannot be converted.
  bool append(std::string_view in, std::string& out) {
    if (!valid()) return false;
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    std::string converted;
    char buffer[4096];
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      size_t r = ::iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      converted.append(buffer, sizeof buffer - dstLeft);
      if (r == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    ::iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
    converted.append(buffer, sizeof buffer - dstLeft);
    out += converted;
    return true;
  }

 private:
  iconv_t cd_;
};

bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

size_t characterWidth(std::string_view bytes, size_t i) {
  return isLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
}

// The Mac-only characters the decoder adds to code page 932.
std::optional<char32_t> macExtension(std::string_view bytes, size_t i) {
  if (characterWidth(bytes, i) != 2 || static_cast<unsigned char>(bytes[i]) != 0x85) return std::nullopt;
  auto trail = static_cast<unsigned char>(bytes[i + 1]);
  if (trail >= 0x40 && trail <= 0x53) return U'\u2460' + (trail - 0x40);
  if (trail >= 0x9F && trail <= 0xA8) return U'\u2160' + (trail - 0x9F);
  return std::nullopt;
}

// Converts a run of code-page-932 characters. Lossy, an unconvertible run is
// retried character by character, each bad one becoming U+FFFD.
bool appendRun(Converter& cp932, std::string_view run, bool lossy, std::string& out) {
  if (run.empty() || cp932.append(run, out)) return true;
  if (!lossy) return false;
  for (size_t i = 0; i < run.size();) {
    size_t width = characterWidth(run, i);
    if (!cp932.append(run.substr(i, width), out)) out += "\xEF\xBF\xBD";
    i += width;
  }
  return true;
}

std::optional<std::string> decode(std::string_view bytes, bool lossy) {
  Converter cp932("UTF-8", "CP932");
  std::string out;
  size_t runStart = 0;
  size_t i = 0;
  while (i < bytes.size()) {
    if (auto c = macExtension(bytes, i)) {
      if (!appendRun(cp932, bytes.substr(runStart, i - runStart), lossy, out)) return std::nullopt;
      appendUtf8(out, *c);
      i += 2;
      runStart = i;
    } else {
      i += characterWidth(bytes, i);
    }
  }
  if (!appendRun(cp932, bytes.substr(runStart), lossy, out)) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::string> shiftJisToUtf8(std::string_view bytes) { return decode(bytes, false); }

std::string shiftJisToUtf8Lossy(std::string_view bytes) { return decode(bytes, true).value_or(std::string()); }

std::optional<std::string> utf8ToShiftJis(std::string_view text) {
  Converter toCp932("CP932", "UTF-8");
  std::string out;
  if (!toCp932.append(text, out)) return std::nullopt;
  return out;
}

}  // namespace corvane

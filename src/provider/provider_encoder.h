#pragma once
// The provider's authoring tool: turns plain provider settings (UTF-8 text,
// one "key=value" entry per line) into a scrambled provider file that
// DecodeFile reads back line for line.

#include <string>
#include <string_view>

namespace corvane {

struct EncodedProviderFile {
  bool ok = false;
  std::string bytes;  // the whole file, when ok
  std::string error;  // what is wrong and on which line, when not ok
};

// Each line of text becomes one record: its Shift-JIS bytes followed by CR
// LF, scrambled in format 1 or 2. A line Shift-JIS cannot hold, or too long
// for the format, refuses the whole file. Draws from the process-wide
// generator, which it restarts first.
EncodedProviderFile encodeProviderFile(std::string_view text, int format);

}  // namespace corvane

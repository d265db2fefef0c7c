#pragma once
// Japanese Shift-JIS text, as the provider file carries it.
//
// Decoding follows the Windows variant (code page 932) and also accepts the
// Mac codes that the provider reader maps the Windows-only characters to:
// 0x8540-0x8553 are the circled numbers 1 to 20 (U+2460-U+2473) and
// 0x859F-0x85A8 the Roman numerals I to X (U+2160-U+2169).

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// UTF-8 text of Shift-JIS bytes; nullopt when any byte sequence is not a
// character.
std::optional<std::string> shiftJisToUtf8(std::string_view bytes);

// The same, with U+FFFD for each sequence that is not a character.
std::string shiftJisToUtf8Lossy(std::string_view bytes);

// Shift-JIS (code page 932) bytes of UTF-8 text; nullopt when a character
// has no Shift-JIS code or the text is not UTF-8.
std::optional<std::string> utf8ToShiftJis(std::string_view text);

}  // namespace corvane

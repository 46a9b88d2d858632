#pragma once
// The one converter between UTF-8 (source literals, FLTK, SDL message boxes) and the
// Windows-1250 bytes in which every text of the game is stored and drawn, one glyph per byte.
#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

// UTF-8 to Windows-1250, one byte per character. Characters without a code, NUL, and each
// malformed UTF-8 sequence (over-long, surrogate, beyond U+10FFFF, cut off, or a stray byte)
// become one '?'; the result never holds a zero byte.
std::string toCp1250(std::string_view utf8);

// Windows-1250 to UTF-8. The five codes the code page leaves unassigned become U+FFFD.
std::string cp1250ToUtf8(std::string_view cp1250);

// The Unicode code point of one Windows-1250 byte (0xFFFD for an unassigned code).
char32_t cp1250CodePoint(unsigned char byte);

}  // namespace morvane

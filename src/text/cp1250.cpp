#include "text/cp1250.h"

#include <algorithm>
#include <array>

namespace morvane {
namespace {

constexpr char32_t unassigned = 0xFFFD;

// Code points of the bytes 0x80..0xFF.
constexpr std::array<char32_t, 128> upperHalf = {
    0x20AC, unassigned, 0x201A, unassigned, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    unassigned, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,      // 88
    unassigned, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,      // 90
    unassigned, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,      // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,          // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,          // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,          // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,          // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,          // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,          // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,          // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,          // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,          // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,          // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,          // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,          // F8
};

// The upper half read backwards: (code point, byte) pairs sorted by code point, without the
// unassigned codes.
struct Encoding {
  char32_t codePoint;
  unsigned char byte;
};
constexpr size_t assignedCount = static_cast<size_t>(
    upperHalf.size() - std::count(upperHalf.begin(), upperHalf.end(), unassigned));
constexpr std::array<Encoding, assignedCount> encodings = [] {
  std::array<Encoding, assignedCount> table{};
  size_t n = 0;
  for (size_t i = 0; i < upperHalf.size(); ++i) {
    if (upperHalf[i] == unassigned) continue;
    table[n++] = Encoding{upperHalf[i], static_cast<unsigned char>(0x80 + i)};
  }
  std::sort(table.begin(), table.end(),
            [](const Encoding& a, const Encoding& b) { return a.codePoint < b.codePoint; });
  return table;
}();

char encode(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  const auto found =
      std::lower_bound(encodings.begin(), encodings.end(), cp,
                       [](const Encoding& e, char32_t c) { return e.codePoint < c; });
  return found != encodings.end() && found->codePoint == cp ? static_cast<char>(found->byte) : '?';
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

constexpr char32_t malformed = 0xFFFFFFFF;
constexpr char32_t largestCodePoint = 0x10FFFF;
constexpr char32_t firstSurrogate = 0xD800;
constexpr char32_t lastSurrogate = 0xDFFF;

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// One UTF-8 sequence: its code point (or `malformed`) and how many bytes it takes.
struct Sequence {
  char32_t codePoint = malformed;
  size_t length = 1;
};

// Decodes the sequence that starts at text[at]. Its length comes from the lead byte's pattern,
// shortened where a continuation byte is missing, so that every malformed sequence (over-long,
// a surrogate, beyond U+10FFFF, the old 5- and 6-byte forms, cut off, or a byte that starts
// nothing) is exactly one sequence and the byte after it starts the next.
Sequence decodeSequence(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return Sequence{lead, 1};
  size_t extra = 0;
  char32_t codePoint = 0;
  char32_t shortest = 0;  // the smallest code point that needs this many bytes
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, codePoint = lead & 0x1F, shortest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, codePoint = lead & 0x0F, shortest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, codePoint = lead & 0x07, shortest = 0x10000;
  } else if ((lead & 0xFC) == 0xF8) {
    extra = 4, codePoint = lead & 0x03, shortest = largestCodePoint + 1;
  } else if ((lead & 0xFE) == 0xFC) {
    extra = 5, codePoint = lead & 0x01, shortest = largestCodePoint + 1;
  } else {
    return Sequence{malformed, 1};  // a stray continuation byte, or 0xFE / 0xFF
  }
  size_t length = 1;
  for (; length <= extra && at + length < text.size(); ++length) {
    const auto next = static_cast<unsigned char>(text[at + length]);
    if (!isContinuation(next)) break;
    codePoint = (codePoint << 6) | (next & 0x3F);  // at most 31 bits for the 6-byte form
  }
  const bool complete = length == extra + 1;
  const bool wellFormed = complete && codePoint >= shortest && codePoint <= largestCodePoint &&
                          !(codePoint >= firstSurrogate && codePoint <= lastSurrogate);
  return Sequence{wellFormed ? codePoint : malformed, length};
}

}  // namespace

char32_t cp1250CodePoint(unsigned char byte) {
  return byte < 0x80 ? static_cast<char32_t>(byte) : upperHalf[byte - 0x80];
}

std::string toCp1250(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const Sequence sequence = decodeSequence(utf8, i);
    // NUL has no place in a stored text: the names are used as C strings further on.
    const bool unstorable = sequence.codePoint == malformed || sequence.codePoint == 0;
    out += unstorable ? '?' : encode(sequence.codePoint);
    i += sequence.length;
  }
  return out;
}

std::string cp1250ToUtf8(std::string_view cp1250) {
  std::string out;
  out.reserve(cp1250.size() * 2);
  for (char c : cp1250) appendUtf8(out, cp1250CodePoint(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace morvane

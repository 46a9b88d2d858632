#include "text/cp1250.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(Cp1250, HungarianLettersAreOneByteEachAndEveryMalformedSequenceOneQuestionMark) {
  const std::pair<std::string, std::string> cases[] = {
      {"őŐűŰáéÁÉíóöúü€", "\xF5\xD5\xFB\xDB\xE1\xE9\xC1\xC9\xED\xF3\xF6\xFA\xFC\x80"},
      {"ñ😀\xEF\xBF\xBF|\xC2\xA0\x7F", "???|\xA0\x7F"},  // no code; the edges of well-formed UTF-8
      {std::string("a\xC0\x80" "b\0c", 6), "a?b?c"},  // NUL, over-long or not: it would cut a name as a C string
      {"\xC1\x81|\xE0\x83\xA1|\xF0\x80\x83\xA1|\xE0\x9F\xBF|\xF0\x8F\xBF\xBF", "?|?|?|?|?"},  // over-long
      // Surrogates, beyond U+10FFFF, the old 5- and 6-byte forms, stray continuation bytes, bytes
      // that start nothing.
      {"\xED\xA0\x80\xED\xBF\xBF|\xF4\x90\x80\x80|\xF8\x88\x80\x80\x80x\xFD\xBF\xBF\xBF\xBF\xBF|\x80\xBF\xFE\xFF", "??|?|?x?|????"},
      {"\xE2\x80" "a\xF0\x9F\x98|\xE2\x80\xE2\x80\xA0", "?a?|?\x86"},  // cut off: then the next byte
  };
  for (const auto& [utf8, expected] : cases) EXPECT_EQ(toCp1250(utf8), expected) << ::testing::PrintToString(utf8);
  EXPECT_EQ(cp1250ToUtf8("\xF5\xD5\xFB\xDB\x81"), "őŐűŰ\uFFFD");  // 0x81 has no character
}

}  // namespace
}  // namespace morvane

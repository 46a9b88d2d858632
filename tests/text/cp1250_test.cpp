#include <gtest/gtest.h>

#include "text/cp1250.h"

namespace morvane {
namespace {

TEST(Cp1250, HungarianLettersAreSingleBytesAndRoundTrip) {
  const std::string text = "Erősség űrhajó ÁÉÍÓÖŐÚÜŰ áéíóöőúüű";
  const std::string bytes = toCp1250(text);
  EXPECT_EQ(toCp1250("őŐűŰáé"), "\xF5\xD5\xFB\xDB\xE1\xE9");
  EXPECT_EQ(bytes.size(), 34u);
  EXPECT_EQ(cp1250ToUtf8(bytes), text);
}

TEST(Cp1250, CharactersWithoutACodeAndBrokenUtf8BecomeQuestionMarks) {
  EXPECT_EQ(toCp1250("ñ€😀x"), "?\x80?x");          // ñ has no code; the euro sign does
  EXPECT_EQ(toCp1250("a\xC3"), "a?");                // cut-off sequence at the end
  EXPECT_EQ(toCp1250("\x80\xFF" "b"), "??b");        // stray continuation and invalid lead bytes
  EXPECT_EQ(cp1250CodePoint(0x81), 0xFFFDu);         // an unassigned code
}

TEST(Cp1250, EachMalformedUtf8SequenceIsOneQuestionMarkAndNoNulGetsThrough) {
  using namespace std::string_literals;
  const std::pair<std::string, std::string> cases[] = {
      // Over-long forms, which a lenient decoder reads as the shorter character.
      {"a\xC0\x80" "b", "a?b"},                  // NUL: would cut the name as a C string
      {"\xC1\x81", "?"},                         // 'A'
      {"\xE0\x83\xA1", "?"},                     // 'á'
      {"\xF0\x80\x83\xA1", "?"},                 // 'á' again
      {"\xE0\x9F\xBF|\xF0\x8F\xBF\xBF", "?|?"},  // the largest over-long 3- and 4-byte forms
      // Surrogates and code points beyond U+10FFFF, in 4-, 5- and 6-byte forms.
      {"\xED\xA0\x80\xED\xBF\xBF", "??"},
      {"\xF4\x90\x80\x80" "x\xF7\xBF\xBF\xBF", "?x?"},
      {"\xF8\x88\x80\x80\x80" "x\xFD\xBF\xBF\xBF\xBF\xBF", "?x?"},
      // Stray continuation bytes and bytes that never start a sequence: one each.
      {"\x80\xBF\xFE\xFF", "????"},
      // Cut-off sequences: the lead and whatever continuation bytes came, then the next byte.
      {"\xE2\x80" "a\xF0\x9F\x98", "?a?"},
      {"\xE2\x80\xE2\x80\xA0", "?\x86"},
      // A literal NUL has no place in a stored text either.
      {"a\0b"s, "a?b"},
      // The edges of what is well formed still decode.
      {"\xC2\xA0\xE2\x82\xAC\x7F", "\xA0\x80\x7F"},
      {"\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", "???"},  // valid, without a code
  };
  for (const auto& [utf8, expected] : cases) {
    const std::string converted = toCp1250(utf8);
    EXPECT_EQ(converted, expected) << ::testing::PrintToString(utf8);
    EXPECT_EQ(converted.find('\0'), std::string::npos);
  }
}

}  // namespace
}  // namespace morvane

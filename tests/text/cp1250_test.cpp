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

}  // namespace
}  // namespace morvane

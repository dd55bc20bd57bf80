#include "core/cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte)
    all += static_cast<char>(byte);
  auto back = Utf8ToCp1252(Cp1252ToUtf8(all));
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, all);
}

TEST(Cp1252, HighBytesMapToTheirTypographicCharacters) {
  EXPECT_EQ(Cp1252ToUtf8("\x80 5"), "\u20AC 5");
  EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\u00E9");
  EXPECT_EQ(Utf8ToCp1252("\u2019"), std::string("\x92"));
}

TEST(Cp1252, RefusesWhatItCannotHoldAndBrokenUtf8) {
  EXPECT_FALSE(Utf8ToCp1252("\u4E2D"));            // a CJK character
  EXPECT_FALSE(Utf8ToCp1252("\xF0\x9F\x98\x80"));  // an emoji
  EXPECT_FALSE(Utf8ToCp1252("\xC3"));              // cut short
  EXPECT_FALSE(Utf8ToCp1252("\xC0\xAF"));          // overlong
  EXPECT_FALSE(Utf8ToCp1252("\xED\xA0\x80"));      // a surrogate
}

TEST(Cp1252, FileTextsInMessagesAreUtf8WithControlsEscaped) {
  struct Case {
    std::string in;
    std::string file;     // EscapedFileText
    std::string message;  // MessageToUtf8
    std::string line;     // MessageToUtf8, one line
  };
  const Case cases[] = {
      {"a\nb", "a\\nb", "a\nb", "a\\nb"},
      {"\x1b[2J\t\r", "\\x1b[2J\\t\\r", "\\x1b[2J\t\\r", "\\x1b[2J\\t\\r"},
      {std::string("nul\0!", 5), "nul\\x00!", "nul\\x00!", "nul\\x00!"},
      // A Windows-1252 letter, and one of the code page's own control bytes.
      {"caf\xE9\x81", "caf\u00E9\\x81", "caf\u00E9\\x81", "caf\u00E9\\x81"},
      // A message of valid UTF-8 (a path as the system spells it) stays UTF-8.
      {"\u00E9t\u00E9 \xF0\x9F\x98\x80", "\u00C3\u00A9t\u00C3\u00A9 \u00F0\u0178\u02DC\u20AC",
       "\u00E9t\u00E9 \xF0\x9F\x98\x80", "\u00E9t\u00E9 \xF0\x9F\x98\x80"},
      {"C1 \u0085 del \x7f", "C1 \u00C2\u2026 del \\x7f", "C1 \\x85 del \\x7f",
       "C1 \\x85 del \\x7f"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapedFileText(c.in), c.file) << c.in;
    EXPECT_EQ(MessageToUtf8(c.in), c.message) << c.in;
    EXPECT_EQ(MessageToUtf8(c.in, true), c.line) << c.in;
    EXPECT_TRUE(IsValidUtf8(c.file) && IsValidUtf8(c.message)) << c.in;
  }
}

}  // namespace

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

}  // namespace

#include "core/amount.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

struct TFormatCase {
  int64_t cents;
  unsigned flags;
  const char* expected;
};

class AmountFormatTest : public testing::TestWithParam<TFormatCase> {};

TEST_P(AmountFormatTest, GivesTheText) {
  const TFormatCase& c = GetParam();
  EXPECT_EQ(TAmount::FromCents(c.cents).Format(c.flags), c.expected)
      << c.cents << " cents with flags " << c.flags;
}

constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Table, AmountFormatTest,
    testing::Values(
        // At least three digits, so small amounts keep their leading zeros.
        TFormatCase{0, 0, "0.00"}, TFormatCase{5, 0, "0.05"}, TFormatCase{99, 0, "0.99"},
        TFormatCase{100, 0, "1.00"}, TFormatCase{-5, 0, "-0.05"}, TFormatCase{123456, 0, "1234.56"},
        // Thousands separators go between groups of three integer digits only.
        TFormatCase{-5, 4, "-0.05"}, TFormatCase{12345, 4, "123.45"},
        TFormatCase{99999, 4, "999.99"}, TFormatCase{100000, 4, "1,000.00"},
        TFormatCase{123456, 4, "1,234.56"}, TFormatCase{12345678, 4, "123,456.78"},
        TFormatCase{123456789, 4, "1,234,567.89"}, TFormatCase{-123456789, 4, "-1,234,567.89"},
        TFormatCase{0, 4, "0.00"},
        // Parentheses for negatives, a space on each side for the rest.
        TFormatCase{-5, 5, "(0.05)"}, TFormatCase{5, 5, " 0.05 "}, TFormatCase{0, 1, " 0.00 "},
        TFormatCase{-123456, 5, "(1,234.56)"},
        // No sign at all, and it wins over the parentheses.
        TFormatCase{-123456, 2, "1234.56"}, TFormatCase{-5, 3, "0.05"}, TFormatCase{5, 3, "0.05"},
        TFormatCase{-123456789, 6, "1,234,567.89"},
        // Zero as the empty text, whatever else is asked.
        TFormatCase{0, 8, ""}, TFormatCase{0, 12, ""}, TFormatCase{0, 13, ""},
        TFormatCase{1, 12, "0.01"}, TFormatCase{-1, 13, "(0.01)"},
        // The extremes of 64 bits, whose magnitude does not fit a signed value.
        TFormatCase{kMax64, 4, "92,233,720,368,547,758.07"},
        TFormatCase{kMin64, 4, "-92,233,720,368,547,758.08"},
        TFormatCase{kMin64, 3, "92233720368547758.08"}));

struct TUnitsCase {
  double units;
  int64_t cents;
};

class AmountFromUnitsTest : public testing::TestWithParam<TUnitsCase> {};

TEST_P(AmountFromUnitsTest, RoundsHalfCentsAwayFromZero) {
  const TUnitsCase& c = GetParam();
  EXPECT_EQ(TAmount::FromUnits(c.units).Cents(), c.cents) << c.units;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Table, AmountFromUnitsTest,
    testing::Values(TUnitsCase{0.005, 1}, TUnitsCase{-0.005, -1}, TUnitsCase{0.004, 0},
                    TUnitsCase{-0.004, 0}, TUnitsCase{0.0, 0}, TUnitsCase{-0.0, 0},
                    TUnitsCase{0.015, 2}, TUnitsCase{1234.56, 123456},
                    TUnitsCase{-1234.56, -123456}, TUnitsCase{2.675, 268}, TUnitsCase{19.999, 2000},
                    TUnitsCase{-19.994, -1999},
                    // The limits themselves still convert; beyond them, and NaN, give 0.
                    TUnitsCase{1e14, 10000000000000000}, TUnitsCase{-1e14, -10000000000000000},
                    TUnitsCase{1.0000000000001e14, 0}, TUnitsCase{-1.0000000000001e14, 0},
                    TUnitsCase{kInfinity, 0}, TUnitsCase{-kInfinity, 0}, TUnitsCase{kNaN, 0}));

struct TEntryCase {
  double units;
  int32_t cents;
};

class CentsFromEntryTest : public testing::TestWithParam<TEntryCase> {};

TEST_P(CentsFromEntryTest, KeepsWithinThirtyTwoBits) {
  const TEntryCase& c = GetParam();
  EXPECT_EQ(CentsFromEntry(c.units), c.cents) << c.units;
}

INSTANTIATE_TEST_SUITE_P(Table, CentsFromEntryTest,
                         testing::Values(TEntryCase{19999999.99, 1999999999},
                                         TEntryCase{-19999999.99, -1999999999},
                                         TEntryCase{20000000.0, 0}, TEntryCase{-20000000.0, 0},
                                         // The half cent is added first, so this reaches the limit.
                                         TEntryCase{19999999.995, 0}, TEntryCase{0.005, 1},
                                         TEntryCase{-0.005, -1}, TEntryCase{0.0, 0},
                                         TEntryCase{45.67, 4567}, TEntryCase{-45.67, -4567},
                                         TEntryCase{1e14, 0}, TEntryCase{kNaN, 0},
                                         TEntryCase{kInfinity, 0}, TEntryCase{-kInfinity, 0}));

TEST(AmountTest, ThirtyTwoBitCentsAreSignExtendedAndStoredAsTheLowBits) {
  EXPECT_EQ(TAmount().Cents(), 0);
  EXPECT_EQ(TAmount(int32_t{-1}).Cents(), -1);
  EXPECT_EQ(TAmount(std::numeric_limits<int32_t>::min()).Cents(), -2147483648LL);
  EXPECT_EQ(TAmount(std::numeric_limits<int32_t>::max()).Cents(), 2147483647LL);
  EXPECT_EQ(TAmount::FromCents(-5).StoredCents(), -5);
  EXPECT_EQ(TAmount::FromCents(0x100000005LL).StoredCents(), 5);
  EXPECT_EQ(TAmount::FromCents(2147483648LL).StoredCents(), std::numeric_limits<int32_t>::min());
}

TEST(AmountTest, ArithmeticAndComparisonAreOnCentsAndWrapAtSixtyFourBits) {
  TAmount a = TAmount::FromCents(1050);
  const TAmount b = TAmount::FromCents(-275);
  EXPECT_EQ((a + b).Cents(), 775);
  EXPECT_EQ((a - b).Cents(), 1325);
  EXPECT_EQ((-a).Cents(), -1050);
  a += b;
  EXPECT_EQ(a.Cents(), 775);
  a -= b;
  EXPECT_EQ(a.Cents(), 1050);
  EXPECT_TRUE(b < a && a > b && b <= b && b != a && b == TAmount(int32_t{-275}));
  EXPECT_EQ((TAmount::FromCents(kMax64) + TAmount::FromCents(1)).Cents(), kMin64);
  EXPECT_EQ((TAmount::FromCents(kMin64) - TAmount::FromCents(1)).Cents(), kMax64);
  EXPECT_EQ((-TAmount::FromCents(kMin64)).Cents(), kMin64);
}

TEST(AmountTest, UnitsAndFromUnitsAgreeOnWholeCents) {
  for (int64_t cents : {-123456789LL, -1LL, 0LL, 1LL, 5LL, 99LL, 123456789LL}) {
    TAmount amount = TAmount::FromCents(cents);
    EXPECT_EQ(TAmount::FromUnits(amount.Units()), amount) << cents;
  }
}

}  // namespace

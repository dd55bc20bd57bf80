#include "core/date_value.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/pstream.h"
#include "tests/support/byte_builder.h"

namespace {

struct TParseCase {
  const char* text;
  unsigned defaultYear;
  TDateValue expected;
};

class DateParseTest : public testing::TestWithParam<TParseCase> {};

TEST_P(DateParseTest, Parses) {
  const TParseCase& c = GetParam();
  TDateValue date = TDateValue::Parse(c.text, c.defaultYear, 2011);
  EXPECT_EQ(date.Packed(), c.expected.Packed()) << '"' << c.text << '"';
}

// The current year is 2011 throughout.
INSTANTIATE_TEST_SUITE_P(Valid, DateParseTest,
                         testing::Values(TParseCase{"2/29/12", 0, {29, 2, 2012}},
                                         TParseCase{"12/31", 0, {31, 12, 2011}},
                                         TParseCase{"12/31", 2005, {31, 12, 2005}},
                                         TParseCase{"1/5/85", 0, {5, 1, 1985}},
                                         TParseCase{"1/5/2011", 0, {5, 1, 2011}},
                                         TParseCase{"01/05/11", 0, {5, 1, 2011}},
                                         TParseCase{" 1 / 5 / 11 ", 0, {5, 1, 2011}},
                                         TParseCase{"2/29/2100", 0, {29, 2, 2100}},
                                         TParseCase{"2/29/1900", 0, {29, 2, 1900}},
                                         TParseCase{"1/5/11/7", 0, {5, 1, 2011}}));

// The year token: two digits are a year of this or the last century, 1900 on is itself, and
// anything else (or nothing) leaves the default year.
INSTANTIATE_TEST_SUITE_P(
    YearToken, DateParseTest,
    testing::Values(
        TParseCase{"1/5/0", 1999, {5, 1, 2000}}, TParseCase{"1/5/79", 1999, {5, 1, 2079}},
        TParseCase{"1/5/80", 1999, {5, 1, 1980}}, TParseCase{"1/5/99", 1999, {5, 1, 1999}},
        TParseCase{"1/5/100", 1999, {5, 1, 1999}}, TParseCase{"1/5/150", 1999, {5, 1, 1999}},
        TParseCase{"1/5/1899", 1999, {5, 1, 1999}}, TParseCase{"1/5/1900", 1999, {5, 1, 1900}},
        TParseCase{"1/5/65535", 1999, {5, 1, 65535}}, TParseCase{"1/5/65536", 1999, {5, 1, 1999}},
        TParseCase{"1/5/99999999999999999999", 1999, {5, 1, 1999}},
        TParseCase{"1/5/", 1999, {5, 1, 1999}}, TParseCase{"1/5/abc", 1999, {5, 1, 1999}},
        TParseCase{"1/5/-3", 1999, {5, 1, 1999}}, TParseCase{"1/5/150", 0, {5, 1, 2011}}));

// Invalid text gives day 0 and month 0 and keeps the default year argument as it was given.
INSTANTIATE_TEST_SUITE_P(
    Invalid, DateParseTest,
    testing::Values(TParseCase{"2/29/2011", 0, {0, 0, 0}},
                    TParseCase{"2/29/2011", 2005, {0, 0, 2005}},
                    TParseCase{"2/30/2012", 0, {0, 0, 0}}, TParseCase{"4/31/11", 0, {0, 0, 0}},
                    TParseCase{"13/1/11", 0, {0, 0, 0}}, TParseCase{"0/5/11", 0, {0, 0, 0}},
                    TParseCase{"1/0/11", 0, {0, 0, 0}}, TParseCase{"1/32/11", 0, {0, 0, 0}},
                    TParseCase{"1/256/11", 0, {0, 0, 0}}, TParseCase{"257/1/11", 0, {0, 0, 0}},
                    TParseCase{"99999999999999999999/1", 0, {0, 0, 0}},
                    TParseCase{"", 0, {0, 0, 0}}, TParseCase{"12", 0, {0, 0, 0}},
                    TParseCase{"/5", 0, {0, 0, 0}}, TParseCase{"1//5", 0, {0, 0, 0}},
                    TParseCase{"-1/5", 0, {0, 0, 0}}, TParseCase{"1x/5", 0, {0, 0, 0}},
                    TParseCase{" / /", 0, {0, 0, 0}}, TParseCase{"abc", 2005, {0, 0, 2005}}));

TEST(DateParseTest, TextOfThirtyTwoCharactersIsNeverADate) {
  std::string text = "1/5/2011";
  text.resize(31, ' ');
  EXPECT_EQ(TDateValue::Parse(text, 0, 2011), TDateValue(5, 1, 2011));
  text.push_back(' ');
  EXPECT_EQ(TDateValue::Parse(text, 0, 2011), TDateValue(0, 0, 0));
  EXPECT_EQ(TDateValue::Parse(std::string(100000, '1'), 7, 2011), TDateValue(0, 0, 7));
  // No default and no current year: no date.
  EXPECT_EQ(TDateValue::Parse("1/5", 0, 0), TDateValue());
}

struct TDateFormatCase {
  TDateValue date;
  unsigned flags;
  const char* expected;
};

class DateFormatTest : public testing::TestWithParam<TDateFormatCase> {};

TEST_P(DateFormatTest, GivesTheText) {
  const TDateFormatCase& c = GetParam();
  EXPECT_EQ(c.date.Format(c.flags), c.expected) << c.date.Packed() << " with flags " << c.flags;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DateFormatTest,
    testing::Values(
        TDateFormatCase{{5, 1, 2011}, 4, "01/05/11"},
        TDateFormatCase{{5, 1, 2011}, 8, "01/05/2011"}, TDateFormatCase{{5, 1, 2011}, 2, "01/05"},
        TDateFormatCase{{5, 1, 2011}, 0, "01/05"}, TDateFormatCase{{5, 1, 2011}, 12, "01/05/11"},
        TDateFormatCase{{5, 1, 2011}, 6, "01/05"}, TDateFormatCase{{31, 12, 2079}, 4, "12/31/79"},
        TDateFormatCase{{1, 1, 2000}, 4, "01/01/00"},
        TDateFormatCase{{31, 12, 1999}, 4, "12/31/99"},
        TDateFormatCase{{5, 1, 1985}, 5, "01/05/85"}, TDateFormatCase{{5, 1, 5}, 8, "01/05/0005"},
        // Missing parts: blanks for day and month, only the slash for the year.
        TDateFormatCase{{0, 0, 0}, 4, " / /"}, TDateFormatCase{{0, 0, 0}, 8, " / /"},
        TDateFormatCase{{0, 0, 0}, 2, " / "}, TDateFormatCase{{0, 0, 0}, 5, ""},
        TDateFormatCase{{0, 0, 0}, 1, ""}, TDateFormatCase{{0, 0, 2011}, 5, " / /11"},
        TDateFormatCase{{0, 3, 0}, 8, "03/ /"}, TDateFormatCase{{7, 0, 2012}, 8, " /07/2012"},
        TDateFormatCase{{7, 3, 0}, 4, "03/07/"}));

TEST(DateValueTest, ValidityAndDaysInMonth) {
  struct TMonthCase {
    unsigned month, year, days;
  };
  for (TMonthCase c : {TMonthCase{1, 2011, 31}, TMonthCase{2, 2011, 28}, TMonthCase{2, 2012, 29},
                       TMonthCase{2, 2100, 29}, TMonthCase{2, 1900, 29}, TMonthCase{2, 0, 29},
                       TMonthCase{4, 2011, 30}, TMonthCase{6, 2011, 30}, TMonthCase{9, 2011, 30},
                       TMonthCase{11, 2011, 30}, TMonthCase{12, 2011, 31}, TMonthCase{0, 2011, 31},
                       TMonthCase{13, 2011, 31}, TMonthCase{255, 2011, 31}}) {
    EXPECT_EQ(TDateValue::DaysInMonth(c.month, c.year), c.days) << c.month << "/" << c.year;
  }
  EXPECT_TRUE(TDateValue(29, 2, 2012).IsValid());
  EXPECT_FALSE(TDateValue(29, 2, 2011).IsValid());
  EXPECT_FALSE(TDateValue(1, 1, 0).IsValid());
  EXPECT_FALSE(TDateValue(0, 1, 2011).IsValid());
  EXPECT_FALSE(TDateValue(1, 0, 2011).IsValid());
  EXPECT_FALSE(TDateValue(1, 13, 2011).IsValid());
  EXPECT_FALSE(TDateValue(31, 4, 2011).IsValid());
  EXPECT_TRUE(TDateValue(0, 0, 2011).IsEmpty());
  EXPECT_FALSE(TDateValue(1, 0, 0).IsEmpty());
}

TEST(DateValueTest, EveryValidDateFormatsAndParsesBack) {
  for (TDateValue date(1, 1, 1980); date.Year() < 2080; date = date.NextDay()) {
    ASSERT_TRUE(date.IsValid());
    EXPECT_EQ(TDateValue::Parse(date.Format(TDateValue::kFullYear), 0, 2011), date);
    EXPECT_EQ(TDateValue::Parse(date.Format(TDateValue::kShortYear), 0, 2011), date);
  }
}

using TStep = TDateValue (TDateValue::*)() const;
constexpr TStep kDayOn = &TDateValue::NextDay, kDayBack = &TDateValue::PreviousDay;
constexpr TStep kMonthOn = &TDateValue::NextMonth, kMonthBack = &TDateValue::PreviousMonth;

struct TStepCase {
  TStep step;
  TDateValue from;
  TDateValue to;
};

using S = TStepCase;

class DateStepTest : public testing::TestWithParam<TStepCase> {};
TEST_P(DateStepTest, Steps) {
  EXPECT_EQ((GetParam().from.*GetParam().step)(), GetParam().to) << GetParam().from.Packed();
}
// A day at or past the end of the month steps on to the next; a month step keeps the day within
// the new month.
INSTANTIATE_TEST_SUITE_P(
    Table, DateStepTest,
    testing::Values(
        S{kDayOn, {31, 12, 2011}, {1, 1, 2012}}, S{kDayOn, {28, 2, 2011}, {1, 3, 2011}},
        S{kDayOn, {28, 2, 2012}, {29, 2, 2012}}, S{kDayOn, {29, 2, 2012}, {1, 3, 2012}},
        S{kDayOn, {28, 2, 2100}, {29, 2, 2100}}, S{kDayOn, {30, 4, 2011}, {1, 5, 2011}},
        S{kDayOn, {15, 6, 2011}, {16, 6, 2011}}, S{kDayOn, {31, 4, 2011}, {1, 5, 2011}},
        S{kDayOn, {40, 2, 2011}, {1, 3, 2011}}, S{kDayOn, {0, 0, 2011}, {1, 0, 2011}},
        S{kDayOn, {31, 13, 2011}, {1, 1, 2012}}, S{kDayBack, {1, 3, 2012}, {29, 2, 2012}},
        S{kDayBack, {1, 3, 2011}, {28, 2, 2011}}, S{kDayBack, {1, 1, 2012}, {31, 12, 2011}},
        S{kDayBack, {1, 5, 2011}, {30, 4, 2011}}, S{kDayBack, {16, 6, 2011}, {15, 6, 2011}},
        S{kDayBack, {0, 5, 2011}, {30, 4, 2011}}, S{kDayBack, {1, 0, 2011}, {31, 12, 2010}},
        S{kMonthOn, {15, 1, 2011}, {15, 2, 2011}}, S{kMonthOn, {15, 12, 2011}, {15, 1, 2012}},
        S{kMonthOn, {31, 1, 2012}, {29, 2, 2012}}, S{kMonthOn, {31, 1, 2011}, {28, 2, 2011}},
        S{kMonthOn, {31, 3, 2011}, {30, 4, 2011}}, S{kMonthOn, {31, 12, 2011}, {31, 1, 2012}},
        S{kMonthBack, {15, 2, 2011}, {15, 1, 2011}}, S{kMonthBack, {15, 1, 2012}, {15, 12, 2011}},
        S{kMonthBack, {31, 3, 2011}, {28, 2, 2011}}, S{kMonthBack, {31, 3, 2012}, {29, 2, 2012}},
        S{kMonthBack, {31, 5, 2011}, {30, 4, 2011}}, S{kMonthBack, {31, 1, 2012}, {31, 12, 2011}}));

TEST(DateValueTest, StepsAreInverseAndOrdered) {
  for (TDateValue date(1, 1, 1996); date.Year() < 2014; date = date.NextDay()) {
    TDateValue next = date.NextDay();
    ASSERT_TRUE(next.IsValid());
    EXPECT_GT(next, date);
    EXPECT_EQ(next.PreviousDay(), date);
    if (date.Day() <= 28) {
      EXPECT_EQ(date.NextMonth().PreviousMonth(), date);
    }
  }
}

struct TDifferenceCase {
  TDateValue date;
  TDateValue other;
  int32_t days;
};

class DateDifferenceTest : public testing::TestWithParam<TDifferenceCase> {};

TEST_P(DateDifferenceTest, CountsDays) {
  const TDifferenceCase& c = GetParam();
  EXPECT_EQ(c.date.Difference(c.other), c.days);
  EXPECT_EQ(c.other.Difference(c.date), -c.days);
  // Dates off the calendar have no day count; for the others it agrees with the difference.
  const bool inCalendar = c.date.IsValid() && c.other.IsValid();
  if (inCalendar)
    EXPECT_EQ(c.date.DayCount() - c.other.DayCount(), c.days);
  else
    EXPECT_EQ(std::min(c.date.DayCount(), c.other.DayCount()), -1);
}

INSTANTIATE_TEST_SUITE_P(Table, DateDifferenceTest,
                         testing::Values(TDifferenceCase{{1, 1, 2012}, {31, 12, 2011}, 1},
                                         TDifferenceCase{{5, 3, 2011}, {5, 3, 2011}, 0},
                                         TDifferenceCase{{1, 3, 2012}, {1, 2, 2012}, 29},
                                         TDifferenceCase{{1, 3, 2011}, {1, 2, 2011}, 28},
                                         TDifferenceCase{{1, 1, 2013}, {1, 1, 2012}, 366},
                                         TDifferenceCase{{1, 1, 2012}, {1, 1, 2011}, 365},
                                         TDifferenceCase{{1, 3, 2100}, {28, 2, 2100}, 2},
                                         TDifferenceCase{{1, 1, 2001}, {1, 1, 1901}, 36525},
                                         // An empty later date counts no steps at all.
                                         TDifferenceCase{{0, 0, 2020}, {1, 1, 2019}, 0}));

// Counts as the definition does: one day back at a time from the later date until the earlier
// one is reached or passed, or the stepped date is empty or about to wrap below year 0.
int32_t SteppedDifference(TDateValue date, TDateValue other) {
  bool later = date.Packed() > other.Packed();
  TDateValue current = later ? date : other;
  TDateValue earlier = later ? other : date;
  int32_t steps = 0;
  while (current.Packed() > earlier.Packed() && !current.IsEmpty()) {
    TDateValue previous = current.PreviousDay();
    if (previous.Packed() >= current.Packed())
      break;
    current = previous;
    ++steps;
  }
  return later ? steps : -steps;
}

TEST(DateDifferenceTest, AgreesWithStepping) {
  // Odd dates in small years keep the reference quick; leap years repeat every four, and year 0
  // is where stepping would wrap. Valid dates come from around today.
  std::mt19937 random(20111231);
  auto number = [&](unsigned low, unsigned high) {
    return std::uniform_int_distribution<unsigned>(low, high)(random);
  };
  auto odd = [&] { return TDateValue(number(0, 34), number(0, 15), number(0, 5)); };
  auto valid = [&] {
    const unsigned m = number(1, 12);
    const unsigned y = number(2009, 2012);
    return TDateValue(number(1, TDateValue::DaysInMonth(m, y)), m, y);
  };
  for (int i = 0; i < 15000; ++i) {
    const TDateValue a = i < 10000 ? odd() : valid();
    const TDateValue b = i < 10000 ? odd() : valid();
    ASSERT_EQ(a.Difference(b), SteppedDifference(a, b))
        << a.Day() << "/" << a.Month() << "/" << a.Year() << " and " << b.Day() << "/" << b.Month()
        << "/" << b.Year();
  }
}

TEST(DateDifferenceTest, FarApartDatesAreCountedWithoutStepping) {
  EXPECT_EQ(TDateValue(1, 1, 65535).Difference(TDateValue(1, 1, 1)), 23936293);
  // No calendar date lies at or below the empty all-zero date, so counting stops at the bottom of
  // the calendar instead of wrapping round.
  EXPECT_EQ(TDateValue(1, 1, 4).Difference(TDateValue()), 1461);
}

// Stream forms, spelled out byte by byte.
TEST(DateStreamTest, WritesBothFormsAndReadsThemBack) {
  opstream os;
  TDateValue(5, 1, 2011).Write(os);
  TDateValue(31, 12, 65535).Write(os);
  TDateValue(5, 1, 2011).WriteRaw(os);
  TByteBuilder expected;
  expected.Header().Byte(5).Byte(1).Word32(2011).Byte(31).Byte(12).Word32(65535);
  EXPECT_EQ(os.Bytes(), expected.Bytes({5, 1, 0xDB, 0x07}).Get());
  ipstream is(os.Bytes());
  TDateValue first, second, raw;
  first.Read(is);
  second.Read(is);
  raw.ReadRaw(is);
  EXPECT_TRUE(is.Good());
  EXPECT_EQ(first, TDateValue(5, 1, 2011));
  EXPECT_EQ(second, TDateValue(31, 12, 65535));
  EXPECT_EQ(raw, TDateValue(5, 1, 2011));
}

TEST(DateStreamTest, VersionZeroStreamsHoldASixteenBitYear) {
  // No header: the stream is of version 0, whose read-word takes two bytes.
  std::vector<uint8_t> bytes = TByteBuilder().Byte(5).Byte(1).Word16(2011).Byte(9).Get();
  ipstream is(bytes);
  TDateValue date;
  date.Read(is);
  EXPECT_TRUE(is.Good());
  EXPECT_EQ(date, TDateValue(5, 1, 2011));
  EXPECT_EQ(is.ReadByte(), 9);
}

TEST(DateStreamTest, ShortDataFailsTheStreamAndKeepsTheDate) {
  std::vector<uint8_t> bytes = TByteBuilder().Header().Byte(5).Byte(1).Word16(2011).Get();
  ipstream is(bytes);
  TDateValue date(7, 7, 2007);
  date.Read(is);
  EXPECT_FALSE(is.Good());
  EXPECT_EQ(date, TDateValue(7, 7, 2007));

  std::vector<uint8_t> raw = TByteBuilder().Header().Bytes({5, 1, 0xDB}).Get();
  ipstream rawStream(raw);
  date.ReadRaw(rawStream);
  EXPECT_FALSE(rawStream.Good());
  EXPECT_EQ(date, TDateValue(7, 7, 2007));
}

TEST(DateValueTest, PackedValueOrdersDates) {
  EXPECT_EQ(TDateValue(5, 1, 2011).Packed(), 5u + 1u * 256 + 2011u * 65536);
  EXPECT_EQ(TDateValue::FromPacked(TDateValue(5, 1, 2011).Packed()), TDateValue(5, 1, 2011));
}

TEST(SystemClockTest, TodayIsAValidDate) {
  TSystemClock clock;
  EXPECT_TRUE(clock.Today().IsValid());
  EXPECT_GT(clock.NowSeconds(), 0);
}

}  // namespace

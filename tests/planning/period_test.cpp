#include "planning/period.h"

#include <gtest/gtest.h>

#include "planning/date_range.h"

namespace {

TEST(PeriodTest, ConvertsBetweenPeriodsRoundingHalvesAwayFromZero) {
  struct Case {
    int32_t cents;
    uint32_t from, to;
    int64_t expected;
  };
  const Case cases[] = {
      {10000, kPeriodMonthly, kPeriodWeekly, 2308},
      {10000, kPeriodWeekly, kPeriodMonthly, 43333},
      {10000, kPeriodMonthly, kPeriodMonthly, 10000},
      {10000, kPeriodNone, kPeriodMonthly, 833},     // divides by 12 only
      {10000, kPeriodMonthly, kPeriodNone, 120000},  // multiplies by 12 only
      {10000, 9, kPeriodAnnual, 10000},              // an unknown code takes no part
      {-1000, kPeriodAnnual, kPeriodSemimonthly, -42},
      {2308, kPeriodWeekly, kPeriodMonthly, 10001},
      {10000, kPeriodMonthly, kPeriodAnnual, 120000},
      {1, kPeriodAnnual, kPeriodWeekly, 0},
      {-1, kPeriodWeekly, kPeriodAnnual, -52},
      {INT32_MAX, kPeriodWeekly, kPeriodAnnual, int64_t{INT32_MAX} * 52},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertPeriodAmount(TAmount(c.cents), c.from, c.to).Cents(), c.expected)
        << c.cents << " from " << c.from << " to " << c.to;
  }
  // Every pair of real periods: there and back again loses at most the rounding of each step.
  for (uint32_t from = 1; from <= 8; ++from) {
    for (uint32_t to = 1; to <= 8; ++to) {
      TAmount there = ConvertPeriodAmount(TAmount(123456), from, to);
      double exact = 123456.0 * OccurrencesPerYear(from) / OccurrencesPerYear(to);
      EXPECT_LE(std::abs(static_cast<double>(there.Cents()) - exact), 0.5) << from << "->" << to;
    }
  }
}

TEST(PeriodTest, NamesAndCodes) {
  EXPECT_EQ(TPeriod::PeriodNameList(true).Count(), 8u);
  EXPECT_EQ(TPeriod::PeriodNameList(true).At(1), "Weekly");
  EXPECT_EQ(TPeriod::PeriodNameList(false).At(1), "None");
  EXPECT_EQ(TPeriod::PeriodCodeFromName("monthly"), kPeriodMonthly);
  EXPECT_EQ(TPeriod::PeriodCodeFromName("SEMIANNUAL"), kPeriodSemiannual);
  EXPECT_EQ(TPeriod::PeriodCodeFromName("Fortnightly"), kPeriodNone);
  EXPECT_EQ(TPeriod::PeriodNameFromCode(8), "Annual");
  EXPECT_EQ(TPeriod::PeriodNameFromCode(9), "");
}

TEST(DateRangeTest, RangesRelativeToToday) {
  struct Case {
    TDateValue today;
    DateRangeKind kind;
    TDateValue from, to;
  };
  const Case cases[] = {
      {{15, 2, 2024}, DateRangeKind::ThisMonth, {1, 2, 2024}, {29, 2, 2024}},
      {{15, 2, 2023}, DateRangeKind::ThisMonth, {1, 2, 2023}, {28, 2, 2023}},
      {{10, 1, 2024}, DateRangeKind::LastMonth, {1, 12, 2023}, {31, 12, 2023}},
      {{10, 1, 2024}, DateRangeKind::LastQuarter, {1, 10, 2023}, {31, 12, 2023}},
      {{10, 1, 2024}, DateRangeKind::LastYear, {1, 1, 2023}, {31, 12, 2023}},
      {{30, 11, 2024}, DateRangeKind::ThisQuarter, {1, 10, 2024}, {31, 12, 2024}},
      {{31, 3, 2024}, DateRangeKind::ThisQuarter, {1, 1, 2024}, {31, 3, 2024}},
      {{31, 3, 2024}, DateRangeKind::LastMonth, {1, 2, 2024}, {29, 2, 2024}},
      {{1, 5, 2024}, DateRangeKind::LastQuarter, {1, 1, 2024}, {31, 3, 2024}},
      {{31, 12, 1999}, DateRangeKind::ThisYear, {1, 1, 1999}, {31, 12, 1999}},
      {{31, 12, 2000}, DateRangeKind::LastQuarter, {1, 7, 2000}, {30, 9, 2000}},
  };
  for (const Case& c : cases) {
    std::optional<TDateRange> range = DateRangeFor(c.kind, c.today);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->from, c.from) << kDateRangeNames[static_cast<size_t>(c.kind)];
    EXPECT_EQ(range->to, c.to) << kDateRangeNames[static_cast<size_t>(c.kind)];
  }
  EXPECT_FALSE(DateRangeFor(DateRangeKind::UserDefined, TDateValue(1, 1, 2024)));
  EXPECT_EQ(DateRangeKindFromName("Last Quarter"), DateRangeKind::LastQuarter);
  EXPECT_FALSE(DateRangeKindFromName("last quarter"));
}

}  // namespace

#include "planning/date_range.h"

const std::array<const char*, 7> kDateRangeNames = {
    "User Defined", "This Month",   "This Quarter", "This Year",
    "Last Month",   "Last Quarter", "Last Year",
};

namespace {

TDateValue MonthStart(unsigned month, unsigned year) {
  return TDateValue(1, month, year);
}

TDateValue MonthEnd(unsigned month, unsigned year) {
  return TDateValue(TDateValue::DaysInMonth(month, year), month, year);
}

unsigned QuarterStartMonth(unsigned month) {
  return (month - 1) / 3 * 3 + 1;
}

}  // namespace

std::optional<TDateRange> DateRangeFor(DateRangeKind kind, TDateValue today) {
  const unsigned month = today.Month() >= 1 && today.Month() <= 12 ? today.Month() : 1;
  const unsigned year = today.Year();
  switch (kind) {
    case DateRangeKind::UserDefined:
      return std::nullopt;
    case DateRangeKind::ThisMonth:
      return TDateRange{MonthStart(month, year), MonthEnd(month, year)};
    case DateRangeKind::ThisQuarter: {
      unsigned first = QuarterStartMonth(month);
      return TDateRange{MonthStart(first, year), MonthEnd(first + 2, year)};
    }
    case DateRangeKind::ThisYear:
      return TDateRange{TDateValue(1, 1, year), TDateValue(31, 12, year)};
    case DateRangeKind::LastMonth: {
      unsigned previous = month == 1 ? 12 : month - 1;
      unsigned previousYear = month == 1 ? year - 1 : year;
      return TDateRange{MonthStart(previous, previousYear), MonthEnd(previous, previousYear)};
    }
    case DateRangeKind::LastQuarter: {
      unsigned first = QuarterStartMonth(month);
      unsigned previousFirst = first == 1 ? 10 : first - 3;
      unsigned previousYear = first == 1 ? year - 1 : year;
      return TDateRange{MonthStart(previousFirst, previousYear),
                        MonthEnd(previousFirst + 2, previousYear)};
    }
    case DateRangeKind::LastYear:
      return TDateRange{TDateValue(1, 1, year - 1), TDateValue(31, 12, year - 1)};
  }
  return std::nullopt;
}

std::optional<DateRangeKind> DateRangeKindFromName(const std::string& text) {
  for (size_t i = 0; i < kDateRangeNames.size(); ++i) {
    if (text == kDateRangeNames[i])
      return static_cast<DateRangeKind>(i);
  }
  return std::nullopt;
}

#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/date_value.h"

/// The entries of the "Date Range:" drop-down of the report dialogs, in their order.
enum class DateRangeKind {
  UserDefined,
  ThisMonth,
  ThisQuarter,
  ThisYear,
  LastMonth,
  LastQuarter,
  LastYear,
};

/// The drop-down's entry texts, indexed by `DateRangeKind`.
extern const std::array<const char*, 7> kDateRangeNames;

struct TDateRange {
  TDateValue from;
  TDateValue to;
};

/// The first and last day of a range relative to `today`; nothing for "User Defined", which
/// leaves the dates as the user typed them.
std::optional<TDateRange> DateRangeFor(DateRangeKind kind, TDateValue today);

/// The kind whose entry text equals `text` exactly.
std::optional<DateRangeKind> DateRangeKindFromName(const std::string& text);

#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/date_value.h"
#include "planning/date_range.h"

/// A whole decimal number of at most `most`: digits only, no sign, no blanks, nothing after.
std::optional<uint64_t> ParseWholeNumber(const std::string& text, uint64_t most);

/// "MM/DD/YYYY" exactly (one or two digits for the month and the day), a day of the calendar.
std::optional<TDateValue> ParseCommandDate(const std::string& text);

/// The words of the relative date ranges, as the usage and the refusals list them.
inline constexpr const char* kRangeWords =
    "this-month, this-quarter, this-year, last-month, last-quarter or last-year";
/// The relative date range a word names ("this-month" ... "last-year"); nothing for any other.
std::optional<DateRangeKind> ParseRangeWord(const std::string& text);

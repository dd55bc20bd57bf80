#pragma once

#include <optional>
#include <string_view>

#include "core/amount.h"
#include "core/date_value.h"

/// How the date cells of a CSV statement order their parts.
enum class TCsvDateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

/// The date a CSV cell holds in `order`: three parts with any separators between them (a time
/// after the date is ignored), a two- or four-digit year, and the month by number or by name
/// ("15 Mar 2011", "Mar 15, 2011", "2011-Mar-15"); eight digits "20110315" in year-month-day
/// order. Nothing for an empty cell or a date that is not in the calendar ("31/02/2011").
std::optional<TDateValue> ReadCsvDate(std::string_view cell, TCsvDateOrder order);

/// The amount a CSV cell holds with `decimalMark` ('.' or ','): at most two decimals; marks
/// between groups of three digits (the other mark, a space or an apostrophe) are ignored; a
/// leading or trailing minus or parentheses make it negative; currency signs ($, €, £, ¥) and
/// three-letter codes (USD) around it are ignored. Nothing for an empty cell, any other text
/// ("1.2.3"), or 20,000,000.00 and more in size, which a transaction cannot hold.
std::optional<TAmount> ReadCsvAmount(std::string_view cell, char decimalMark);

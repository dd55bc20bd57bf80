#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/date_value.h"

/// A whole decimal number of at most `most`: digits only, no sign, no blanks, nothing after.
std::optional<uint64_t> ParseWholeNumber(const std::string& text, uint64_t most);

/// "MM/DD/YYYY" exactly (one or two digits for the month and the day), a day of the calendar.
std::optional<TDateValue> ParseCommandDate(const std::string& text);

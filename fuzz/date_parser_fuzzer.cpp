// Feeds arbitrary text to the date parser and the date field, and arbitrary dates (valid or not)
// to the date arithmetic. Parsing gives a valid date or the invalid result with the default year,
// a valid date's text reads back as the same date, and day counting always ends.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "core/date_value.h"
#include "core/edit_values.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

void CheckArithmetic(TDateValue a, TDateValue b) {
  int32_t forward = a.Difference(b);
  Require(forward == -b.Difference(a));
  if (a.Packed() > b.Packed())
    Require(forward >= 0);
  if (a == b)
    Require(forward == 0);
  if (a.IsValid() && a.Year() > 1 && a.Year() < 0xFFFF) {
    Require(a.NextDay().IsValid() && a.PreviousDay().IsValid());
    Require(a.NextDay().PreviousDay() == a);
    Require(a.NextDay().Difference(a) == 1);
    Require(a.NextMonth().IsValid() && a.PreviousMonth().IsValid());
  }
  for (unsigned flags = 0; flags < 16; ++flags)
    Require(a.Format(flags).size() < 32);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first two bytes choose the default year; the rest is the text.
  unsigned defaultYear = size >= 2 ? unsigned{data[0]} | unsigned{data[1]} << 8 : 0;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (size >= 2)
    text.remove_prefix(2);

  TDateValue date = TDateValue::Parse(text, defaultYear, 2011);
  if (date.IsValid()) {
    Require(text.size() < 32);
    unsigned flags = date.Year() >= 1900 ? TDateValue::kFullYear : TDateValue::kNoYear;
    Require(TDateValue::Parse(date.Format(flags), date.Year(), 2011) == date);
  } else {
    Require(date == TDateValue(0, 0, defaultYear));
  }

  TFixedClock clock(TDateValue(15, 6, 2011));
  TEditDateResult field = TEditDate().Commit(text, clock);
  Require(field.date.IsValid() || field.date == TDateValue());
  Require(field.text == field.date.Format(TDateValue::kShortYear));
  // The two-digit year the field shows reads back as itself only within these hundred years.
  if (field.date.IsEmpty() || (field.date.Year() >= 1980 && field.date.Year() < 2080))
    Require(TEditDate().Commit(field.text, clock).date == field.date);

  // The same bytes as two packed dates, most of them out of the calendar.
  uint32_t packed[2] = {};
  std::memcpy(packed, data, size < sizeof packed ? size : sizeof packed);
  TDateValue a = TDateValue::FromPacked(packed[0]);
  TDateValue b = TDateValue::FromPacked(packed[1]);
  CheckArithmetic(a, b);
  CheckArithmetic(date, a);
  return 0;
}

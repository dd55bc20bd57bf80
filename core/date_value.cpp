#include "core/date_value.h"

#include <cstdio>

#include "core/pstream.h"

namespace {

// Text this long is never a date; the edit field's own limits are larger.
constexpr size_t kMaxDateText = 31;
// Larger numbers read as this, which no part of a date accepts.
constexpr unsigned kNumberCeiling = 1000000;

// A whole token as an unsigned decimal number, spaces around it allowed.
bool ReadNumber(std::string_view token, unsigned& number) {
  size_t first = token.find_first_not_of(' ');
  if (first == std::string_view::npos)
    return false;
  token = token.substr(first, token.find_last_not_of(' ') - first + 1);
  number = 0;
  for (char c : token) {
    if (c < '0' || c > '9')
      return false;
    number = number * 10 + static_cast<unsigned>(c - '0');
    if (number > kNumberCeiling)
      number = kNumberCeiling;
  }
  return true;
}

// Month 1 to 12 and day 1 to the month's length, whatever the year (0 included). Stepping back
// from such a date visits every such date below it in order.
bool InCalendar(const TDateValue& date) {
  return date.Month() >= 1 && date.Month() <= 12 && date.Day() >= 1 &&
         date.Day() <= date.DaysInMonth();
}

// The latest in-calendar date at or before `date`, or the all-zero date when there is none.
TDateValue LatestInCalendarUpTo(const TDateValue& date) {
  if (InCalendar(date))
    return date;
  unsigned month = date.Month();
  unsigned year = date.Year();
  if (month > 12)
    return TDateValue(31, 12, year);
  if (month >= 1 && date.Day() > 0) {
    return TDateValue(TDateValue::DaysInMonth(month, year), month, year);
  }
  // Day 0 of a month, or month 0: the end of the month before.
  if (month > 1)
    return TDateValue(TDateValue::DaysInMonth(month - 1, year), month - 1, year);
  if (year == 0)
    return TDateValue();
  return TDateValue(31, 12, year - 1);
}

}  // namespace

bool TDateValue::IsValid() const {
  return month_ >= 1 && month_ <= 12 && year_ != 0 && day_ >= 1 && day_ <= DaysInMonth();
}

unsigned TDateValue::DaysInMonth(unsigned month, unsigned year) {
  switch (month) {
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    case 2:
      return year % 4 == 0 ? 29 : 28;
    default:
      return 31;
  }
}

TDateValue TDateValue::Parse(std::string_view text, unsigned defaultYear, unsigned currentYear) {
  const TDateValue invalid(0, 0, defaultYear);
  if (text.size() > kMaxDateText)
    return invalid;

  std::string_view tokens[3];
  size_t count = 0;
  while (count < 3) {
    size_t slash = text.find('/');
    tokens[count++] = text.substr(0, slash);
    if (slash == std::string_view::npos)
      break;
    text.remove_prefix(slash + 1);
  }

  unsigned month = 0;
  unsigned day = 0;
  if (count < 2 || !ReadNumber(tokens[0], month) || !ReadNumber(tokens[1], day) || month == 0 ||
      day == 0) {
    return invalid;
  }

  unsigned year = defaultYear != 0 ? defaultYear : currentYear;
  unsigned yearToken = 0;
  if (count == 3 && ReadNumber(tokens[2], yearToken)) {
    if (yearToken < 80) {
      year = 2000 + yearToken;
    } else if (yearToken < 100) {
      year = 1900 + yearToken;
    } else if (yearToken >= 1900 && yearToken <= 0xFFFF) {
      // A year beyond what the date holds is no year at all, like 150.
      year = yearToken;
    }
  }

  if (month > 12 || day > 31 || year > 0xFFFF)
    return invalid;
  TDateValue date(day, month, year);
  return date.IsValid() ? date : invalid;
}

std::string TDateValue::Format(unsigned flags) const {
  if ((flags & kZeroEmpty) != 0 && Packed() == 0)
    return std::string();

  char buffer[32];
  std::string text;
  if (month_ == 0) {
    text = " /";
  } else {
    std::snprintf(buffer, sizeof buffer, "%02u/", unsigned{month_});
    text = buffer;
  }
  if (day_ == 0) {
    text += " ";
  } else {
    std::snprintf(buffer, sizeof buffer, "%02u", unsigned{day_});
    text += buffer;
  }

  if ((flags & kNoYear) != 0 || (flags & (kShortYear | kFullYear)) == 0)
    return text;
  if (year_ == 0)
    return text + "/";
  if ((flags & kShortYear) != 0) {
    int shortYear = year_ >= 2000 ? year_ - 2000 : year_ - 1900;
    std::snprintf(buffer, sizeof buffer, "/%02d", shortYear);
  } else {
    std::snprintf(buffer, sizeof buffer, "/%04u", unsigned{year_});
  }
  return text + buffer;
}

TDateValue TDateValue::NextDay() const {
  if (day_ >= DaysInMonth()) {
    if (month_ >= 12)
      return TDateValue(1, 1, year_ + 1u);
    return TDateValue(1, month_ + 1u, year_);
  }
  return TDateValue(day_ + 1u, month_, year_);
}

TDateValue TDateValue::PreviousDay() const {
  if (day_ <= 1) {
    if (month_ <= 1)
      return TDateValue(31, 12, year_ - 1u);
    return TDateValue(DaysInMonth(month_ - 1u, year_), month_ - 1u, year_);
  }
  return TDateValue(day_ - 1u, month_, year_);
}

TDateValue TDateValue::NextMonth() const {
  unsigned month = month_ >= 12 ? 1 : month_ + 1u;
  unsigned year = month_ >= 12 ? year_ + 1u : year_;
  unsigned last = DaysInMonth(month, year);
  return TDateValue(day_ > last ? last : day_, month, year);
}

TDateValue TDateValue::PreviousMonth() const {
  unsigned month = month_ <= 1 ? 12 : month_ - 1u;
  unsigned year = month_ <= 1 ? year_ - 1u : year_;
  unsigned last = DaysInMonth(month, year);
  return TDateValue(day_ > last ? last : day_, month, year);
}

int64_t TDateValue::DayCount() const {
  if (!InCalendar(*this))
    return -1;
  static constexpr unsigned kDaysBeforeMonth[] = {0,   31,  59,  90,  120, 151,
                                                  181, 212, 243, 273, 304, 334};
  const int64_t year = year_;
  int64_t days = year * 365 + (year + 3) / 4 + kDaysBeforeMonth[month_ - 1];
  if (month_ > 2 && year % 4 == 0)
    ++days;
  return days + day_ - 1;
}

int32_t TDateValue::Difference(const TDateValue& other) const {
  const bool thisLater = Packed() > other.Packed();
  const TDateValue& earlier = thisLater ? other : *this;
  TDateValue current = thisLater ? *this : other;

  // Counting steps back from the later date until the earlier one is reached. Past dates that are
  // out of the calendar (day 0, day 31 of a short month, month 0 or 13 and above) it steps one day
  // at a time, which takes a few thousand steps at most; from there on every step lands on the
  // next calendar date below, so the count is a difference of day numbers. An earlier date that
  // stepping never lands on is passed rather than waited for: counting stops at the first date
  // below it, and at 1 January of year 0, below which the year would wrap.
  int64_t steps = 0;
  while (current.Packed() > earlier.Packed() && !current.IsEmpty() && !InCalendar(current)) {
    TDateValue previous = current.PreviousDay();
    if (previous.Packed() >= current.Packed())
      break;
    current = previous;
    ++steps;
  }
  if (current.Packed() > earlier.Packed() && InCalendar(current)) {
    TDateValue target = LatestInCalendarUpTo(earlier);
    if (target.IsEmpty())
      target = TDateValue(1, 1, 0);
    steps += current.DayCount() - target.DayCount();
  }
  return static_cast<int32_t>(thisLater ? steps : -steps);
}

void TDateValue::Write(opstream& os) const {
  os.WriteByte(day_);
  os.WriteByte(month_);
  os.WriteWord32(year_);
}

void TDateValue::Read(ipstream& is) {
  uint8_t day = is.ReadByte();
  uint8_t month = is.ReadByte();
  uint32_t year = is.ReadWord();
  if (!is.Good())
    return;
  *this = TDateValue(day, month, year);
}

void TDateValue::WriteRaw(opstream& os) const {
  const uint8_t bytes[4] = {day_, month_, static_cast<uint8_t>(year_),
                            static_cast<uint8_t>(year_ >> 8)};
  os.WriteBytes(bytes, sizeof bytes);
}

void TDateValue::ReadRaw(ipstream& is) {
  uint8_t bytes[4] = {};
  is.ReadBytes(bytes, sizeof bytes);
  if (!is.Good())
    return;
  *this = TDateValue(bytes[0], bytes[1], unsigned{bytes[2]} | unsigned{bytes[3]} << 8);
}

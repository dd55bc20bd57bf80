#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

class ipstream;
class opstream;

/// A calendar date as day, month and full year. Its packed value (day + month * 256 +
/// year * 65536) orders dates; the empty date has day and month 0 whatever its year.
class TDateValue {
 public:
  /// Format flags.
  enum : unsigned {
    kZeroEmpty = 1,  ///< the all-zero date gives the empty text
    kNoYear = 2,     ///< month/day
    kShortYear = 4,  ///< month/day/yy
    kFullYear = 8,   ///< month/day/yyyy
  };

  constexpr TDateValue() = default;
  constexpr TDateValue(unsigned day, unsigned month, unsigned year)
      : day_(static_cast<uint8_t>(day)),
        month_(static_cast<uint8_t>(month)),
        year_(static_cast<uint16_t>(year)) {}

  static constexpr TDateValue FromPacked(uint32_t packed) {
    return TDateValue(packed & 0xFF, (packed >> 8) & 0xFF, packed >> 16);
  }
  constexpr uint32_t Packed() const {
    return uint32_t{day_} | uint32_t{month_} << 8 | uint32_t{year_} << 16;
  }

  constexpr unsigned Day() const { return day_; }
  constexpr unsigned Month() const { return month_; }
  constexpr unsigned Year() const { return year_; }
  void SetDay(unsigned day) { day_ = static_cast<uint8_t>(day); }
  void SetMonth(unsigned month) { month_ = static_cast<uint8_t>(month); }
  void SetYear(unsigned year) { year_ = static_cast<uint16_t>(year); }

  /// Day and month are both 0.
  constexpr bool IsEmpty() const { return day_ == 0 && month_ == 0; }
  /// Month 1 to 12, a year, and a day within the month.
  bool IsValid() const;
  /// Days of a month: every fourth year is a leap year (no century rule); a month outside 1 to 12
  /// has 31 days.
  static unsigned DaysInMonth(unsigned month, unsigned year);
  unsigned DaysInMonth() const { return DaysInMonth(month_, year_); }

  /// Parses "month/day[/year]". A default year of 0 means `currentYear`. Invalid text gives day 0,
  /// month 0 and the default year argument unchanged.
  static TDateValue Parse(std::string_view text, unsigned defaultYear, unsigned currentYear);
  /// The text form by the format flags.
  std::string Format(unsigned flags) const;

  TDateValue NextDay() const;
  TDateValue PreviousDay() const;
  TDateValue NextMonth() const;
  TDateValue PreviousMonth() const;
  /// Days from 1 January of year 0 (every fourth year, year 0 included, a leap year) for a date
  /// in the calendar (month 1 to 12, day 1 to the month's length); -1 for any other date. For
  /// two dates in the calendar the difference of their counts is their Difference.
  int64_t DayCount() const;
  /// Whole days from `other` to this date; positive when `other` is earlier.
  int32_t Difference(const TDateValue& other) const;

  /// Stream form: byte day, byte month, word32 year.
  void Write(opstream& os) const;
  /// Reads the stream form (the year with the stream's read-word operation).
  void Read(ipstream& is);
  /// The 4-byte in-memory form used inside records: day, month, year (little-endian).
  void WriteRaw(opstream& os) const;
  void ReadRaw(ipstream& is);

  friend constexpr bool operator==(const TDateValue& a, const TDateValue& b) {
    return a.Packed() == b.Packed();
  }
  friend constexpr std::strong_ordering operator<=>(const TDateValue& a, const TDateValue& b) {
    return a.Packed() <=> b.Packed();
  }

 private:
  uint8_t day_ = 0;
  uint8_t month_ = 0;
  uint16_t year_ = 0;
};

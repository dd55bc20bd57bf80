#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/amount.h"
#include "core/id_object_list.h"

/// The recurrence periods in which template and plan amounts are stated. The codes are stored
/// as 32-bit integers wherever a period is kept.
enum PeriodCode : uint32_t {
  kPeriodNone = 0,
  kPeriodWeekly = 1,
  kPeriodBiweekly = 2,
  kPeriodSemimonthly = 3,
  kPeriodMonthly = 4,
  kPeriodBimonthly = 5,
  kPeriodQuarterly = 6,
  kPeriodSemiannual = 7,
  kPeriodAnnual = 8,
};

/// How often a period comes round in a year; 0 for "None" and for codes that name no period.
unsigned OccurrencesPerYear(uint32_t code);

/// An amount stated for one period as the equivalent for another, through the occurrences per
/// year, rounded to the nearest cent with halves away from zero. A code without occurrences
/// takes no part in the conversion.
TAmount ConvertPeriodAmount(TAmount amount, uint32_t fromCode, uint32_t toCode);

/// The names of the periods for choice lists. Identifiers are the codes themselves; the list
/// either starts at "Weekly" (for the drop-downs, which never offer "None") or at "None".
class TPeriod final : public TIdObjectList {
 public:
  explicit TPeriod(bool realPeriodsOnly = true) : realOnly_(realPeriodsOnly) {}

  /// "Weekly" to "Annual", or "None" to "Annual".
  static TBxStringList PeriodNameList(bool realPeriodsOnly);
  /// The code whose name matches without regard to case; 0 when none does.
  static uint32_t PeriodCodeFromName(std::string_view name);
  /// The name of a code from 0 to 8; empty for any other code.
  static std::string PeriodNameFromCode(uint32_t code);

  TBxStringList Names() const override { return PeriodNameList(realOnly_); }
  uint32_t IdOfName(std::string_view name) const override { return PeriodCodeFromName(name); }
  std::string NameOfId(uint32_t id) const override { return PeriodNameFromCode(id); }

 private:
  bool realOnly_;
};

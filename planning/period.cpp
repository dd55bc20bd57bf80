#include "planning/period.h"

#include <array>

namespace {

struct TPeriodInfo {
  const char* name;
  unsigned perYear;
};

constexpr std::array<TPeriodInfo, 9> kPeriods = {{
    {"None", 0},
    {"Weekly", 52},
    {"Biweekly", 26},
    {"Semimonthly", 24},
    {"Monthly", 12},
    {"Bimonthly", 6},
    {"Quarterly", 4},
    {"Semiannual", 2},
    {"Annual", 1},
}};

}  // namespace

unsigned OccurrencesPerYear(uint32_t code) {
  return code < kPeriods.size() ? kPeriods[code].perYear : 0;
}

TAmount ConvertPeriodAmount(TAmount amount, uint32_t fromCode, uint32_t toCode) {
  if (fromCode == toCode)
    return amount;
  double cents = static_cast<double>(amount.Cents());
  if (unsigned from = OccurrencesPerYear(fromCode))
    cents *= from;
  if (unsigned to = OccurrencesPerYear(toCode))
    cents /= to;
  return TAmount::FromUnits(cents / 100.0);
}

TBxStringList TPeriod::PeriodNameList(bool realPeriodsOnly) {
  TBxStringList names;
  for (size_t code = realPeriodsOnly ? 1 : 0; code < kPeriods.size(); ++code)
    names.Append(kPeriods[code].name);
  return names;
}

uint32_t TPeriod::PeriodCodeFromName(std::string_view name) {
  for (uint32_t code = 0; code < kPeriods.size(); ++code) {
    if (EqualNoCase(name, kPeriods[code].name))
      return code;
  }
  return kPeriodNone;
}

std::string TPeriod::PeriodNameFromCode(uint32_t code) {
  return code < kPeriods.size() ? kPeriods[code].name : "";
}

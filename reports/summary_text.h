#pragma once

#include <string>

#include "core/amount.h"
#include "core/date_value.h"

// Stand-ins for the shared report texts until the ledger reports bring theirs.

/// A total: thousands separators, a blank on each side, negative in parentheses.
inline std::string SummaryTotalText(TAmount amount) {
  return amount.Format(TAmount::kParentheses | TAmount::kThousands);
}

/// A date as MM/DD/YYYY.
inline std::string SummaryDateText(TDateValue date) {
  return date.Format(TDateValue::kFullYear);
}

/// The page footer "Page %d, %s".
inline std::string SummaryFooterText(int page, TDateValue today) {
  return "Page " + std::to_string(page) + ", " + SummaryDateText(today);
}

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/amount.h"
#include "core/date_value.h"

/// One transaction read from a bank statement; it lives for one import only.
struct TImportRecord {
  /// The bank's posting date; the empty date when missing or unreadable.
  TDateValue Date;
  /// Check number or other reference, as read (may be empty).
  std::string CheckNumber;
  std::string Memo;
  /// The payee.
  std::string Name;
  /// Negative is money out of the account.
  TAmount Amount;
  /// The transaction this record was paired with; 0 when none.
  uint32_t MatchedId = 0;
};

/// The working set of one import: the statement's path and its records in file order.
struct TImportBatch {
  std::string Path;
  std::vector<TImportRecord> Records;

  /// The earliest record date, never later than `today`; the empty date when a record has
  /// none. Compared as packed dates.
  TDateValue EarliestDate(TDateValue today) const;
  /// The latest record date, starting from the empty date.
  TDateValue LatestDate() const;
};

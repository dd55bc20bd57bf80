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

/// The cents a statement amount becomes in a transaction. A transaction holds 32 bits, and an
/// amount typed into a ledger that reaches 20,000,000.00 in size counts as 0; a statement line is
/// taken by the same rule rather than wrapped into some unrelated amount.
int32_t ImportCents(TAmount amount);

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

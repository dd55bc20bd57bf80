#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/amount.h"
#include "core/date_value.h"
#include "import/csv_values.h"

class TCsvTable;
class TImportBatch;
class TSettingList;

/// Which columns of a CSV statement hold which part of a transaction, and how its dates and
/// amounts are written. Columns count from 0; kNone is a part the file does not have. The
/// amount is either one signed column or a debit and a credit column.
struct TCsvMapping {
  static constexpr int kNone = -1;

  /// The first row names the columns and is no transaction.
  bool header = false;
  int date = kNone;
  int amount = kNone;
  int debit = kNone;
  int credit = kNone;
  int payee = kNone;
  int memo = kNone;
  int check = kNone;
  TCsvDateOrder dateOrder = TCsvDateOrder::MonthDayYear;
  char decimalMark = '.';
  /// The debit column holds money out as positive numbers (else as negative ones).
  bool debitPositive = true;

  /// A date and an amount (or both of debit and credit), every column inside `columns`.
  bool Usable(size_t columns) const;

  /// The mapping stored for an account (scope `account` of the document's settings); nothing
  /// when none is stored.
  static std::optional<TCsvMapping> Load(const TSettingList& settings, uint32_t account);
  /// Stores the mapping for an account, under keys beginning "importer.CSV".
  void Store(TSettingList& settings, uint32_t account) const;

  friend bool operator==(const TCsvMapping&, const TCsvMapping&) = default;
};

/// One data row as a mapping reads it: nothing for a date or amount that cannot be read.
struct TCsvRow {
  std::optional<TDateValue> date;
  std::optional<TAmount> amount;
  std::string_view check, memo, payee;
};

/// The first data row of a table under `mapping` (past the header row when it has one).
size_t FirstCsvDataRow(const TCsvTable& table, const TCsvMapping& mapping);

/// Row `row` of the table as `mapping` reads it.
TCsvRow ReadCsvRow(const TCsvTable& table, size_t row, const TCsvMapping& mapping);

/// The mapping that reads the table best: the header row when its cells are no values; the
/// date column and the date order that make every row a date (between month-first and
/// day-first, day-first where dates are written with dots or the file is separated by
/// semicolons); the decimal mark that reads the most amount cells; the amount by its header or
/// the first column whose values all read as amounts, or a debit and credit pair of which each
/// row fills exactly one; payee, memo and check number by their headers (the payee else the
/// column with the most letters).
TCsvMapping GuessCsvMapping(const TCsvTable& table);

/// What reading a table into a batch came to.
struct TCsvReadCount {
  size_t read = 0;
  /// Rows whose date or amount could not be read: left out, never taken as 0 or as today.
  size_t leftOut = 0;
};

/// Appends every data row whose date and amount read to the batch, in file order.
TCsvReadCount ReadCsvRecords(const TCsvTable& table, const TCsvMapping& mapping,
                             TImportBatch& batch);

/// The sentence telling how many rows were left out; empty when none were.
std::string LeftOutRowsMessage(size_t leftOut);

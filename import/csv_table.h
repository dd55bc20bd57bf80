#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

/// A CSV statement as a table of cells of budget text (Windows-1252). Its rows are the file's
/// records from the first one that has the table's column count on: lines a bank puts above the
/// table (account number, period) are left out, later rows keep whatever cells they have. A
/// cell holds at most kMaxCell characters, without blanks around it, and no control character.
class TCsvTable {
 public:
  /// A longer cell keeps its first kMaxCell characters; no statement value is that long.
  static constexpr size_t kMaxCell = 1023;
  /// A record with more columns than this refuses the file: no statement has so many, and
  /// their cells would cost several times the file.
  static constexpr size_t kMaxColumns = 256;

  /// The separator the file was read with: ',', ';', '\t' or '|'.
  char Separator() const { return separator_; }
  /// The column count most records share.
  size_t Columns() const { return columns_; }
  size_t Rows() const { return rowStarts_.empty() ? 0 : rowStarts_.size() - 1; }
  /// Records above the table that were left out.
  size_t SkippedLines() const { return skipped_; }
  /// The cell of a row; empty for a column the row does not have.
  std::string_view Cell(size_t row, size_t column) const;
  /// The cells `row` has (a ragged row has fewer or more than Columns()).
  size_t CellsIn(size_t row) const { return rowStarts_[row + 1] - rowStarts_[row]; }

 private:
  friend TResult<TCsvTable> ReadCsvTable(std::string_view bytes);

  std::string text_;
  // Where each cell's text starts in text_, one past the last cell too; a cell ends where the
  // next begins, so that a cell costs four bytes beyond its text.
  std::vector<uint32_t> cellStarts_;
  // The first cell of each row, and one past the last row.
  std::vector<uint32_t> rowStarts_;
  size_t columns_ = 0;
  size_t skipped_ = 0;
  char separator_ = ',';
};

/// Reads CSV bytes (RFC 4180: quoted fields with doubled quotes, separators and line breaks
/// inside quotes; CR, LF or CR LF ends a record; empty lines are left out). A leading UTF-8 byte
/// order mark is dropped; a file that is valid UTF-8 is read as UTF-8, any other as
/// Windows-1252. The separator is the one of ',', ';', tab and '|' that gives the most records
/// one shared count of two or more columns. Refused with a message: a quote that never closes,
/// a record of more than kMaxColumns cells, a file without a table.
TResult<TCsvTable> ReadCsvTable(std::string_view bytes);

/// Whether bytes look like a CSV table: one separator gives at least half of the first records
/// one shared count of two or more columns.
bool LooksLikeCsv(std::string_view bytes);

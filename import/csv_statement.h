#pragma once

#include <cstdint>

#include "import/csv_mapping.h"
#include "import/csv_table.h"

class TImportBatch;
class TVorlaData;

/// A CSV statement on its way into one account: its table and the columns it is read with.
/// Its rows become records only once the account is known, since the columns are the account's.
class TCsvStatement {
 public:
  explicit TCsvStatement(TCsvTable table) : table_(std::move(table)) {}

  /// Appends the rows to `batch` for `account`: with the account's stored mapping when it fits
  /// the table and reads a row, else through "Import CSV File" (the user port) starting from
  /// the guess. Rows left out are told. False when the dialog is cancelled.
  bool Fill(TVorlaData& document, uint32_t account, TImportBatch& batch);
  /// Keeps the columns as the account's, for its next statement.
  void Remember(TVorlaData& document, uint32_t account) const;

 private:
  TCsvTable table_;
  TCsvMapping mapping_;
};

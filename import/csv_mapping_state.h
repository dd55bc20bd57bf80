#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "import/csv_mapping.h"

class TCsvTable;

/// Everything the dialog "Import CSV File" decides, without a window: the mapping it edits, the
/// names its column choices show, and the preview of the first rows as the mapping reads them.
/// The window shows these and writes the user's choices into Mapping().
class TCsvMappingState {
 public:
  static constexpr const char* kTitle = "Import CSV File";
  /// Rows of the file the preview shows.
  static constexpr size_t kPreviewRows = 20;
  /// What a preview cell shows when its date or amount cannot be read.
  static constexpr const char* kUnreadable = "(unreadable)";

  /// The dialog over `table`, starting from `mapping`. The table outlives the state.
  TCsvMappingState(const TCsvTable& table, const TCsvMapping& mapping)
      : table_(table), mapping_(mapping) {}

  TCsvMapping& Mapping() { return mapping_; }
  const TCsvMapping& Mapping() const { return mapping_; }
  const TCsvTable& Table() const { return table_; }

  /// A name for each column of the table: "1: " and its header cell when the first row names
  /// the columns, else "Column 1".
  std::vector<std::string> ColumnNames() const;

  /// One preview row: its date and amount in the ledger's form (or kUnreadable), and its texts.
  struct TPreviewRow {
    std::string date, amount, payee, memo, check;
    bool readable = false;
  };
  /// The first kPreviewRows data rows as the mapping reads them.
  std::vector<TPreviewRow> Preview() const;

  /// Some row of the file reads as a transaction, so that OK has something to import.
  bool CanAccept() const;

 private:
  const TCsvTable& table_;
  TCsvMapping mapping_;
};

#include "import/csv_mapping_state.h"

#include <algorithm>

#include "import/csv_table.h"

std::vector<std::string> TCsvMappingState::ColumnNames() const {
  std::vector<std::string> names;
  for (size_t c = 0; c < table_.Columns(); ++c) {
    const std::string number = std::to_string(c + 1);
    names.push_back(mapping_.header && table_.Rows() > 0
                        ? number + ": " + std::string(table_.Cell(0, c))
                        : "Column " + number);
  }
  return names;
}

std::vector<TCsvMappingState::TPreviewRow> TCsvMappingState::Preview() const {
  std::vector<TPreviewRow> rows;
  const size_t first = FirstCsvDataRow(table_, mapping_);
  const size_t end = std::min(table_.Rows(), first + kPreviewRows);
  for (size_t row = first; row < end; ++row) {
    const TCsvRow read = ReadCsvRow(table_, row, mapping_);
    TPreviewRow shown;
    shown.date = read.date ? read.date->Format(TDateValue::kFullYear) : kUnreadable;
    shown.amount = read.amount ? read.amount->Format(TAmount::kThousands) : kUnreadable;
    shown.payee = read.payee;
    shown.memo = read.memo;
    shown.check = read.check;
    shown.readable = read.date && read.amount;
    rows.push_back(std::move(shown));
  }
  return rows;
}

bool TCsvMappingState::CanAccept() const {
  if (!mapping_.Usable(table_.Columns()))
    return false;
  for (size_t row = FirstCsvDataRow(table_, mapping_); row < table_.Rows(); ++row) {
    const TCsvRow read = ReadCsvRow(table_, row, mapping_);
    if (read.date && read.amount)
      return true;
  }
  return false;
}

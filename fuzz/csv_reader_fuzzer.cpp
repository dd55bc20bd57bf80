// Feeds arbitrary bytes to the CSV reader and the guess of its columns. Whatever the bytes, the
// table's cells are short and free of control characters and blanks around them, every data row
// becomes a record or is counted as left out, every record has a calendar date and an amount a
// transaction holds, and reading again gives the same.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/csv_mapping.h"
#include "import/csv_table.h"
#include "import/import_record.h"
#include "import/statement_file.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

void RequireCell(std::string_view cell) {
  Require(cell.size() <= TCsvTable::kMaxCell);
  Require(cell.empty() || (cell.front() != ' ' && cell.back() != ' '));
  for (char c : cell)
    Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)DetectStatementKind(bytes);
  for (char mark : {'.', ','})
    (void)ReadCsvAmount(bytes, mark);
  for (TCsvDateOrder order :
       {TCsvDateOrder::MonthDayYear, TCsvDateOrder::DayMonthYear, TCsvDateOrder::YearMonthDay}) {
    const std::optional<TDateValue> date = ReadCsvDate(bytes, order);
    Require(!date || date->IsValid());
  }

  const TResult<TCsvTable> table = ReadCsvTable(bytes);
  if (!table) {
    Require(!table.Error().empty());
    return 0;
  }
  Require(table->Columns() >= 2 && table->Columns() <= TCsvTable::kMaxColumns);
  for (size_t row = 0; row < table->Rows(); ++row) {
    Require(table->CellsIn(row) <= TCsvTable::kMaxColumns);
    for (size_t c = 0; c < table->CellsIn(row); ++c)
      RequireCell(table->Cell(row, c));
  }
  const TCsvMapping mapping = GuessCsvMapping(*table);
  TImportBatch batch;
  const TCsvReadCount count = ReadCsvRecords(*table, mapping, batch);
  Require(count.read == batch.Size());
  Require(count.read + count.leftOut == table->Rows() - FirstCsvDataRow(*table, mapping));
  for (const TImportRecord& record : batch.Records()) {
    Require(record.Date.IsValid());
    // Both columns of a debit and credit pair may hold up to just under the limit.
    Require(record.Amount.Cents() < 4'000'000'000 && record.Amount.Cents() > -4'000'000'000);
  }
  TImportBatch again;
  Require(ReadCsvRecords(*ReadCsvTable(bytes), GuessCsvMapping(*ReadCsvTable(bytes)), again).read ==
          count.read);
  return 0;
}

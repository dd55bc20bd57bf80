#include <gtest/gtest.h>

#include <string>

#include "import/csv_table.h"
#include "import/csv_values.h"
#include "import/statement_file.h"

namespace {

using namespace std::string_literals;

// The table as text: rows joined by " / ", cells by "|"; the separator and skipped lines first.
std::string Show(const std::string& bytes) {
  const TResult<TCsvTable> table = ReadCsvTable(bytes);
  if (!table)
    return "! " + table.Error();
  std::string text = (table->Separator() == '\t' ? "TAB" : std::string(1, table->Separator())) +
                     " skip " + std::to_string(table->SkippedLines()) + ":";
  for (size_t row = 0; row < table->Rows(); ++row) {
    text += row == 0 ? " " : " / ";
    for (size_t c = 0; c < table->CellsIn(row); ++c)
      text += (c == 0 ? "" : "|") + std::string(table->Cell(row, c));
  }
  return text;
}

TEST(CsvReaderTest, Table) {
  const std::pair<std::string, std::string> cases[] = {
      {"a,b\r\n1,2\r\n", ", skip 0: a|b / 1|2"},
      {"\"Smith, J\",\"say \"\"hi\"\"\"\n\"two\nlines\",x",
       ", skip 0: Smith, J|say \"hi\" / two lines|x"},
      {"a;1,50;x\nb;2,00;y\n", "; skip 0: a|1,50|x / b|2,00|y"},
      {"a\tb c\n1\t2 3\n", "TAB skip 0: a|b c / 1|2 3"},
      {"a|b\r1|2\r", "| skip 0: a|b / 1|2"},
      // Bank lines above the table are left out; later ragged rows stay as they are.
      {"Account:;123\nPeriod:;2011\n\nDate;Payee;Amount\n1;x;2\n3;y\n4;z;5;6\n7;w;8\n",
       "; skip 2: Date|Payee|Amount / 1|x|2 / 3|y / 4|z|5|6 / 7|w|8"},
      {"\xEF\xBB\xBF"
       "Caf\xC3\xA9,\xE2\x82\xAC 1\n\xE4\xB8\xAD,2\n",
       ", skip 0: Caf\xE9|\x80 1 / ?|2"},
      {"Caf\xE9,1\nb,2\n", ", skip 0: Caf\xE9|1 / b|2"},
      {"a\0b,  c  \nd,\"e\" f\n"s, ", skip 0: a?b|c / d|e f"},
      {"a,b\n\"open,2\n", "! The quote that opens a field on line 2 is never closed."},
      {"x\ny\n",
       "! The file holds no table: no two lines have the same number of columns "
       "separated by commas, semicolons, tabs or \"|\"."},
      {"a,b\n1,2\n" + std::string(300, ','),
       "! Line 3 has more than 256 columns; no statement has "
       "so many."},
  };
  for (const auto& [bytes, expected] : cases)
    EXPECT_EQ(Show(bytes), expected) << bytes;
}

TEST(CsvReaderTest, LongCellsAreCut) {
  const TResult<TCsvTable> table = ReadCsvTable("a,b\n" + std::string(50u << 20, 'x') + ",1\n");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->Cell(1, 0).size(), TCsvTable::kMaxCell);
  EXPECT_EQ(table->Cell(1, 1), "1");
}

TEST(CsvReaderTest, Dates) {
  using enum TCsvDateOrder;
  const std::tuple<std::string, TCsvDateOrder, std::string> cases[] = {
      {"03/15/2011", MonthDayYear, "2011-03-15"},
      {"3/5/11", MonthDayYear, "2011-03-05"},
      {"15.03.2011", DayMonthYear, "2011-03-15"},
      {"15-03-99", DayMonthYear, "1999-03-15"},
      {"2011-03-15", YearMonthDay, "2011-03-15"},
      {"2011-03-15T10:30:00", YearMonthDay, "2011-03-15"},
      {"2011/03/15 10:30", YearMonthDay, "2011-03-15"},
      {"20110315", YearMonthDay, "2011-03-15"},
      {"15 Mar 2011", DayMonthYear, "2011-03-15"},
      {"Mar 15, 2011", MonthDayYear, "2011-03-15"},
      {"15-MARCH-11", MonthDayYear, "2011-03-15"},
      {"2011-Sept-15", YearMonthDay, "2011-09-15"},
      {"29/02/2012", DayMonthYear, "2012-02-29"},
      {"31/02/2011", DayMonthYear, "none"},
      {"15/03/2011", MonthDayYear, "none"},
      {"03/15/211", MonthDayYear, "none"},
      {"03/15/1066", MonthDayYear, "none"},
      {"15 Foo 2011", DayMonthYear, "none"},
      {"2011-03-15 x", YearMonthDay, "none"},
      {"1/2", MonthDayYear, "none"},
      {"", MonthDayYear, "none"},
  };
  for (const auto& [cell, order, expected] : cases) {
    const std::optional<TDateValue> date = ReadCsvDate(cell, order);
    char text[16] = "none";
    if (date)
      std::snprintf(text, sizeof text, "%04u-%02u-%02u", date->Year(), date->Month(), date->Day());
    EXPECT_EQ(text, expected) << cell;
  }
}

TEST(CsvReaderTest, Amounts) {
  const std::tuple<std::string, char, std::string> cases[] = {
      {"-45.00", '.', "-45.00"},
      {"1,234.5", '.', "1234.50"},
      {"1.234,56", ',', "1234.56"},
      {"1 234,56", ',', "1234.56"},
      {"1'234.56", '.', "1234.56"},
      {"(12.34)", '.', "-12.34"},
      {"12.34-", '.', "-12.34"},
      {"$1,000", '.', "1000.00"},
      {"-$5.00", '.', "-5.00"},
      {"\x80 5,00", ',', "5.00"},
      {"12,50 EUR", ',', "12.50"},
      {"+.5", '.', "0.50"},
      {"19999999.99", '.', "19999999.99"},
      {"20000000.00", '.', "none"},
      {"1000000000000000000000000000000", '.', "none"},
      {"1.2.3", '.', "none"},
      {"1.2.3", ',', "none"},
      {"1,23", '.', "none"},
      {"12.345", '.', "none"},
      {"(-5)", '.', "none"},
      {"abc", '.', "none"},
      {"", '.', "none"},
  };
  for (const auto& [cell, mark, expected] : cases) {
    const std::optional<TAmount> amount = ReadCsvAmount(cell, mark);
    EXPECT_EQ(amount ? amount->Format(0) : "none", expected) << cell;
  }
}

TEST(CsvReaderTest, KindByContent) {
  EXPECT_EQ(DetectStatementKind("Date,Amount\n1/2/11,5\n"), TStatementKind::Csv);
  EXPECT_EQ(DetectStatementKind("D1/2/11\nT1,234.56\nPSmith, J\n^\nD1/3/11\nT2\n^"),
            TStatementKind::Qif);
  EXPECT_EQ(DetectStatementKind("!Type:Bank\nDa,b\nDc,d\n"), TStatementKind::Qif);
}

}  // namespace

#include "import/csv_mapping.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/setting_list.h"
#include "import/csv_table.h"
#include "import/import_record.h"

namespace {

// A mapping in one line: the parts by their columns from 1, "-" for none.
std::string Describe(const TCsvMapping& m) {
  auto column = [](int c) {
    return c == TCsvMapping::kNone ? std::string("-") : std::to_string(c + 1);
  };
  static constexpr const char* kOrders[] = {"mdy", "dmy", "ymd"};
  std::string text = std::string(m.header ? "header " : "") + "date " + column(m.date) + " " +
                     kOrders[static_cast<int>(m.dateOrder)] + " mark " + m.decimalMark;
  if (m.amount != TCsvMapping::kNone)
    text += " amount " + column(m.amount);
  else
    text +=
        " debit " + column(m.debit) + (m.debitPositive ? "+" : "-") + " credit " + column(m.credit);
  return text + " payee " + column(m.payee) + " memo " + column(m.memo) + " check " +
         column(m.check);
}

// The records read: "date amount #check payee|memo", joined by " | ".
std::string Records(const TImportBatch& batch) {
  std::string text;
  for (const TImportRecord& r : batch.Records()) {
    char date[16];
    std::snprintf(date, sizeof date, "%04u-%02u-%02u", r.Date.Year(), r.Date.Month(), r.Date.Day());
    text += (text.empty() ? "" : " | ") + std::string(date) + " " + r.Amount.Format(0) + " #";
    text.append(batch.CheckNumber(r))
        .append(" ")
        .append(batch.Name(r))
        .append("|")
        .append(batch.Memo(r));
  }
  return text;
}

struct TExport {
  const char* bank;
  std::string bytes;
  std::string mapping;
  std::string records;
};

// Files in the forms banks write them; each needs nothing but the guess.
const TExport kExports[] = {
    {"US month-first with a debit and credit pair",
     "\"Posting Date\",\"Description\",\"Debit\",\"Credit\",\"Balance\"\r\n"
     "\"03/01/2011\",\"GROCERY MART #123\",\"45.00\",\"\",\"1,955.00\"\r\n"
     "\"03/02/2011\",\"PAYROLL DEPOSIT\",\"\",\"1,250.00\",\"3,205.00\"\r\n"
     "\"03/03/2011\",\"CHECK 1042\",\"300.00\",\"\",\"2,905.00\"\r\n",
     "header date 1 mdy mark . debit 3+ credit 4 payee 2 memo - check -",
     "2011-03-01 -45.00 # GROCERY MART #123| | 2011-03-02 1250.00 # PAYROLL DEPOSIT| | "
     "2011-03-03 -300.00 # CHECK 1042|"},
    {"European day-first, decimal comma, semicolons, account lines above",
     "Kontonummer;DE12 3456 7890\nZeitraum;01.03.2011 - 31.03.2011\n\n"
     "Buchungstag;Empf\xC3\xA4nger;Verwendungszweck;Betrag\n"
     "01.03.2011;Supermarkt M\xC3\xBCller;Einkauf;-45,00\n"
     "02.03.2011;Arbeitgeber GmbH;Gehalt M\xC3\xA4rz;1.250,00\n",
     "header date 1 dmy mark , amount 4 payee 2 memo - check -",
     "2011-03-01 -45.00 # Supermarkt M\xFCller| | 2011-03-02 1250.00 # Arbeitgeber GmbH|"},
    {"ISO dates with a signed amount and no header",
     "2011-03-15,-45.00,GROCERY MART,POS 1234\n2011-03-16,1250.00,PAYROLL,ACH CREDIT\n",
     "date 1 ymd mark . amount 2 payee 3 memo - check -",
     "2011-03-15 -45.00 # GROCERY MART| | 2011-03-16 1250.00 # PAYROLL|"},
    {"A header after account lines, quoted payees with commas and line breaks",
     "Account Name:,Everyday Checking\nAccount Number:,XXXX1234\n"
     "Date,Check Number,Amount,Payee,Memo\n"
     "3/15/2011,,-45.00,\"Grocery Mart, Inc.\",\"Weekly\nshopping\"\n"
     "3/17/2011,1042,-300.00,\"Landlord\",\"\"\n",
     "header date 1 mdy mark . amount 3 payee 4 memo 5 check 2",
     "2011-03-15 -45.00 # Grocery Mart, Inc.|Weekly shopping | 2011-03-17 -300.00 #1042 "
     "Landlord|"},
    {"Month names, tabs, debits as negative numbers, money in and out",
     "Date\tDetails\tMoney Out\tMoney In\n15 Mar 2011\tCard payment\t-4.50\t\n"
     "16 Mar 2011\tTransfer\t\t\xC2\xA3"
     "20.00\n",
     "header date 1 dmy mark . debit 3- credit 4 payee - memo 2 check -",
     "2011-03-15 -4.50 # |Card payment | 2011-03-16 20.00 # |Transfer"},
};

TEST(CsvMappingTest, GuessesBankExports) {
  for (const TExport& file : kExports) {
    const TResult<TCsvTable> table = ReadCsvTable(file.bytes);
    ASSERT_TRUE(table) << file.bank;
    const TCsvMapping mapping = GuessCsvMapping(*table);
    EXPECT_EQ(Describe(mapping), file.mapping) << file.bank;
    TImportBatch batch;
    const TCsvReadCount count = ReadCsvRecords(*table, mapping, batch);
    EXPECT_EQ(count.leftOut, 0u) << file.bank;
    EXPECT_EQ(Records(batch), file.records) << file.bank;
  }
}

TEST(CsvMappingTest, UnreadableRowsAreLeftOutAndCounted) {
  const TResult<TCsvTable> table = ReadCsvTable(
      "Date,Payee,Amount\n01/02/2011,A,1.00\n31/02/2011,B,2.00\n01/03/2011,C,1.2.3\n"
      "01/04/2011,D,1e30\n01/05/2011,E\n01/06/2011,F,3.00\n");
  ASSERT_TRUE(table);
  const TCsvMapping mapping = GuessCsvMapping(*table);
  TImportBatch batch;
  const TCsvReadCount count = ReadCsvRecords(*table, mapping, batch);
  EXPECT_EQ(Records(batch), "2011-01-02 1.00 # A| | 2011-01-06 3.00 # F|");
  EXPECT_EQ(count.leftOut, 4u);
  EXPECT_EQ(LeftOutRowsMessage(count.leftOut),
            "4 rows could not be read (their date or amount) and were left out.");
}

TEST(CsvMappingTest, StoredPerAccount) {
  TCsvMapping mapping;
  mapping.header = true;
  mapping.date = 2;
  mapping.debit = 0;
  mapping.credit = 5;
  mapping.payee = 1;
  mapping.check = 3;
  mapping.dateOrder = TCsvDateOrder::YearMonthDay;
  mapping.decimalMark = ',';
  mapping.debitPositive = false;
  TSettingList settings;
  mapping.Store(settings, 7);
  EXPECT_EQ(TCsvMapping::Load(settings, 7), mapping);
  EXPECT_EQ(TCsvMapping::Load(settings, 8), std::nullopt);
  EXPECT_EQ(settings.GetText("importer.CSVDate", "", 7), "3");
  EXPECT_TRUE(mapping.Usable(6));
  EXPECT_FALSE(mapping.Usable(5));  // a file with fewer columns is asked about again
}

}  // namespace

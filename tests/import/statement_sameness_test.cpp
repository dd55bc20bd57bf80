#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "import/csv_mapping.h"
#include "import/csv_table.h"
#include "import/import_procedure.h"
#include "import/ofx_reader.h"
#include "import/qif_reader.h"
#include "tests/transactions/budget_fixture.h"

namespace {

// One copy of the budget: a rent check and a grocery trip entered before the statement came.
class TBudgetCopy : public BudgetTest {
 public:
  TBudgetCopy() {
    Type(checking, "03/01/2024", "Landlord", -30000, rent, "1042");
    Type(checking, "03/02/2024", "Grocery Mart", -4500, groceries);
  }
  void TestBody() override {}

  // Imports the batch into Checking with the options as proposed; every record of the store,
  // one line each.
  std::string Import(TImportBatch& batch) {
    user.ScriptAccountChoice(checking);
    user.ScriptImportDialog([](TImportDialogState&) { return true; });
    ImportRecords(batch, document, nullptr);
    ExpectSound();
    std::string text;
    for (const TXRecord& r : Records()) {
      char line[64];
      std::snprintf(line, sizeof line, "%u %u %d %u %u ", r.date.Packed(), r.AccountCleared,
                    r.amount, r.EnvelopeId, r.NewImport);
      text += line + std::string(r.GetCode()) + "|" + std::string(r.GetPayableTo()) + "|" +
              std::string(r.GetMemo()) + "\n";
    }
    return text;
  }
};

// The same statement from one bank in its three forms: the check that pairs by number (at a
// different amount), the grocery trip that pairs by amount, a salary and a payee with an accent.
const std::string kQif =
    "!Type:Bank\nD03/04/2024\nT-300.00\nN1042\nPLandlord\n^\n"
    "D03/03/2024\nT-45.00\nPGrocery Mart\nMWeekly\n^\n"
    "D03/05/2024\nT1250.00\nPEmployer\nMSalary\n^\n"
    "D03/06/2024\nT-3.20\nPCaf\xC3\xA9 du Coin\n^\n";
const std::string kOfx =
    "OFXHEADER:100\nDATA:OFXSGML\nENCODING:UTF-8\n\n<OFX><BANKTRANLIST>"
    "<STMTTRN><DTPOSTED>20240304<TRNAMT>-300.00<CHECKNUM>1042<NAME>Landlord</STMTTRN>"
    "<STMTTRN><DTPOSTED>20240303<TRNAMT>-45.00<NAME>Grocery Mart<MEMO>Weekly</STMTTRN>"
    "<STMTTRN><DTPOSTED>20240305<TRNAMT>1250.00<NAME>Employer<MEMO>Salary</STMTTRN>"
    "<STMTTRN><DTPOSTED>20240306<TRNAMT>-3.20<NAME>Caf\xC3\xA9 du Coin</STMTTRN>"
    "</BANKTRANLIST></OFX>";
const std::string kCsv =
    "Date,Check,Description,Memo,Amount\n03/04/2024,1042,Landlord,,-300.00\n"
    "03/03/2024,,Grocery Mart,Weekly,-45.00\n03/05/2024,,Employer,Salary,\"1,250.00\"\n"
    "03/06/2024,,\"Caf\xC3\xA9 du Coin\",,-3.20\n";

TEST(StatementSamenessTest, QifOfxAndCsvImportTheSame) {
  const std::function<void(TImportBatch&)> readers[] = {
      [](TImportBatch& batch) { ReadQifText(kQif, batch, 2024); },
      [](TImportBatch& batch) { ReadOfxText(kOfx, batch, 2024); },
      [](TImportBatch& batch) {
        const TResult<TCsvTable> table = ReadCsvTable(kCsv);
        ASSERT_TRUE(table);
        ReadCsvRecords(*table, GuessCsvMapping(*table), batch);
      },
  };
  std::string first;
  for (const auto& read : readers) {
    TBudgetCopy copy;
    TImportBatch batch;
    read(batch);
    ASSERT_EQ(batch.Size(), 4u);
    const std::string records = copy.Import(batch);
    if (first.empty())
      first = records;
    EXPECT_EQ(records, first);
  }
  // Two pairs and two new transactions.
  EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 4);
  EXPECT_NE(first.find("Caf\xE9 du Coin"), std::string::npos);
}

}  // namespace

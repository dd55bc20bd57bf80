#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "reports/account_ledger_report.h"
#include "reports/account_summary_report.h"
#include "reports/envelope_ledger_report.h"
#include "reports/report_options.h"
#include "reports/report_text.h"
#include "tests/reports/report_cells.h"
#include "tests/transactions/budget_fixture.h"
#include "transactions/editable_filter.h"

namespace {

TEST(ReportTextTest, MoneyBeyond32Bits) {
  EXPECT_EQ(MoneyText(-4294967294), "-42,949,672.94");
  EXPECT_EQ(BracketedMoneyText(-4294967294), "(42,949,672.94)");
  EXPECT_EQ(BracketedMoneyText(4294967294), " 42,949,672.94 ");
}

TCellInfo Cell(const CFWEngine& report, int page, int row, int column) {
  TCellInfo info;
  report.GetCell(page, 1, row, column, info);
  return info;
}

class LedgerReportTest : public BudgetTest {
 protected:
  TLedgerReportOptions Options(uint32_t id, TDateValue from = TDateValue(1, 3, 2024),
                               TDateValue to = TDateValue(31, 3, 2024)) {
    TLedgerReportOptions options;
    options.id = id;
    options.from = from;
    options.to = to;
    return options;
  }
  /// A record stored as it is, for amounts no ledger cell takes.
  void Store(uint32_t account, uint32_t envelope, int32_t cents, std::string_view payee) {
    TXRecord record{};
    record.Flags = kXLive | kXAccountSide;
    record.AccountId = account;
    record.EnvelopeId = envelope;
    record.date = TDateValue(10, 3, 2024);
    record.amount = cents;
    record.SetPayableTo(payee);
    Manager().Create(record).reset();
  }
  /// Payments of 5.00 and deposits of 3.00 in March, one of amount 0, and records the
  /// checking ledger report must leave out: one in February and one in savings.
  void TypeMarch() {
    Type(checking, "2/28/24", "Too early", -999, groceries);
    Type(checking, "3/1/24", "Market", -350, groceries, "101");
    {
      TXHold pay = Type(checking, "3/2/24", "Bistro", -150, dining);
      pay->SetColumnText(TXItem::kColMemo, "lunch");
      pay->ToggleAccountCleared();
    }
    Type(checking, "3/3/24", "Refund", 300, groceries);
    Type(checking, "3/4/24", "Nothing", 0, groceries);
    Type(savings, "3/5/24", "Elsewhere", -700, groceries);
  }
};

TEST_F(LedgerReportTest, AccountLedgerTexts) {
  TypeMarch();
  const TAccountLedgerReport report(document, clock, Options(checking));
  const std::string expected =
      "No.\tDate\tDescription/Payable To (Memo)\tEnvelope\tX\tPayment\tDeposit\n"
      "101\t03/01/24\tMarket\tGroceries\t\t3.50\t0.00\n"
      "\t03/02/24\tBistro (lunch)\tDining\tx\t1.50\t0.00\n"
      "\t03/03/24\tRefund\tGroceries\t\t0.00\t3.00\n"
      "\t03/04/24\tNothing\tGroceries\t\t0.00\t0.00\n"
      "\n\t\t\tSubtotals\t\t 5.00 \t 3.00 \n"
      "\n\t\t\tTotal\t\t(2.00)\t\n";
  EXPECT_EQ(report.ExportText(), expected);
  EXPECT_EQ(report.ClipboardText(), expected);
  EXPECT_FALSE(report.MarksClipboard());
  EXPECT_EQ(report.GetTitle(), "Account Ledger Report");
  EXPECT_EQ(report.ExportTitle(), "Export Account Ledger File Name");
}

TEST_F(LedgerReportTest, RowsStillHeldByALedgerComeInLedgerOrder) {
  TypeMarch();
  // Rows a ledger still holds wait unsorted behind the others in the store.
  TXHold later = Type(checking, "3/7/24", "Later", -100, groceries);
  TXHold earlier = Type(checking, "3/2/24", "Earlier", 200, groceries);
  const TAccountLedgerReport report(document, clock, Options(checking));
  std::istringstream text(report.ExportText());
  std::vector<std::string> payees;
  std::string line;
  std::getline(text, line);  // the heading
  while (std::getline(text, line) && !line.empty()) {
    const size_t payee = line.find('\t', line.find('\t') + 1) + 1;
    payees.push_back(line.substr(payee, line.find('\t', payee) - payee));
  }
  // A deposit goes before the payments of its day.
  EXPECT_EQ(payees, (std::vector<std::string>{"Market", "Earlier", "Bistro (lunch)", "Refund",
                                              "Nothing", "Later"}));
}

TEST_F(LedgerReportTest, EnvelopeLedgerTextsAndOldFormat) {
  TypeMarch();
  TLedgerReportOptions options = Options(groceries);
  const std::string rows =
      "101\t03/01/24\tMarket\tGroceries\tChecking\t\t3.50\t0.00\n"
      "\t03/03/24\tRefund\tGroceries\tChecking\t\t0.00\t3.00\n"
      "\t03/04/24\tNothing\tGroceries\tChecking\t\t0.00\t0.00\n"
      "\t03/05/24\tElsewhere\tGroceries\tSavings\t\t7.00\t0.00\n";
  const std::string closing =
      "\n\t\t\t\tSubtotals\t\t 10.50 \t 3.00 \n"
      "\n\t\t\t\tTotal\t\t(7.50)\t\n";
  const std::string exported =
      "No.\tDate\tDescription/Payable To (Memo)\tEnvelope\tAccount\tX\tPayment\tDeposit\n" + rows +
      closing;
  options.oldFormat = true;
  const TEnvelopeLedgerReport report(document, clock, options);
  EXPECT_EQ(report.ExportText(), exported);
  EXPECT_TRUE(report.MarksClipboard());
  EXPECT_EQ(Section(report, 1, 1).table.widths,
            (std::vector<uint32_t>{15, 15, 50, 35, 35, 6, 20, 20}));
  EXPECT_EQ(Cell(report, 1, 1, 3).text, "Description/Payable To");
  EXPECT_EQ(Cell(report, 1, 7, 5).text, "Subtotals");
  EXPECT_EQ(Cell(report, 1, 9, 7).text, "(7.50)");
  EXPECT_EQ(report.ClipboardText(),
            "101\t03/01/24\tMarket\tGroceries\tChecking\t3.50\t0.00\r\n"
            "\t03/03/24\tRefund\tGroceries\tChecking\t0.00\t3.00\r\n"
            "\t03/04/24\tNothing\tGroceries\tChecking\t0.00\t0.00\r\n"
            "\t03/05/24\tElsewhere\tGroceries\tSavings\t7.00\t0.00\r\n" +
                closing);
  options.oldFormat = false;
  const TEnvelopeLedgerReport newFormat(document, clock, options);
  EXPECT_EQ(newFormat.ClipboardText(), exported);
  EXPECT_FALSE(newFormat.MarksClipboard());

  // The root gathers every envelope below it, in ledger order.
  const TEnvelopeLedgerReport all(document, clock, Options(Envelopes().Root().Id()));
  ASSERT_EQ(all.Count(), 5u);
  EXPECT_EQ(all.RowTexts(2)[3], "Dining");
  EXPECT_EQ(all.SubjectName(), Envelopes().Root().Name());
}

TEST_F(LedgerReportTest, DatesAndTheDialogsFilter) {
  TypeMarch();
  const TDateValue april1(1, 4, 2024), april30(30, 4, 2024);
  auto count = [&](TDateValue from, TDateValue to) {
    return TAccountLedgerReport(document, clock, Options(checking, from, to)).Count();
  };
  EXPECT_EQ(count(TDateValue(2, 3, 2024), TDateValue(3, 3, 2024)), 2u);
  EXPECT_EQ(count(TDateValue(), TDateValue()), 5u);  // no dates: any date
  EXPECT_EQ(TAccountLedgerReport(document, clock, Options(checking, april1, april30)).ExportText(),
            "No.\tDate\tDescription/Payable To (Memo)\tEnvelope\tX\tPayment\tDeposit\n"
            "\n\t\t\tSubtotals\t\t 0.00 \t 0.00 \n\n\t\t\tTotal\t\t 0.00 \t\n");

  // The dialog's own filter keeps its criteria and takes the target and the dates.
  TEditableFilter filter(TEditableFilter::kAccountLedgerReport, savings, Envelopes(), Accounts(),
                         clock);
  filter.ApplyUnreconciledDeposits(true);
  TLedgerReportOptions options = Options(checking);
  options.filter = &filter;
  const TAccountLedgerReport report(document, clock, options);
  EXPECT_EQ(filter.TargetId(), checking);
  EXPECT_TRUE(filter.IsDateRangeActive());
  ASSERT_EQ(report.Count(), 1u);
  EXPECT_EQ(report.RowTexts(1)[2], "Refund");
  EXPECT_EQ(report.NetTotal(), 300);
}

TEST_F(LedgerReportTest, PrintedPages) {
  struct Case {
    int transactions;
    int pages;
    int subtotalPage, subtotalRow;
    int totalPage, totalRow;
  };
  const Case cases[] = {{0, 1, 1, 3, 1, 5}, {40, 1, 1, 43, 1, 45}, {41, 2, 1, 44, 2, 2}};
  for (const Case& c : cases) {
    Manager().DeleteAll(TXAnyFilter());
    for (int i = 0; i < c.transactions; ++i)
      Type(checking, "3/" + std::to_string(1 + i % 28) + "/24", "Payee", -100, groceries);
    const TAccountLedgerReport report(document, clock, Options(checking));
    EXPECT_EQ(report.GetPageCount(), c.pages);
    EXPECT_EQ(Cell(report, c.subtotalPage, c.subtotalRow, 4).text, "Subtotals");
    EXPECT_EQ(Cell(report, c.totalPage, c.totalRow, 4).text, "Total");
    const TCellInfo net = Cell(report, c.totalPage, c.totalRow, 6);
    EXPECT_EQ(net.text, BracketedMoneyText(-100 * c.transactions));
    EXPECT_EQ(net.flags, TCellInfo::kRight);
  }

  const TAccountLedgerReport report(document, clock, Options(checking));
  const TCellInfo table = Section(report, 1, 1);
  EXPECT_EQ(table.kind, TCellInfo::kTable);
  EXPECT_EQ(table.flags, 6u);
  EXPECT_EQ(table.table.widths, (std::vector<uint32_t>{15, 15, 85, 35, 6, 20, 20}));
  EXPECT_EQ(table.table.rows, 45u);
  const TCellInfo header = Section(report, 1, 2);
  EXPECT_EQ(header.text, "Account Ledger: Checking");
  EXPECT_EQ(header.flags, 68u);
  EXPECT_EQ(Section(report, 2, 2).kind, TCellInfo::kNothing);
  EXPECT_EQ(Section(report, 2, 3).text, "Page 2, 03/15/2024");
  const TCellInfo heading = Cell(report, 2, 1, 3);
  EXPECT_EQ(heading.text, "Description/Payable To (Memo)");
  EXPECT_EQ(heading.flags, 100u);
  EXPECT_EQ(heading.background, 0xC4C4C4u);
  const TCellInfo date = Cell(report, 1, 2, 2);
  EXPECT_EQ(date.text, "03/01/24");
  EXPECT_EQ(date.flags, TCellInfo::kCentred);
}

TEST_F(LedgerReportTest, LongNamesAndExtremeAmounts) {
  // 31 characters with Windows-1252 letters and the euro sign; payee and memo of 89.
  const std::string envelopeName =
      "Caf\xE9 \x80 na\xEFve r\xE9sum\xE9 \xFC\xF1\xEE\xE7\xF8\xF0\xE9 abc";
  ASSERT_EQ(envelopeName.size(), 31u);
  const uint32_t cafe = AddEnvelope(envelopeName);
  const std::string payee(89, '\xE4');
  const std::string memo(89, 'm');
  {
    TXHold row = Type(checking, "3/1/24", payee, -100, cafe);
    row->SetColumnText(TXItem::kColMemo, memo);
  }
  const int32_t kMax = std::numeric_limits<int32_t>::max();
  for (int i = 0; i < 3; ++i)
    Store(checking, cafe, kMax, "Big");
  Store(checking, cafe, -kMax, "Big");

  TLedgerReportOptions options = Options(cafe);
  const TEnvelopeLedgerReport report(document, clock, options);
  const std::string text = report.ExportText();
  EXPECT_NE(text.find("\t" + payee + " (" + memo + ")\t" + envelopeName + "\tChecking\t"),
            std::string::npos);
  EXPECT_NE(text.find("\tBig\t" + envelopeName + "\tChecking\t\t21,474,836.47\t0.00\n"),
            std::string::npos);
  EXPECT_NE(text.find("Subtotals\t\t 21,474,837.47 \t 64,424,509.41 \n"), std::string::npos);
  EXPECT_NE(text.find("Total\t\t 42,949,671.94 \t\n"), std::string::npos);
  EXPECT_EQ(Section(report, 1, 2).text, "Envelope Ledger: " + envelopeName);
}

TEST_F(LedgerReportTest, AccountSummary) {
  Type(checking, "3/1/24", "Pay", 123456789, groceries).get()->ToggleAccountCleared();
  Type(savings, "3/1/24", "Loss", -250, groceries);
  const TAccountSummaryReport report(document, clock);
  // A new account goes before the accounts already at its level.
  const std::string lines = "Checking\t 1,234,567.89 \t 1,234,567.89 \nSavings\t(2.50)\t 0.00 \n";
  EXPECT_EQ(report.ClipboardText(), lines);
  EXPECT_EQ(report.ExportText(),
            "Checking\t 1,234,567.89 \t 1,234,567.89 \r\nSavings\t(2.50)\t 0.00 \r\n");
  EXPECT_EQ(report.GetPageCount(), 1);
  EXPECT_EQ(Section(report, 1, 1).table.widths, (std::vector<uint32_t>{50, 20, 20}));
  EXPECT_EQ(Section(report, 1, 1).table.rows, 40u);
  EXPECT_EQ(Cell(report, 1, 1, 3).text, "Cleared");
  EXPECT_EQ(Cell(report, 1, 3, 1).text, "Savings");
  EXPECT_EQ(Cell(report, 1, 4, 1).kind, 0u);
}

}  // namespace

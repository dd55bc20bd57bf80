#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "reports/account_ledger_report.h"
#include "reports/account_summary_report.h"
#include "reports/envelope_ledger_report.h"
#include "reports/report_options.h"
#include "reports/report_text.h"
#include "tests/transactions/budget_fixture.h"
#include "transactions/editable_filter.h"

namespace {

TEST(ReportTextTest, MoneyPagesAndLineEnds) {
  struct Case {
    int64_t cents;
    const char* plain;
    const char* bracketed;
  };
  const Case cases[] = {
      {0, "0.00", " 0.00 "},
      {5, "0.05", " 0.05 "},
      {-200, "-2.00", "(2.00)"},
      {123456789, "1,234,567.89", " 1,234,567.89 "},
      // Beyond 32 bits: a sum of two of the largest stored amounts.
      {-4294967294, "-42,949,672.94", "(42,949,672.94)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MoneyText(c.cents), c.plain);
    EXPECT_EQ(BracketedMoneyText(c.cents), c.bracketed);
  }
  EXPECT_EQ(PagesFor(0, 44), 1);
  EXPECT_EQ(PagesFor(44, 44), 1);
  EXPECT_EQ(PagesFor(45, 44), 2);
  EXPECT_EQ(WithCrLf("a\tb\n\nc"), "a\tb\r\n\r\nc");
  EXPECT_EQ(PageFooterText(3, TFixedClock(TDateValue(5, 3, 2024))), "Page 3, 03/05/2024");
  EXPECT_EQ(ShortDateText(TDateValue(9, 12, 1999)), "12/09/99");
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
    Manager().Release(Manager().Create(record));
  }
  /// Payments of 5.00 and deposits of 3.00 in March, one of amount 0, and records the
  /// checking ledger report must leave out: one in February and one in savings.
  void TypeMarch() {
    Type(checking, "2/28/24", "Too early", -999, groceries);
    Type(checking, "3/1/24", "Market", -350, groceries, "101");
    {
      TXHold pay = Type(checking, "3/2/24", "Bistro", -150, dining);
      pay->SetCellText(TXItem::kColMemo, "lunch");
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
  for (const bool oldFormat : {false, true}) {
    options.oldFormat = oldFormat;
    const TEnvelopeLedgerReport report(document, clock, options);
    EXPECT_EQ(report.ExportText(), exported);
    EXPECT_EQ(report.MarksClipboard(), oldFormat);
    if (!oldFormat) {
      EXPECT_EQ(report.ClipboardText(), exported);
      continue;
    }
    EXPECT_EQ(report.ClipboardText(),
              "101\t03/01/24\tMarket\tGroceries\tChecking\t3.50\t0.00\r\n"
              "\t03/03/24\tRefund\tGroceries\tChecking\t0.00\t3.00\r\n"
              "\t03/04/24\tNothing\tGroceries\tChecking\t0.00\t0.00\r\n"
              "\t03/05/24\tElsewhere\tGroceries\tSavings\t7.00\t0.00\r\n" +
                  closing);
  }
  // The root gathers every envelope below it, in ledger order.
  const TEnvelopeLedgerReport all(document, clock, Options(Envelopes().Root().Id()));
  ASSERT_EQ(all.Count(), 5u);
  EXPECT_EQ(all.RowTexts(2)[3], "Dining");
  EXPECT_EQ(all.SubjectName(), Envelopes().Root().Name());
}

TEST_F(LedgerReportTest, DatesAndTheDialogsFilter) {
  TypeMarch();
  struct Case {
    TDateValue from;
    TDateValue to;
    size_t count;
  };
  const Case cases[] = {
      {TDateValue(1, 3, 2024), TDateValue(31, 3, 2024), 4},
      {TDateValue(2, 3, 2024), TDateValue(3, 3, 2024), 2},
      {TDateValue(1, 4, 2024), TDateValue(30, 4, 2024), 0},
      {TDateValue(), TDateValue(), 5},  // no dates: any date
  };
  for (const Case& c : cases)
    EXPECT_EQ(TAccountLedgerReport(document, clock, Options(checking, c.from, c.to)).Count(),
              c.count);

  EXPECT_EQ(TAccountLedgerReport(document, clock,
                                 Options(checking, TDateValue(1, 4, 2024), TDateValue(30, 4, 2024)))
                .ExportText(),
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
    TCellInfo info;
    report.GetCell(c.subtotalPage, 1, c.subtotalRow, 4, info);
    EXPECT_EQ(info.text, "Subtotals") << c.transactions;
    info = {};
    report.GetCell(c.totalPage, 1, c.totalRow, 4, info);
    EXPECT_EQ(info.text, "Total") << c.transactions;
    info = {};
    report.GetCell(c.totalPage, 1, c.totalRow, 6, info);
    EXPECT_EQ(info.text, BracketedMoneyText(-100 * c.transactions));
    EXPECT_EQ(info.flags, TCellInfo::kRight);
  }

  // Sections and a transaction row of page 1.
  const TAccountLedgerReport report(document, clock, Options(checking));
  TCellInfo info;
  report.GetSection(1, 1, info);
  EXPECT_EQ(info.kind, TCellInfo::kTable);
  EXPECT_EQ(info.flags, 6u);
  EXPECT_EQ(info.table.widths, (std::vector<uint32_t>{15, 15, 85, 35, 6, 20, 20}));
  EXPECT_EQ(info.table.rows, 45u);
  info = {};
  report.GetSection(1, 2, info);
  EXPECT_EQ(info.text, "Account Ledger: Checking");
  EXPECT_EQ(info.flags, 68u);
  info = {};
  report.GetSection(2, 2, info);
  EXPECT_EQ(info.kind, TCellInfo::kNothing);
  info = {};
  report.GetSection(2, 3, info);
  EXPECT_EQ(info.text, "Page 2, 03/15/2024");
  info = {};
  report.GetCell(2, 1, 1, 3, info);
  EXPECT_EQ(info.text, "Description/Payable To (Memo)");
  EXPECT_EQ(info.flags, 100u);
  EXPECT_EQ(info.background, 0xC4C4C4u);
  info = {};
  report.GetCell(1, 1, 2, 2, info);
  EXPECT_EQ(info.text, "03/01/24");
  EXPECT_EQ(info.flags, TCellInfo::kCentred);
  EXPECT_EQ(report.GetPageFormat(2), 100u);
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
    row->SetCellText(TXItem::kColMemo, memo);
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
  TCellInfo info;
  report.GetSection(1, 2, info);
  EXPECT_EQ(info.text, "Envelope Ledger: " + envelopeName);
}

TEST_F(LedgerReportTest, AccountSummary) {
  Type(checking, "3/1/24", "Pay", 123456789, groceries).get()->ToggleAccountCleared();
  Type(savings, "3/1/24", "Loss", -250, groceries);
  const TAccountSummaryReport report(document, clock);
  // A new account goes before the accounts already at its level.
  const std::string lines = "Checking\t 1,234,567.89 \t 1,234,567.89 \nSavings\t(2.50)\t 0.00 \n";
  EXPECT_EQ(report.ClipboardText(), lines);
  EXPECT_EQ(report.ExportText(), WithCrLf(lines));
  EXPECT_EQ(report.GetPageCount(), 1);
  TCellInfo info;
  report.GetSection(1, 1, info);
  EXPECT_EQ(info.table.widths, (std::vector<uint32_t>{50, 20, 20}));
  EXPECT_EQ(info.table.rows, 40u);
  info = {};
  report.GetCell(1, 1, 1, 3, info);
  EXPECT_EQ(info.text, "Cleared");
  info = {};
  report.GetCell(1, 1, 3, 1, info);
  EXPECT_EQ(info.text, "Savings");
  info = {};
  report.GetCell(1, 1, 4, 1, info);
  EXPECT_EQ(info.kind, 0u);
}

}  // namespace

// The envelope summary, envelope activity and allocation-plan reports over small budgets typed
// the way a user types them: engine answers, page arithmetic and the export texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/document_file.h"
#include "planning/allocation_plan.h"
#include "reports/allocation_plan_report.h"
#include "reports/envelope_activity_report.h"
#include "reports/envelope_summary_report.h"
#include "tests/reports/report_cells.h"
#include "tests/support/result_check.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tree_nodes.h"
#include "tests/transactions/budget_fixture.h"

namespace {

using S = TEnvelopeSummarySize;

std::string Golden(const std::string& name) {
  std::ifstream file(std::string(QUENBROOK_GOLDEN_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(file) << name;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TCellInfo Cell(const CFWEngine& report, int page, int region, int row, int column) {
  TCellInfo info;
  report.GetCell(page, region, row, column, info);
  return info;
}

std::string Numbered(int n) {
  char name[8];
  std::snprintf(name, sizeof name, "E%03d", n);
  return name;
}

class SummaryReportTest : public BudgetTest {
 protected:
  // Under the root, after the fixture's four envelopes: the bundle Home with Power and an
  // envelope with a 31-character Windows-1252 name. Power and that envelope each hold the
  // largest balance an envelope stores (two deposits, as one entry stays below 20 million), so
  // Home and the root go beyond 32 bits.
  void TypeHomeBudget() {
    home = &AddNode<TBundle>(Envelopes(), Envelopes().Root(), "Home");
    power = Envelopes().AddEnvelope(*home, "Power", true)->Id();
    cafe = Envelopes().AddEnvelope(*home, kLongName, true)->Id();
    for (const auto& [account, envelope] : {std::pair{checking, power}, std::pair{savings, cafe}}) {
      Type(account, "3/2/2024", "Large", 1999999999, envelope);
      Type(account, "3/2/2024", "Rest", 147483648, envelope);
    }
    Type(checking, "3/3/2024", "Diner", -1234, dining);
  }

  // Envelopes E002 to E`count` under the root of a budget, so that item n is "E00n".
  void AddNumbered(int count) {
    for (int n = 2; n <= count; ++n)
      AddEnvelope(Numbered(n));
  }

  static constexpr const char* kLongName = "Caf\xE9 \x80 and \xBD-price \xE0 la carte 1";
  TBundle* home = nullptr;
  uint32_t power = 0;
  uint32_t cafe = 0;
};

TEST_F(SummaryReportTest, SummaryListsTheSubtreeInTreeOrder) {
  TypeHomeBudget();
  ASSERT_EQ(std::string(kLongName).size(), 31u);
  const TEnvelopeSummaryReport whole(document, clock, {0, S::Standard});
  EXPECT_EQ(whole.ExportText(), Golden("envelope_summary_home_budget.txt"));
  EXPECT_EQ(whole.ClipboardText(), whole.ExportText());

  // The bundle alone, indented by its depth on the sizes with a heading row only.
  const TEnvelopeSummaryReport standard(document, clock, {home->Id(), S::Standard});
  const TEnvelopeSummaryReport cards(document, clock, {home->Id(), S::BusinessCards});
  // The newer envelope comes first among its siblings.
  const std::vector<std::string> names = {"Home", kLongName, "Power"};
  for (int i = 0; i < 3; ++i) {
    const std::string indent(i == 0 ? 2 : 4, ' ');
    EXPECT_EQ(Cell(standard, 1, 1, i + 2, 1).text, indent + names[static_cast<size_t>(i)]);
    EXPECT_EQ(Cell(cards, 1, 1, i + 1, 1).text, names[static_cast<size_t>(i)]);
  }
  EXPECT_EQ(Cell(standard, 1, 1, 2, 2).text, " 42,949,672.94 ");
  EXPECT_EQ(Cell(standard, 1, 1, 2, 2).flags, 34u);
  const TCellInfo heading = Cell(standard, 2, 6, 1, 2);
  EXPECT_EQ(heading.text, "Balance");
  EXPECT_EQ(heading.background, 0xC4C4C4u);
}

TEST_F(SummaryReportTest, EverySizeAnswersItsRegions) {
  struct TRegion {
    int region;
    uint32_t kind;
    uint32_t flags = 0;
    uint32_t rows = 0;
  };
  struct TCase {
    S size;
    uint32_t format;
    std::vector<TRegion> regions;  // on page 2
  };
  const std::vector<TCase> cases = {
      {S::Standard, 161, {{1, 16, 6, 50}, {2, 64}, {3, 2, 2}, {4, 1}, {5, 1}, {6, 16, 6, 50}}},
      {S::BusinessCards, 4, {{1, 16, 0, 20}, {9, 16, 0, 20}, {10, 1}}},
      {S::BusinessCardsAvery, 155, {{1, 1}, {2, 16, 0, 20}, {19, 1}, {20, 16, 0, 20}, {21, 1}}},
      {S::Organizer375, 152, {{1, 1}, {2, 1}, {3, 16, 6, 35}, {5, 1}, {6, 16, 6, 35}}},
      {S::Organizer425, 154, {{1, 16, 6, 40}, {2, 1}}},
      {S::Organizer550, 163, {{1, 16, 6, 40}, {2, 1}}},
  };
  for (const TCase& c : cases) {
    const TEnvelopeSummaryReport report(document, clock, {0, c.size});
    EXPECT_EQ(report.GetPageFormat(2), c.format);
    for (const TRegion& r : c.regions) {
      const TCellInfo info = Section(report, 2, r.region);
      SCOPED_TRACE(testing::Message() << c.format << " region " << r.region);
      EXPECT_EQ(info.kind, r.kind);
      EXPECT_EQ(info.flags, r.flags);
      if (r.kind == 16) {
        EXPECT_EQ(info.table.widths, (std::vector<uint32_t>{80, 20}));
        EXPECT_EQ(info.table.rows, r.rows);
      }
    }
  }
  const TEnvelopeSummaryReport standard(document, clock, {0, S::Standard});
  EXPECT_EQ(Section(standard, 1, 2).text, "Envelope Summary Report");
  EXPECT_EQ(Section(standard, 1, 2).flags, 68u);
  EXPECT_EQ(Section(standard, 2, 3).text, "Page 2, 03/15/2024");
}

TEST_F(SummaryReportTest, SummaryPagesFillTablesInOrder) {
  struct TProbe {
    int page, region, row;
    int item;  // 0: empty
  };
  struct TCase {
    S size;
    int items;
    int pages;
    std::vector<TProbe> probes;
  };
  // In growing order: the budget only gains envelopes.
  // clang-format off
  const std::vector<TCase> cases = {
      {S::Organizer550, 39, 1, {{1, 1, 40, 39}, {1, 1, 2, 1}}},
      {S::Standard, 100, 2, {{1, 1, 2, 1}, {1, 1, 50, 49}, {1, 6, 2, 50}, {1, 6, 50, 98},
                             {2, 1, 2, 99}, {2, 1, 3, 100}, {2, 1, 4, 0}, {2, 6, 2, 0}}},
      {S::Organizer375, 100, 2, {{1, 6, 2, 35}, {2, 3, 2, 69}, {2, 3, 33, 100}, {2, 3, 34, 0}}},
      {S::Organizer425, 100, 3, {{3, 1, 2, 79}, {3, 1, 23, 100}, {3, 1, 24, 0}}},
      {S::BusinessCards, 200, 2, {{1, 1, 1, 1}, {1, 1, 20, 20}, {1, 2, 1, 21}, {1, 9, 20, 180},
                                  {2, 1, 1, 181}, {2, 1, 20, 200}, {2, 2, 1, 0}}},
      {S::BusinessCardsAvery, 200, 1, {{1, 2, 1, 1}, {1, 4, 1, 21}, {1, 20, 20, 200}}},
  };
  // clang-format on
  int made = 5;  // the root and the fixture's four envelopes
  for (const TCase& c : cases) {
    for (; made < c.items; ++made)
      AddEnvelope(Numbered(made + 1));
    const TEnvelopeSummaryReport report(document, clock, {0, c.size});
    ASSERT_EQ(report.Items().size(), static_cast<size_t>(c.items));
    EXPECT_EQ(report.GetPageCount(), c.pages);
    // Item n is the tree's own n-th node in display order.
    const std::vector<TTreeItem*> nodes = Envelopes().NodesInDisplayOrder(true);
    const bool heading = TEnvelopeSummaryReport::LayoutOf(c.size).heading;
    for (const TProbe& p : c.probes) {
      const std::string expected =
          p.item == 0   ? ""
          : p.item == 1 ? "Envelopes"
                        : (heading ? "  " : "") + nodes[static_cast<size_t>(p.item - 1)]->Name();
      const TCellInfo cell = Cell(report, p.page, p.region, p.row, 1);
      EXPECT_EQ(cell.text, expected) << report.GetPageFormat(1) << " page " << p.page << " region "
                                     << p.region << " row " << p.row;
    }
  }
}

TEST_F(SummaryReportTest, ActivityCountsTheRangeAndTheDayBefore) {
  Type(checking, "2/29/2024", "Before", 10000, groceries);
  Type(checking, "3/1/2024", "First day", 20000, groceries);
  Type(checking, "3/31/2024", "Last day", -3000, groceries);
  Type(checking, "4/1/2024", "After", -500, groceries);
  TXHold in = NewEnvelopeRow(groceries);
  in->SetColumnText(TXItem::kColDate, "3/10/2024");
  TypeAmount(*in, 5000);
  ASSERT_TRUE(TXTransfers::CreateEnvelopeTransfer(*in, dining));
  TXHold out = Type(checking, "3/12/2024", "To savings", -2000, groceries);
  ASSERT_TRUE(TransferTo(*out, savings));

  // As reading a file does, the root gets an identifier of its own; 0 still asks for the root.
  Envelopes().Root().SetId(Envelopes().NewId());
  const TEnvelopeActivityOptions all{0, TDateValue(1, 3, 2024), TDateValue(31, 3, 2024), 0xFF};
  const TEnvelopeActivityReport report(document, clock, all);
  EXPECT_EQ(report.ExportText(), Golden("envelope_activity_all_columns.txt"));
  EXPECT_EQ(report.ClipboardText(), report.ExportText());
  EXPECT_EQ(Section(report, 1, 2).text, "Envelope Activity Report from 03/01/2024 to 03/31/2024");
  EXPECT_EQ(Section(report, 2, 2).kind, 64u);
  EXPECT_EQ(Cell(report, 1, 1, 1, 9).text, "End");
  EXPECT_EQ(Cell(report, 1, 1, 1, 9).flags, 100u);
  EXPECT_EQ(Cell(report, 1, 1, 5, 1).text, "  Groceries");
  EXPECT_EQ(Cell(report, 1, 1, 5, 1).flags, 33u);
  EXPECT_EQ(Cell(report, 1, 1, 5, 9).text, " 320.00 ");
  EXPECT_EQ(Cell(report, 1, 1, 5, 9).flags, 34u);
}

TEST_F(SummaryReportTest, ActivityShowsTheTickedColumns) {
  Type(checking, "3/5/2024", "Pay", 12345, rent);
  struct TCase {
    uint32_t columns;
    std::vector<uint32_t> widths;
    std::string text;
  };
  const std::vector<TCase> cases = {
      {kActivityEnd, {90, 10}, "Envelope\tEnd\rRent\t 123.45 \r"},
      {kActivityTransOut | kActivityAllIn,
       {80, 10, 10},
       "Envelope\tX-Out\tAll-In\rRent\t 0.00 \t 123.45 \r"},
      {0, {100}, "Envelope\rRent\r"},
  };
  for (const TCase& c : cases) {
    const TEnvelopeActivityReport report(
        document, clock, {rent, TDateValue(1, 3, 2024), TDateValue(31, 3, 2024), c.columns});
    const TCellInfo table = Section(report, 1, 1);
    EXPECT_EQ(table.table.widths, c.widths) << c.columns;
    EXPECT_EQ(table.table.rows, 55u);
    EXPECT_EQ(report.ExportText(), c.text);
  }
}

TEST_F(SummaryReportTest, ActivityPagesHoldFiftyFourRows) {
  // Newer envelopes come first among their siblings: the root, E055 to E002, then the fixture's
  // four envelopes, Unallocated the last of 59 rows.
  AddNumbered(55);
  const TEnvelopeActivityReport report(document, clock, {0, {}, {}, kActivityEnd});
  ASSERT_EQ(report.Rows().size(), 59u);
  EXPECT_EQ(report.GetPageCount(), 2);
  EXPECT_EQ(Cell(report, 1, 1, 55, 1).text, "  E003");
  EXPECT_EQ(Cell(report, 2, 1, 2, 1).text, "  E002");
  EXPECT_EQ(Cell(report, 2, 1, 6, 1).text, "  Unallocated");
  EXPECT_EQ(Cell(report, 2, 1, 7, 1).kind, 0u);
}

class PlanReportTest : public SummaryReportTest {
 protected:
  // Slots: "Paycheck One" monthly and "Bonus" yearly.
  void SavePlan() {
    TAllocationPlan plan(document);
    plan.Load();
    plan.SetColumn(0, "Paycheck One", kPeriodMonthly);
    plan.SetColumn(1, "Bonus", kPeriodAnnual);
    for (size_t r = 0; r < plan.NamedRows(); ++r) {
      TAllocationPlanItem& row = plan.Row(r);
      if (row.Name() == "Groceries") {
        row.SetAmount(0, TAmount(40000));
        row.SetAmount(1, TAmount(120000));
      } else if (row.Name() == "Rent") {
        row.SetAmount(0, TAmount(1234567));
      }
    }
    plan.SetModified(true);
    plan.Save();
  }

  std::string SavedBytes() {
    const std::string path = (temp.Path() / "budget.vrl").string();
    EXPECT_TRUE(Succeeded(WriteDocumentFile(path, document)));
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }

  TTempFolder temp;
};

TEST_F(PlanReportTest, PlanExportsUsedSlotsAndLeavesTheDocumentAlone) {
  SavePlan();
  document.ClearModified();
  const std::string before = SavedBytes();
  const TAllocationPlanReport report(document, clock, {kPeriodMonthly});
  EXPECT_EQ(SavedBytes(), before);
  EXPECT_FALSE(document.IsModified());

  EXPECT_EQ(report.ExportText(), Golden("allocation_plan_monthly.txt"));
  std::string lineFeeds = report.ExportText();
  std::erase(lineFeeds, '\r');
  EXPECT_EQ(report.ClipboardText(), lineFeeds);

  EXPECT_EQ(report.GetPageCount(), 1);
  EXPECT_EQ(Section(report, 1, 2).text, "Allocation Plan - Monthly");
  EXPECT_EQ(Cell(report, 1, 1, 1, 3).text, "Paychec...");
  EXPECT_EQ(Cell(report, 1, 1, 1, 4).text, "Bonus");
  EXPECT_EQ(Cell(report, 1, 1, 1, 4).background, 0xDCDCDCu);
  // Lines in tree order: Rent, Dining, Groceries, Unallocated.
  EXPECT_EQ(Cell(report, 1, 1, 4, 1).text, "Groceries");
  EXPECT_EQ(Cell(report, 1, 1, 4, 2).text, "500.00");
  EXPECT_EQ(Cell(report, 1, 1, 4, 4).text, "100.00");
  EXPECT_EQ(Cell(report, 1, 1, 4, 5).kind, 0u);  // a free slot
  EXPECT_EQ(Cell(report, 1, 1, 50, 1).text, "Total");
  EXPECT_EQ(Cell(report, 1, 1, 50, 2).text, "12,845.67");
  EXPECT_EQ(Cell(report, 1, 1, 50, 3).text, "12,745.67");
  EXPECT_EQ(Cell(report, 1, 1, 50, 3).flags, 66u);
}

TEST_F(PlanReportTest, PlanPagesRepeatTheTotals) {
  AddNumbered(46);  // E046 to E002, then the fixture's four envelopes: 49 lines
  SavePlan();
  const TAllocationPlanReport report(document, clock, {kPeriodAnnual});
  EXPECT_EQ(report.GetPageCount(), 2);
  EXPECT_EQ(Cell(report, 2, 1, 2, 1).text, "Unallocated");
  EXPECT_EQ(Cell(report, 2, 1, 3, 1).kind, 0u);
  EXPECT_EQ(Cell(report, 2, 1, 50, 2).text, "154,148.04");
  EXPECT_EQ(Section(report, 2, 2).kind, 64u);
}

TEST(SummaryReportEmpty, EmptyBudgetsAndLostNodesGiveOnePage) {
  TRecordingUserPort user;
  TFixedClock clock{TDateValue(15, 3, 2024)};
  TModelEnvironment environment{user, clock};
  TVorlaData document{environment};
  const TEnvelopeSummaryReport summary(document, clock, {0, S::Standard});
  const TEnvelopeSummaryReport lost(document, clock, {999, S::BusinessCards});
  const TEnvelopeActivityReport activity(document, clock, {0, {}, {}, kActivityDefaultColumns});
  const TEnvelopeActivityReport lostActivity(document, clock, {999, {}, {}, kActivityEnd});
  const TAllocationPlanReport plan(document, clock, {kPeriodMonthly});
  struct TCase {
    const TFormData* report;
    std::string text;
  };
  const std::vector<TCase> cases = {
      {&summary, "Envelope\tBalance\rEnvelopes\t 0.00 \r"},
      {&lost, "Envelope\tBalance\r"},
      {&activity,
       "Envelope\tAlloc\tExpense\tAll-In\tAll-Out\tStart\tEnd\r"
       "Envelopes\t 0.00 \t 0.00 \t 0.00 \t 0.00 \t 0.00 \t 0.00 \r"},
      {&lostActivity, "Envelope\tEnd\r"},
      {&plan, "Envelope\tTotal\r\nTotal\t0.00\r\n"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(c.report->ExportText(), c.text);
    EXPECT_EQ(c.report->GetPageCount(), 1);
  }
}

}  // namespace

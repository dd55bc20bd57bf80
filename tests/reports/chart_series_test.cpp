// The series the charts draw, over small budgets typed the way a user types them: spending by
// envelope, balances over time, income against spending, and what each refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reports/balance_history.h"
#include "reports/envelope_ledger_report.h"
#include "reports/income_spending_chart.h"
#include "reports/report_options.h"
#include "reports/spending_chart.h"
#include "tests/support/tree_nodes.h"
#include "tests/transactions/budget_fixture.h"

namespace {

struct TRow {
  std::string name;
  std::vector<int64_t> values;
  friend bool operator==(const TRow&, const TRow&) = default;
};

// Row texts with the values of every series, for comparing a whole chart at once.
std::vector<TRow> Rows(const TChartSeries& series) {
  std::vector<TRow> rows;
  for (size_t row = 0; row < series.rows.size(); ++row) {
    rows.push_back({series.rows[row], {}});
    for (const TChartLine& line : series.lines)
      rows.back().values.push_back(line.values[row]);
  }
  return rows;
}

void PrintTo(const TRow& row, std::ostream* out) {
  *out << row.name;
  for (int64_t value : row.values)
    *out << " " << value;
}

class ChartSeriesTest : public BudgetTest {
 protected:
  // Under the root beside the fixture's envelopes: the bundle Home with Power, and the
  // association Favourites with aliases of Dining and Power. March holds allocations, payments, an
  // envelope transfer Power to Rent and an account transfer; February and April a payment each.
  void TypeBudget() {
    home = &AddNode<TBundle>(Envelopes(), Envelopes().Root(), "Home");
    power = Envelopes().AddEnvelope(*home, "Power", true)->Id();
    favourites = &AddNode<TAssociation>(Envelopes(), Envelopes().Root(), "Favourites");
    favourites->AddChild(Envelopes().Envelope(dining)->MakeAlias());
    favourites->AddChild(Envelopes().Envelope(power)->MakeAlias());
    Type(checking, "2/20/2024", "Early", -500, power);
    Type(checking, "3/1/2024", "Pay", 100000, groceries);
    Type(checking, "3/1/2024", "Pay", 50000, dining);
    Type(checking, "3/1/2024", "Pay", 50000, power);
    Type(checking, "3/5/2024", "Market", -4567, groceries);
    Type(checking, "3/6/2024", "Diner", -1234, dining);
    Type(checking, "3/7/2024", "Utility", -3000, power);
    TXHold entry = NewEnvelopeRow(power);
    entry->SetColumnText(TXItem::kColDate, "3/8/2024");
    entry->SetColumnText(TXItem::kColPayment, "20");
    EXPECT_TRUE(TXTransfers::CreateEnvelopeTransfer(*entry, rent));
    entry.reset();
    TXHold move = Type(checking, "3/9/2024", "Move", -10000);
    EXPECT_TRUE(TransferTo(*move, savings));
    move.reset();
    Type(savings, "4/2/2024", "Later", -700, groceries);
    ExpectSound();
  }

  TBundle* home = nullptr;
  TAssociation* favourites = nullptr;
  uint32_t power = 0;
};

TEST_F(ChartSeriesTest, SpendingCountsThePaymentsOfTheEnvelopesANodeShows) {
  TypeBudget();
  const TDateValue from(1, 3, 2024);
  const TDateValue to(31, 3, 2024);
  struct TCase {
    uint32_t node;
    std::vector<TRow> rows;
  } cases[] = {
      // The transfer to Rent and the account transfer are no spending, and the payments of
      // February and April lie outside the range. The aliases bring their envelopes, which
      // the whole tree counts once.
      {home->Id(), {{"Power", {3000}}}},
      {favourites->Id(), {{"Power", {3000}}, {"Dining", {1234}}}},
      {0, {{"Groceries", {4567}}, {"Power", {3000}}, {"Dining", {1234}}}},
      {power, {{"Power", {3000}}}},
      {rent, {}},
  };
  for (const TCase& c : cases) {
    const TResult<TChartSeries> series = SpendingByEnvelope(document, c.node, from, to);
    ASSERT_TRUE(series.Ok()) << series.Error();
    EXPECT_EQ(Rows(*series), c.rows) << "node " << c.node;
  }
}

TEST_F(ChartSeriesTest, SpendingGathersTheBarsBeyondTheTwelfthAsOther) {
  for (int n = 1; n <= 14; ++n)
    Type(checking, "3/3/2024", "Shop", -100 * n, AddEnvelope("E" + std::to_string(n)));
  const TResult<TChartSeries> series =
      SpendingByEnvelope(document, 0, TDateValue(1, 3, 2024), TDateValue(31, 3, 2024));
  ASSERT_TRUE(series.Ok());
  ASSERT_EQ(series->rows.size(), kSpendingBars + 1);
  EXPECT_EQ(Rows(*series).front(), (TRow{"E14", {1400}}));
  EXPECT_EQ(Rows(*series)[kSpendingBars - 1], (TRow{"E3", {300}}));
  EXPECT_EQ(Rows(*series).back(), (TRow{"Other", {300}}));
  EXPECT_EQ(series->rowIds.back(), 0u);
}

TEST_F(ChartSeriesTest, BalancesEndAtTodaysBalanceAndAgreeWithTheLedgerAtEveryPoint) {
  TypeBudget();
  for (const TChartStep step : {TChartStep::Month, TChartStep::Week, TChartStep::Day}) {
    for (const uint32_t node : {groceries, power, home->Id(), favourites->Id(), rent}) {
      const TResult<TChartSeries> series =
          EnvelopeBalances(document, {node}, TDateValue(1, 1, 2024), TDateValue(30, 4, 2024), step);
      ASSERT_TRUE(series.Ok()) << series.Error();
      const std::vector<int64_t>& points = series->lines.front().values;
      EXPECT_EQ(points.back(), Envelopes().FindNode(node)->Balance().Cents());
      for (size_t k = 0; k < points.size(); ++k) {
        // What the envelope's ledger holds up to the end of the point's period.
        const TEnvelopeLedgerReport ledger(
            document, clock,
            TLedgerReportOptions{node, TDateValue(1, 1, 1990), series->periods[k].to});
        EXPECT_EQ(points[k], ledger.NetTotal()) << "node " << node << " " << series->rows[k];
      }
    }
  }
}

TEST_F(ChartSeriesTest, AnAssociationShowingAnEnvelopeTwiceCountsItTwice) {
  TypeBudget();
  favourites->AddChild(Envelopes().Envelope(power)->MakeAlias());
  const TResult<TChartSeries> series =
      EnvelopeBalances(document, {favourites->Id()}, TDateValue(1, 2, 2024),
                       TDateValue(31, 3, 2024), TChartStep::Month);
  ASSERT_TRUE(series.Ok());
  // February: Power's -5.00 twice; March: Power's 445.00 twice and Dining's 487.66.
  EXPECT_EQ(series->lines.front().values, (std::vector<int64_t>{-1000, 44500 * 2 + 48766}));
  EXPECT_EQ(series->lines.front().values.back(), favourites->Balance().Cents());
}

TEST_F(ChartSeriesTest, AThresholdIsADashedLineWhereTheWatchdogIsOn) {
  TypeBudget();
  Envelopes().Envelope(groceries)->SetThreshold(125.5f);
  Envelopes().Envelope(rent)->SetThreshold(10.0f);
  Envelopes().Envelope(rent)->SetWatchdog(false);
  const TResult<TChartSeries> series =
      EnvelopeBalances(document, {groceries, rent, power}, TDateValue(1, 3, 2024),
                       TDateValue(31, 3, 2024), TChartStep::Month);
  ASSERT_TRUE(series.Ok());
  ASSERT_EQ(series->lines.size(), 4u);
  EXPECT_EQ(series->lines[3].name, "Groceries threshold");
  EXPECT_TRUE(series->lines[3].dashed);
  EXPECT_EQ(series->lines[3].values, std::vector<int64_t>{12550});
}

TEST_F(ChartSeriesTest, IncomeAndSpendingLeaveAccountTransfersOut) {
  TypeBudget();
  struct TCase {
    uint32_t node;
    std::vector<TRow> rows;
  } cases[] = {
      {0,
       {{"02/2024", {0, 500, -500}},
        {"03/2024", {200000, 8801, 191199}},
        {"04/2024", {0, 700, -700}}}},
      {savings, {{"02/2024", {0, 0, 0}}, {"03/2024", {0, 0, 0}}, {"04/2024", {0, 700, -700}}}},
  };
  for (const TCase& c : cases) {
    const TResult<TChartSeries> series =
        IncomeAndSpending(document, c.node, TDateValue(15, 2, 2024), TDateValue(10, 4, 2024));
    ASSERT_TRUE(series.Ok()) << series.Error();
    EXPECT_EQ(Rows(*series), c.rows) << "node " << c.node;
  }
}

TEST_F(ChartSeriesTest, AccountBalancesHaveALineEachAndATotalCountingEachAccountOnce) {
  TypeBudget();
  const TResult<TChartSeries> series =
      AccountBalances(document, {checking, savings, 0}, TDateValue(1, 2, 2024),
                      TDateValue(30, 4, 2024), TChartStep::Month);
  ASSERT_TRUE(series.Ok());
  const std::vector<TRow> expected = {
      {"02/29/2024", {-500, 0, -500, -500}},
      {"03/31/2024", {-500 + 191199 - 10000, 10000, 190699, 190699}},
      {"04/30/2024", {180699, 9300, 189999, 189999}},
  };
  EXPECT_EQ(Rows(*series), expected);
  EXPECT_EQ(series->lines.back().name, "Total");
}

TEST_F(ChartSeriesTest, ARangeWithoutTransactionsGivesNoBarsAndFlatLines) {
  TypeBudget();
  const TDateValue from(1, 6, 2023);
  const TDateValue to(31, 7, 2023);
  EXPECT_TRUE(SpendingByEnvelope(document, 0, from, to)->rows.empty());
  EXPECT_EQ(Rows(*IncomeAndSpending(document, 0, from, to)),
            (std::vector<TRow>{{"06/2023", {0, 0, 0}}, {"07/2023", {0, 0, 0}}}));
  // Before the first transaction every envelope and account held nothing.
  EXPECT_EQ(EnvelopeBalances(document, {0}, from, to, TChartStep::Month)->lines[0].values,
            (std::vector<int64_t>{0, 0}));
  EXPECT_EQ(AccountBalances(document, {0}, from, to, TChartStep::Month)->lines[1].values,
            (std::vector<int64_t>{0, 0}));
}

TEST_F(ChartSeriesTest, SumsOfTheLargestAmountsNeedSixtyFourBits) {
  // 21,474,836.47 in each account and each of two envelopes, in two entries each since one
  // entry stays below 20 million; and paid out again.
  for (const auto& [account, envelope] :
       {std::pair{checking, groceries}, std::pair{savings, rent}}) {
    Type(account, "3/2/2024", "Large", 1999999999, envelope);
    Type(account, "3/2/2024", "Rest", 147483648, envelope);
    Type(account, "3/3/2024", "Spend", -1999999999, envelope);
  }
  const TDateValue from(1, 3, 2024);
  const TDateValue to(31, 3, 2024);
  EXPECT_EQ(IncomeAndSpending(document, 0, from, to)->lines[0].values[0], 4294967294);
  EXPECT_EQ(SpendingByEnvelope(document, 0, from, to)->lines[0].values,
            (std::vector<int64_t>{1999999999, 1999999999}));
  EXPECT_EQ(EnvelopeBalances(document, {0}, TDateValue(2, 3, 2024), TDateValue(2, 3, 2024),
                             TChartStep::Day)
                ->lines[0]
                .values[0],
            4294967294);
}

TEST_F(ChartSeriesTest, WhatAChartCannotDrawIsRefusedWithAReason) {
  TypeBudget();
  const TDateValue from(1, 1, 2024);
  const TDateValue to(31, 3, 2024);
  const std::vector<uint32_t> nine(9, groceries);
  struct TCase {
    TResult<TChartSeries> result;
    std::string message;
  } cases[] = {
      {SpendingByEnvelope(document, 999, from, to), "the budget has no envelope or bundle 999"},
      {SpendingByEnvelope(document, 0, to, from), "the end of the range is before its start"},
      {EnvelopeBalances(document, {}, from, to, TChartStep::Day),
       "choose at least one envelope or bundle"},
      {EnvelopeBalances(document, nine, from, to, TChartStep::Day),
       "choose at most 8 envelopes or bundles"},
      {EnvelopeBalances(document, {groceries, 999}, from, to, TChartStep::Day),
       "the budget has no envelope or bundle 999"},
      {EnvelopeBalances(document, {0}, TDateValue(1, 1, 2000), to, TChartStep::Day),
       "the range holds more than 3660 points; choose a longer step or a shorter range"},
      {AccountBalances(document, {777}, from, to, TChartStep::Month),
       "the budget has no account or group 777"},
      {IncomeAndSpending(document, 777, from, to), "the budget has no account or group 777"},
      {IncomeAndSpending(document, 0, TDateValue(30, 2, 2024), to),
       "a chart's dates must be days of the calendar"},
  };
  for (const TCase& c : cases) {
    ASSERT_FALSE(c.result.Ok()) << c.message;
    EXPECT_EQ(c.result.Error(), c.message);
  }
}

TEST(ChartPeriodsTest, StepsEndAtTheirLastDayAndTheRangesEnd) {
  using D = TDateValue;
  struct TCase {
    TChartStep step;
    D from;
    D to;
    std::vector<TChartPeriod> periods;
  } cases[] = {
      {TChartStep::Month,
       D(15, 1, 2024),
       D(10, 3, 2024),
       {{D(15, 1, 2024), D(31, 1, 2024)},
        {D(1, 2, 2024), D(29, 2, 2024)},
        {D(1, 3, 2024), D(10, 3, 2024)}}},
      {TChartStep::Week,
       D(27, 2, 2024),
       D(12, 3, 2024),
       {{D(27, 2, 2024), D(4, 3, 2024)},
        {D(5, 3, 2024), D(11, 3, 2024)},
        {D(12, 3, 2024), D(12, 3, 2024)}}},
      {TChartStep::Day,
       D(31, 12, 2023),
       D(1, 1, 2024),
       {{D(31, 12, 2023), D(31, 12, 2023)}, {D(1, 1, 2024), D(1, 1, 2024)}}},
      {TChartStep::Month, D(5, 5, 2024), D(5, 5, 2024), {{D(5, 5, 2024), D(5, 5, 2024)}}},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(*ChartPeriods(c.from, c.to, c.step), c.periods);
}

TEST(ChartPeriodsTest, TheTextHasAHeadingAndOneLinePerRow) {
  TChartSeries series;
  series.rowHeading = "Month";
  series.rows = {"01/2024", "02/2024"};
  series.lines = {{"Income", 0, {123456, 0}}, {"Difference", 0, {-5, 4294967294}}};
  EXPECT_EQ(ChartSeriesText(series),
            "Month\tIncome\tDifference\n01/2024\t1,234.56\t-0.05\n02/2024\t0.00\t42,949,672.94\n");
}

}  // namespace

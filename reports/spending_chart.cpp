#include "reports/spending_chart.h"

#include <algorithm>
#include <set>

#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/vorla_data.h"
#include "reports/activity_filter.h"
#include "reports/envelope_activity_report.h"
#include "reports/envelope_subtree.h"
#include "transactions/xmanager.h"

TResult<TChartSeries> SpendingByEnvelope(const TVorlaData& document, uint32_t nodeId,
                                         TDateValue from, TDateValue to) {
  if (to < from)
    return TFailure{"the end of the range is before its start"};
  const TEnvelopeList& envelopes = document.Envelopes();
  const std::vector<TSubtreeNode> nodes = EnvelopeSubtree(envelopes, nodeId);
  if (nodes.empty())
    return TFailure{"the budget has no envelope or bundle " + std::to_string(nodeId)};

  // One activity row per envelope the node shows, in tree order; an alias's envelope counts
  // once however many aliases show it.
  std::vector<TEnvActivityTotals> totals;
  std::vector<const TEnv*> shown;
  std::set<uint32_t> seen;
  for (const TSubtreeNode& entry : nodes) {
    const TEnv* envelope = dynamic_cast<const TEnv*>(entry.node);
    if (const auto* alias = dynamic_cast<const TEnvelopeAlias*>(entry.node))
      envelope = alias->Target();
    if (envelope != nullptr && seen.insert(envelope->Id()).second) {
      shown.push_back(envelope);
      totals.push_back({envelope->Id()});
    }
  }
  if (!totals.empty()) {
    const TEnvActivityFilter filter(from, to, nodes.front().node->Id(), totals, envelopes);
    dynamic_cast<const TXManager&>(*document.Transactions()).Count(filter);
  }

  struct TBar {
    const TEnv* envelope;
    int64_t expense;
  };
  std::vector<TBar> bars;
  for (size_t i = 0; i < shown.size(); ++i) {
    const int64_t expense = TEnvelopeActivityReport::Value(totals[i], kActivityExpense).Cents();
    if (expense != 0)
      bars.push_back({shown[i], expense});
  }
  std::stable_sort(bars.begin(), bars.end(),
                   [](const TBar& a, const TBar& b) { return a.expense > b.expense; });

  TChartSeries series;
  series.title = "Spending by Envelope";
  series.rowHeading = "Envelope";
  TChartLine expenses;
  expenses.name = "Expense";
  int64_t other = 0;
  for (size_t i = 0; i < bars.size(); ++i) {
    if (i < kSpendingBars) {
      series.rows.push_back(bars[i].envelope->Name());
      series.rowIds.push_back(bars[i].envelope->Id());
      expenses.values.push_back(bars[i].expense);
    } else {
      other += bars[i].expense;
    }
  }
  if (bars.size() > kSpendingBars) {
    series.rows.push_back("Other");
    series.rowIds.push_back(0);
    expenses.values.push_back(other);
  }
  series.periods.assign(series.rows.size(), TChartPeriod{from, to});
  series.lines.push_back(std::move(expenses));
  return series;
}

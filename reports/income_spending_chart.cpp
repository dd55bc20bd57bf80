#include "reports/income_spending_chart.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "core/account_list.h"
#include "core/account_node.h"
#include "core/vorla_data.h"
#include "transactions/xmanager.h"

namespace {

void CollectAccounts(const TAccountNode& node, std::unordered_set<uint32_t>& ids) {
  if (dynamic_cast<const TAccount*>(&node) != nullptr)
    ids.insert(node.Id());
  for (const TTreeItem* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (const auto* below = dynamic_cast<const TAccountNode*>(child))
      CollectAccounts(*below, ids);
  }
}

std::string MonthText(TDateValue date) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u/%04u", date.Month(), date.Year());
  return text;
}

}  // namespace

TResult<TChartSeries> IncomeAndSpending(const TVorlaData& document, uint32_t accountNodeId,
                                        TDateValue from, TDateValue to) {
  TResult<std::vector<TChartPeriod>> periods = ChartPeriods(from, to, TChartStep::Month);
  if (!periods)
    return TFailure{periods.Error()};
  const TAccountNode* node = document.Accounts().FindNode(accountNodeId);
  if (node == nullptr)
    return TFailure{"the budget has no account or group " + std::to_string(accountNodeId)};
  std::unordered_set<uint32_t> accounts;
  CollectAccounts(*node, accounts);
  const bool everyAccount = node == &document.Accounts().Root();

  TChartSeries series;
  series.title = "Income and Spending by Month";
  series.rowHeading = "Month";
  series.periods = *periods;
  std::vector<uint32_t> ends;
  for (const TChartPeriod& period : *periods) {
    series.rows.push_back(MonthText(period.from));
    ends.push_back(period.to.Packed());
  }
  const size_t months = periods->size();
  TChartLine income{"Income", node->Id(), std::vector<int64_t>(months, 0), false, true};
  TChartLine spending{"Spending", node->Id(), std::vector<int64_t>(months, 0), false, true};

  const uint32_t first = from.Packed();
  const uint32_t last = to.Packed();
  if (const auto* manager = dynamic_cast<const TXManager*>(document.Transactions())) {
    const TXStore& store = manager->Store();
    for (uint32_t index = 1; index <= store.LastNonDead(); ++index) {
      const TXRecord& record = store.At(index);
      const uint32_t date = record.date.Packed();
      if (date < first || date > last || !record.IsLive() || !record.PostsToAccount() ||
          (record.Flags & kXTransfer) != 0 || record.amount == 0)
        continue;
      if (!everyAccount && accounts.count(record.AccountId) == 0)
        continue;
      const auto month =
          static_cast<size_t>(std::lower_bound(ends.begin(), ends.end(), date) - ends.begin());
      if (record.amount > 0)
        income.values[month] += record.amount;
      else
        spending.values[month] -= record.amount;
    }
  }
  TChartLine difference{"Difference", node->Id(), std::vector<int64_t>(months, 0), false, true};
  for (size_t month = 0; month < months; ++month)
    difference.values[month] = income.values[month] - spending.values[month];
  series.lines = {std::move(income), std::move(spending), std::move(difference)};
  return series;
}

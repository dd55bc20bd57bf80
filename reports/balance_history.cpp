#include "reports/balance_history.h"

#include <algorithm>
#include <unordered_map>

#include "core/account_list.h"
#include "core/account_node.h"
#include "core/amount.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/vorla_data.h"
#include "reports/report_text.h"
#include "transactions/xmanager.h"

namespace {

// How many times a line counts the postings of one account or envelope: an alias repeats its
// envelope inside a bundle, so a bundle holding both counts it twice, as its balance does.
struct TShare {
  size_t line;
  int64_t times;
};
using TShares = std::unordered_map<uint32_t, std::vector<TShare>>;

void AddShare(TShares& shares, uint32_t leafId, size_t line) {
  std::vector<TShare>& of = shares[leafId];
  if (!of.empty() && of.back().line == line)
    ++of.back().times;
  else
    of.push_back({line, 1});
}

void AddEnvelopeShares(const TEnvelopeNode& node, size_t line, TShares& shares) {
  if (const auto* envelope = dynamic_cast<const TEnv*>(&node)) {
    AddShare(shares, envelope->Id(), line);
    return;
  }
  if (const auto* alias = dynamic_cast<const TEnvelopeAlias*>(&node)) {
    if (alias->Target() != nullptr)
      AddShare(shares, alias->Target()->Id(), line);
    return;
  }
  // The root's balance leaves out the associations, which only repeat its envelopes.
  const bool root = dynamic_cast<const TEnvelopeRoot*>(&node) != nullptr;
  for (const TTreeItem* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (root && dynamic_cast<const TAssociation*>(child) != nullptr)
      continue;
    if (const auto* below = dynamic_cast<const TEnvelopeNode*>(child))
      AddEnvelopeShares(*below, line, shares);
  }
}

void AddAccountShares(const TAccountNode& node, size_t line, TShares& shares) {
  if (const auto* account = dynamic_cast<const TAccount*>(&node)) {
    AddShare(shares, account->Id(), line);
    return;
  }
  for (const TTreeItem* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (const auto* below = dynamic_cast<const TAccountNode*>(child))
      AddAccountShares(*below, line, shares);
  }
}

// Fills each line's points from its balance now (already in every value): one walk over the
// store sums the postings into the period after which they fall, and a point is the balance less
// the postings of every later period.
void WalkBack(const TVorlaData& document, bool accounts, const TShares& shares,
              const std::vector<TChartPeriod>& periods, std::vector<TChartLine>& lines) {
  const auto* manager = dynamic_cast<const TXManager*>(document.Transactions());
  if (manager == nullptr)
    return;
  std::vector<uint32_t> ends;
  for (const TChartPeriod& period : periods)
    ends.push_back(period.to.Packed());
  // later[line][k]: the postings dated after the end of period k - 1 and up to the end of k
  // (k = periods.size(): after the range).
  std::vector<std::vector<int64_t>> later(lines.size(),
                                          std::vector<int64_t>(periods.size() + 1, 0));
  const uint32_t firstEnd = ends.front();
  const TXStore& store = manager->Store();
  for (uint32_t index = 1; index <= store.LastNonDead(); ++index) {
    const TXRecord& record = store.At(index);
    // Every record in use counts in the balances, as the balance checks count them.
    if (record.Flags == 0 || record.date.Packed() <= firstEnd)
      continue;
    if (accounts ? !record.PostsToAccount() : !record.PostsToEnvelope())
      continue;
    const auto found = shares.find(accounts ? record.AccountId : record.EnvelopeId);
    if (found == shares.end())
      continue;
    const size_t period = static_cast<size_t>(
        std::lower_bound(ends.begin(), ends.end(), record.date.Packed()) - ends.begin());
    for (const TShare& share : found->second)
      later[share.line][period] += share.times * record.amount;
  }
  for (size_t line = 0; line < lines.size(); ++line) {
    int64_t after = 0;
    for (size_t k = periods.size(); k-- > 0;) {
      after += later[line][k + 1];
      lines[line].values[k] -= after;
    }
  }
}

TChartSeries DatedSeries(std::string title, const std::vector<TChartPeriod>& periods) {
  TChartSeries series;
  series.title = std::move(title);
  series.rowHeading = "Date";
  series.periods = periods;
  for (const TChartPeriod& period : periods)
    series.rows.push_back(FullDateText(period.to));
  return series;
}

TResult<std::vector<TChartPeriod>> CheckedPeriods(size_t nodes, const char* one, const char* many,
                                                  TDateValue from, TDateValue to, TChartStep step) {
  if (nodes == 0)
    return TFailure{std::string("choose at least one ") + one};
  if (nodes > kMaxBalanceLines)
    return TFailure{"choose at most " + std::to_string(kMaxBalanceLines) + " " + many};
  return ChartPeriods(from, to, step);
}

}  // namespace

TResult<TChartSeries> EnvelopeBalances(const TVorlaData& document,
                                       const std::vector<uint32_t>& nodeIds, TDateValue from,
                                       TDateValue to, TChartStep step) {
  TResult<std::vector<TChartPeriod>> periods =
      CheckedPeriods(nodeIds.size(), "envelope or bundle", "envelopes or bundles", from, to, step);
  if (!periods)
    return TFailure{periods.Error()};
  const TEnvelopeList& envelopes = document.Envelopes();
  TChartSeries series = DatedSeries("Envelope Balances over Time", *periods);
  std::vector<TChartLine> thresholds;
  TShares shares;
  for (const uint32_t id : nodeIds) {
    const TEnvelopeNode* node = envelopes.FindNode(id);
    if (node == nullptr && id == 0)
      node = &envelopes.Root();
    if (const auto* alias = dynamic_cast<const TEnvelopeAlias*>(node))
      node = alias->Target();
    if (node == nullptr)
      return TFailure{"the budget has no envelope or bundle " + std::to_string(id)};
    AddEnvelopeShares(*node, series.lines.size(), shares);
    series.lines.push_back(
        {node->Name(), node->Id(), std::vector<int64_t>(periods->size(), node->Balance().Cents())});
    float threshold = 0;
    if (const auto* envelope = dynamic_cast<const TEnv*>(node))
      threshold = envelope->Threshold();
    if (const auto* bundle = dynamic_cast<const TBundle*>(node))
      threshold = bundle->Threshold();
    if (node->Watchdog() && threshold != 0) {
      thresholds.push_back(
          {node->Name() + " threshold", node->Id(),
           std::vector<int64_t>(periods->size(), TAmount::FromUnits(threshold).Cents()), true});
    }
  }
  WalkBack(document, false, shares, *periods, series.lines);
  for (TChartLine& line : thresholds)
    series.lines.push_back(std::move(line));
  return series;
}

TResult<TChartSeries> AccountBalances(const TVorlaData& document,
                                      const std::vector<uint32_t>& nodeIds, TDateValue from,
                                      TDateValue to, TChartStep step) {
  TResult<std::vector<TChartPeriod>> periods =
      CheckedPeriods(nodeIds.size(), "account or group", "accounts or groups", from, to, step);
  if (!periods)
    return TFailure{periods.Error()};
  const TAccountList& accounts = document.Accounts();
  TChartSeries series = DatedSeries("Account Balances over Time", *periods);
  TShares shares;
  for (const uint32_t id : nodeIds) {
    const TAccountNode* node = accounts.FindNode(id);
    if (node == nullptr)
      return TFailure{"the budget has no account or group " + std::to_string(id)};
    AddAccountShares(*node, series.lines.size(), shares);
    series.lines.push_back({node->Name(), node->Id(),
                            std::vector<int64_t>(periods->size(), node->Balance().Cents()), false,
                            true});
  }
  // The total counts each account once, however many chosen nodes hold it.
  const size_t total = series.lines.size();
  int64_t now = 0;
  for (auto& [accountId, of] : shares) {
    of.push_back({total, 1});
    now += accounts.GetBalance(accountId);
  }
  series.lines.push_back({"Total", 0, std::vector<int64_t>(periods->size(), now), false, true});
  WalkBack(document, true, shares, *periods, series.lines);
  return series;
}

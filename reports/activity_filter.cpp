#include "reports/activity_filter.h"

#include <algorithm>

#include "transactions/envelope_tree.h"

TEnvActivityFilter::TEnvActivityFilter(TDateValue start, TDateValue end, uint32_t envelopeId,
                                       std::vector<TEnvActivityTotals>& rows,
                                       const TEnvelopeList& envelopes)
    : start_(start), end_(end), envelopeId_(envelopeId), rows_(rows), envelopes_(envelopes) {}

const std::vector<size_t>& TEnvActivityFilter::RowsCounting(uint32_t envelopeId) const {
  auto found = rowsCounting_.find(envelopeId);
  if (found != rowsCounting_.end())
    return found->second;
  std::vector<size_t> rows;
  const std::vector<uint32_t> ancestry = EnvelopeAndAncestorIds(envelopes_, envelopeId);
  auto isAtOrBelow = [&ancestry](uint32_t nodeId) {
    return std::find(ancestry.begin(), ancestry.end(), nodeId) != ancestry.end();
  };
  if (isAtOrBelow(envelopeId_)) {
    for (size_t row = 0; row < rows_.size(); ++row) {
      if (isAtOrBelow(rows_[row].envelopeId))
        rows.push_back(row);
    }
  }
  return rowsCounting_.emplace(envelopeId, std::move(rows)).first->second;
}

bool TEnvActivityFilter::Accepts(const TXRecord& record) const {
  const bool live = record.IsLive();
  const int64_t amount = record.amount;
  for (size_t index : RowsCounting(record.EnvelopeId)) {
    TEnvActivityTotals& row = rows_[index];
    if (record.date < start_) {
      if (live && !record.IsAccountTransfer())
        row.beforeStart += amount;
      continue;
    }
    if (record.date > end_)
      continue;
    // Any record with the transfer bit stays out of the allocations and expenses, also one of
    // a damaged file that has neither side bit and so is no proper transfer half.
    if (live && (record.Flags & kXTransfer) == 0 && !record.IsMultiple()) {
      if (amount > 0)
        row.deposits += amount;
      if (amount < 0)
        row.payments -= amount;
    } else if (live && record.IsEnvelopeTransfer()) {
      if (amount > 0)
        row.transfersIn += amount;
      if (amount < 0)
        row.transfersOut -= amount;
    }
  }
  return true;
}

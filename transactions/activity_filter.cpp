#include "transactions/activity_filter.h"

#include <algorithm>

#include "transactions/envelope_tree.h"

TEnvActivityFilter::TEnvActivityFilter(TDateValue start, TDateValue end, uint32_t envelopeId,
                                       std::vector<TEnvActivityTotals>& rows,
                                       const TEnvelopeList& envelopes)
    : start_(start), end_(end), envelopeId_(envelopeId), rows_(rows), envelopes_(envelopes) {}

const std::vector<uint32_t>& TEnvActivityFilter::AncestryOf(uint32_t envelopeId) const {
  auto found = ancestry_.find(envelopeId);
  if (found == ancestry_.end()) {
    found = ancestry_.emplace(envelopeId, EnvelopeAndAncestorIds(envelopes_, envelopeId)).first;
  }
  return found->second;
}

bool TEnvActivityFilter::Accepts(const TXRecord& record) const {
  const std::vector<uint32_t>& ancestry = AncestryOf(record.EnvelopeId);
  auto isAtOrBelow = [&ancestry](uint32_t nodeId) {
    return std::find(ancestry.begin(), ancestry.end(), nodeId) != ancestry.end();
  };
  if (!isAtOrBelow(envelopeId_))
    return true;

  const bool live = record.IsLive();
  const int64_t amount = record.amount;
  for (TEnvActivityTotals& row : rows_) {
    if (!isAtOrBelow(row.envelopeId))
      continue;
    if (record.date < start_) {
      if (live && !record.IsAccountTransfer())
        row.beforeStart += amount;
      continue;
    }
    if (record.date > end_)
      continue;
    if (live && !record.IsTransferHalf() && !record.IsMultiple()) {
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

#include "transactions/xfilter.h"

bool TAccountFilter::Accepts(const TXRecord& record) const {
  if ((record.Flags & kXAccountSide) == 0 || record.IsMultipleKid())
    return false;
  if (record.AccountId != accountId_)
    return false;
  return !reconcile_ || record.AccountCleared == 0 || record.AccountCleared == today_;
}

bool TEnvelopeFilter::Accepts(const TXRecord& record) const {
  return !record.IsAccountTransfer() && !record.IsMultiple() && record.EnvelopeId == envelopeId_;
}

bool TAccountTransferFilter::Accepts(const TXRecord& record) const {
  return record.IsAccountTransfer() && record.AccountId == accountId_;
}

bool TMultKidsFilter::Accepts(const TXRecord& record) const {
  return record.IsMultipleKid() && record.ParentId == multipleId_;
}

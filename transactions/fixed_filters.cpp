#include "transactions/fixed_filters.h"

bool TImportFindFilter::Accepts(const TXRecord& record) const {
  if ((record.Flags & kXAccountSide) == 0 || !record.IsLive() || record.IsMultipleKid()) {
    return false;
  }
  if (record.AccountId != accountId_)
    return false;
  return record.AccountCleared == 0 || record.AccountCleared >= date_.Packed();
}

bool TEnvelopeNoTransferFilter::Accepts(const TXRecord& record) const {
  return record.IsEnvelopeEntry() && record.amount != 0;
}

#pragma once

#include <cstdint>

#include "core/date_value.h"
#include "transactions/xfilter.h"

/// The candidates an imported statement line may match in one account: live account-side
/// records that are not parts of a multiple and that are either not cleared or were confirmed
/// on or after the given date. A pending mark (1) lies before every real date, so a record
/// cleared by hand but not yet confirmed is no candidate.
class TImportFindFilter final : public TXFilter {
 public:
  TImportFindFilter(uint32_t accountId, TDateValue date) : accountId_(accountId), date_(date) {}
  bool Accepts(const TXRecord& record) const override;

 private:
  uint32_t accountId_;
  TDateValue date_;
};

/// Envelope-only entries that carry money but are not yet transfers: the amounts typed into an
/// envelope ledger that still wait to become the half of an envelope transfer.
class TEnvelopeNoTransferFilter final : public TXFilter {
 public:
  bool Accepts(const TXRecord& record) const override;
};

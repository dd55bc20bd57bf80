#pragma once

#include <cstdint>

#include "core/date_value.h"
#include "transactions/xrecord.h"

/// A question asked of each stored transaction record during a walk over the store: does this
/// record belong? A filter judges the stored record, never a held item's working copy, and is
/// owned by whoever made it.
class TXFilter {
 public:
  virtual ~TXFilter() = default;
  /// True when the record belongs to the walk.
  virtual bool Accepts(const TXRecord& record) const = 0;
};

/// The account-side records of one account that are not parts of a multiple (payments,
/// deposits, account transfer halves, multiples). In reconcile mode only those not cleared or
/// confirmed today; a pending mark (1) is neither.
class TAccountFilter final : public TXFilter {
 public:
  explicit TAccountFilter(uint32_t accountId, bool reconcile = false, TDateValue today = {})
      : accountId_(accountId), reconcile_(reconcile), today_(today.Packed()) {}
  bool Accepts(const TXRecord& record) const override;

 private:
  uint32_t accountId_;
  bool reconcile_;
  uint32_t today_;
};

/// The records that carry an envelope: everything with that envelope but account transfer
/// halves and multiples (so the parts of a multiple, never the multiple itself).
class TEnvelopeFilter final : public TXFilter {
 public:
  explicit TEnvelopeFilter(uint32_t envelopeId) : envelopeId_(envelopeId) {}
  bool Accepts(const TXRecord& record) const override;

 private:
  uint32_t envelopeId_;
};

/// The account transfer halves of one account.
class TAccountTransferFilter final : public TXFilter {
 public:
  explicit TAccountTransferFilter(uint32_t accountId) : accountId_(accountId) {}
  bool Accepts(const TXRecord& record) const override;

 private:
  uint32_t accountId_;
};

/// The parts of one multiple.
class TMultKidsFilter final : public TXFilter {
 public:
  explicit TMultKidsFilter(uint32_t multipleId) : multipleId_(multipleId) {}
  bool Accepts(const TXRecord& record) const override;

 private:
  uint32_t multipleId_;
};

/// Another filter narrowed to live records (the other filter is not owned).
class TXBlankFilter final : public TXFilter {
 public:
  explicit TXBlankFilter(const TXFilter& other) : other_(other) {}
  bool Accepts(const TXRecord& record) const override {
    return record.IsLive() && other_.Accepts(record);
  }

 private:
  const TXFilter& other_;
};

/// Every record; for walks that look at the whole store.
class TXAnyFilter final : public TXFilter {
 public:
  bool Accepts(const TXRecord&) const override { return true; }
};

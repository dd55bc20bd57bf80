#pragma once

#include <cstdint>
#include <string_view>

#include "core/date_value.h"
#include "transactions/xrecord.h"

/// A transaction record written by hand the way the store holds one of each kind, for the
/// filter tests: live unless made blank, dated 10 March 2024 unless told otherwise.
class TRecordBuilder {
 public:
  explicit TRecordBuilder(uint32_t flags) {
    record_.Flags = flags | kXLive;
    record_.date = TDateValue(10, 3, 2024);
  }

  TRecordBuilder& Account(uint32_t id) {
    record_.AccountId = id;
    return *this;
  }
  TRecordBuilder& Envelope(uint32_t id) {
    record_.EnvelopeId = id;
    return *this;
  }
  TRecordBuilder& Amount(int32_t cents) {
    record_.amount = cents;
    return *this;
  }
  TRecordBuilder& Date(TDateValue date) {
    record_.date = date;
    return *this;
  }
  TRecordBuilder& Code(std::string_view code) {
    record_.SetCode(code);
    return *this;
  }
  TRecordBuilder& Payee(std::string_view payee) {
    record_.SetPayableTo(payee);
    return *this;
  }
  TRecordBuilder& Memo(std::string_view memo) {
    record_.SetMemo(memo);
    return *this;
  }
  TRecordBuilder& AccountCleared(uint32_t mark) {
    record_.AccountCleared = mark;
    return *this;
  }
  TRecordBuilder& EnvelopeCleared(uint32_t mark) {
    record_.EnvelopeCleared = mark;
    return *this;
  }
  TRecordBuilder& NewImport() {
    record_.NewImport = 1;
    return *this;
  }
  TRecordBuilder& Parent(uint32_t id) {
    record_.ParentId = id;
    return *this;
  }
  /// An empty row: the record is kept but no longer holds a transaction.
  TRecordBuilder& Blank() {
    record_.Flags &= ~uint32_t{kXLive};
    return *this;
  }

  operator TXRecord() const { return record_; }
  TXRecord Build() const { return record_; }

 private:
  TXRecord record_;
};

inline TRecordBuilder Payment(uint32_t account, uint32_t envelope, int32_t cents) {
  return TRecordBuilder(kXNewPayment).Account(account).Envelope(envelope).Amount(cents);
}
inline TRecordBuilder EnvelopeEntry(uint32_t envelope, int32_t cents) {
  return TRecordBuilder(kXNewEnvelopeEntry).Envelope(envelope).Amount(cents);
}
inline TRecordBuilder AccountTransferHalf(uint32_t account, int32_t cents) {
  return TRecordBuilder(kXNewAccountTransfer).Account(account).Amount(cents);
}
inline TRecordBuilder EnvelopeTransferHalf(uint32_t envelope, int32_t cents) {
  return TRecordBuilder(kXNewEnvelopeTransfer).Envelope(envelope).Amount(cents);
}
inline TRecordBuilder MultipleParent(uint32_t account, int32_t cents) {
  return TRecordBuilder(kXNewMultiple).Account(account).Amount(cents);
}
inline TRecordBuilder MultiplePart(uint32_t account, uint32_t envelope, int32_t cents) {
  return TRecordBuilder(kXNewMultipleKid).Account(account).Envelope(envelope).Amount(cents);
}

/// The packed form of a confirmation date, as a cleared field holds it.
inline uint32_t ConfirmedOn(unsigned day, unsigned month, unsigned year) {
  return TDateValue(day, month, year).Packed();
}

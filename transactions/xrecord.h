#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/date_value.h"

/// Kind and state bits of a transaction record.
enum TXFlag : uint32_t {
  kXLive = 0x001,            ///< the record holds a transaction
  kXHidden = 0x002,          ///< being deleted; iteration skips it
  kXUnsorted = 0x004,        ///< its place in the store must be recomputed
  kXAccountSide = 0x008,     ///< has an account side
  kXEnvelopeOnly = 0x010,    ///< has no account side
  kXMultiplePart = 0x020,    ///< belongs to a multiple (the multiple and its parts)
  kXMultipleParent = 0x040,  ///< is a multiple
  kXMultipleKid = 0x080,     ///< is one part of a multiple
  kXTransfer = 0x100,        ///< is one half of a transfer
  kXInert = 0x200,           ///< shown empty and refuses every edit; honoured, never set
};

/// Masks that tell the kinds apart (a mask matches when all its bits are set), and the flags a
/// kind gets when it is made.
inline constexpr uint32_t kXAccountTransferMask = kXTransfer | kXAccountSide;    // 0x108
inline constexpr uint32_t kXEnvelopeTransferMask = kXTransfer | kXEnvelopeOnly;  // 0x110
inline constexpr uint32_t kXMultipleMask = kXMultipleParent | kXMultiplePart | kXAccountSide;
inline constexpr uint32_t kXMultipleKidMask = kXMultipleKid | kXMultiplePart | kXAccountSide;
inline constexpr uint32_t kXNewPayment = kXAccountSide | kXUnsorted;                    // 0x00C
inline constexpr uint32_t kXNewEnvelopeEntry = kXEnvelopeOnly | kXUnsorted;             // 0x014
inline constexpr uint32_t kXNewAccountTransfer = kXAccountTransferMask | kXUnsorted;    // 0x10C
inline constexpr uint32_t kXNewEnvelopeTransfer = kXEnvelopeTransferMask | kXUnsorted;  // 0x114
inline constexpr uint32_t kXNewMultiple = kXMultipleMask | kXUnsorted;                  // 0x06C
inline constexpr uint32_t kXNewMultipleKid = kXMultipleKidMask | kXUnsorted;            // 0x0AC
/// A payment or deposit written by the starting-balance step and by import.
inline constexpr uint32_t kXImported = kXLive | kXAccountSide;  // 0x009

/// One transaction exactly as it lies in the store and in the budget file: 256 bytes,
/// little-endian, every byte accounted for. Text fields are zero-terminated 8-bit text.
struct TXRecord {
  static constexpr size_t kCodeSize = 20;
  static constexpr size_t kTextSize = 90;

  uint32_t Id = 0;
  uint32_t Flags = 0;
  uint32_t AccountId = 0;
  uint32_t EnvelopeId = 0;
  uint32_t ParentId = 0;
  uint32_t PartnerId = 0;
  uint32_t reserved1 = 0;
  TDateValue date;
  TDateValue created;
  uint32_t AccountCleared = 0;   ///< 0 not cleared, 1 pending, else the packed confirmation date
  uint32_t EnvelopeCleared = 0;  ///< the same for the envelope side
  uint16_t NewImport = 0;
  uint16_t reserved2 = 0;
  uint32_t reserved3 = 0;
  int32_t amount = 0;  ///< cents; negative is money out
  char Code[kCodeSize] = {};
  char PayableTo[kTextSize] = {};
  char Memo[kTextSize] = {};

  bool Has(uint32_t mask) const { return (Flags & mask) == mask; }
  bool IsLive() const { return (Flags & kXLive) != 0; }
  bool IsDead() const { return Flags == 0; }
  bool IsAccountTransfer() const { return Has(kXAccountTransferMask); }
  bool IsEnvelopeTransfer() const { return Has(kXEnvelopeTransferMask); }
  bool IsTransferHalf() const { return IsAccountTransfer() || IsEnvelopeTransfer(); }
  bool IsMultiple() const { return Has(kXMultipleMask); }
  bool IsMultipleKid() const { return Has(kXMultipleKidMask); }
  /// An entry made in an envelope ledger that is not (yet) a transfer; it posts nowhere.
  bool IsEnvelopeEntry() const { return (Flags & kXEnvelopeOnly) != 0 && !(Flags & kXTransfer); }
  /// A payment or deposit: an account side and none of the other kinds.
  bool IsPayment() const {
    return (Flags & kXAccountSide) != 0 && !IsAccountTransfer() && !IsMultiple() &&
           !IsMultipleKid();
  }
  bool IsInert() const { return (Flags & kXInert) != 0; }

  /// Where a change of amount goes (the posting rule): an account-side record that is not a
  /// part moves its account itself; a part moves it through its multiple; and every record but
  /// an account transfer half, a multiple and an envelope entry that is not a transfer moves its
  /// envelope.
  bool PostsToAccount() const { return (Flags & kXAccountSide) != 0 && !IsMultipleKid(); }
  bool PostsThroughMultiple() const { return (Flags & kXAccountSide) != 0 && IsMultipleKid(); }
  bool PostsToEnvelope() const {
    return !IsAccountTransfer() && !IsMultiple() && !IsEnvelopeEntry();
  }

  std::string_view GetCode() const { return Field(Code, kCodeSize); }
  std::string_view GetPayableTo() const { return Field(PayableTo, kTextSize); }
  std::string_view GetMemo() const { return Field(Memo, kTextSize); }
  /// Stores text cut to the field (19 or 89 characters) with its terminator.
  void SetCode(std::string_view text) { Store(Code, kCodeSize, text); }
  void SetPayableTo(std::string_view text) { Store(PayableTo, kTextSize, text); }
  void SetMemo(std::string_view text) { Store(Memo, kTextSize, text); }

 private:
  // A field read from a file may lack its terminator; never read past the field.
  static std::string_view Field(const char* field, size_t size) {
    return std::string_view(field, strnlen(field, size));
  }
  static void Store(char* field, size_t size, std::string_view text) {
    size_t length = text.size() < size - 1 ? text.size() : size - 1;
    std::memset(field, 0, size);
    if (length != 0)
      std::memcpy(field, text.data(), length);
  }
};

static_assert(sizeof(TDateValue) == 4, "a date is four bytes inside a record");
static_assert(sizeof(TXRecord) == 256, "a transaction record is exactly 256 bytes");
static_assert(offsetof(TXRecord, date) == 28 && offsetof(TXRecord, created) == 32);
static_assert(offsetof(TXRecord, AccountCleared) == 36 && offsetof(TXRecord, NewImport) == 44);
static_assert(offsetof(TXRecord, amount) == 52 && offsetof(TXRecord, Code) == 56);
static_assert(offsetof(TXRecord, PayableTo) == 76 && offsetof(TXRecord, Memo) == 166);

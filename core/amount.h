#pragma once

#include <compare>
#include <cstdint>
#include <string>

/// An amount of money as a signed 64-bit count of cents. Arithmetic wraps like the machine's
/// 64-bit integers and never leaves the type undefined; the amount has no currency of its own.
class TAmount {
 public:
  /// Format flags; they combine.
  enum : unsigned {
    kParentheses = 1,  ///< negative as "(1.00)", others as " 1.00 "
    kNoSign = 2,       ///< the absolute value; wins over kParentheses
    kThousands = 4,    ///< "," between groups of three integer digits
    kZeroEmpty = 8,    ///< an amount of 0 gives the empty text
  };

  /// Units beyond this size (either sign) are taken as 0 by FromUnits.
  static constexpr double kUnitLimit = 1e14;

  constexpr TAmount() = default;
  /// Cents as stored in records and balances.
  explicit constexpr TAmount(int32_t cents) : cents_(cents) {}
  TAmount(int64_t) = delete;  // use FromCents, so that a narrowing never passes unseen
  TAmount(double) = delete;   // use FromUnits, which rounds by the money rule

  static constexpr TAmount FromCents(int64_t cents) {
    TAmount amount;
    amount.cents_ = cents;
    return amount;
  }
  /// Currency units to cents: a half cent goes away from zero, and NaN or a size beyond
  /// kUnitLimit gives 0.
  static TAmount FromUnits(double units);

  constexpr int64_t Cents() const { return cents_; }
  /// The low 32 bits, as a stored amount holds them.
  constexpr int32_t StoredCents() const {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(cents_)));
  }
  /// The amount in currency units.
  constexpr double Units() const { return static_cast<double>(cents_) / 100.0; }

  /// The text form: at least "0.05", with the flags above.
  std::string Format(unsigned flags) const;

  constexpr TAmount operator-() const { return FromCents(Wrap(0u - Bits(cents_))); }
  constexpr TAmount& operator+=(TAmount other) {
    cents_ = Wrap(Bits(cents_) + Bits(other.cents_));
    return *this;
  }
  constexpr TAmount& operator-=(TAmount other) {
    cents_ = Wrap(Bits(cents_) - Bits(other.cents_));
    return *this;
  }
  friend constexpr TAmount operator+(TAmount a, TAmount b) { return a += b; }
  friend constexpr TAmount operator-(TAmount a, TAmount b) { return a -= b; }
  friend constexpr bool operator==(TAmount a, TAmount b) = default;
  friend constexpr std::strong_ordering operator<=>(TAmount a, TAmount b) = default;

 private:
  static constexpr uint64_t Bits(int64_t value) { return static_cast<uint64_t>(value); }
  static constexpr int64_t Wrap(uint64_t bits) { return static_cast<int64_t>(bits); }

  int64_t cents_ = 0;
};

/// Two's-complement arithmetic on stored 32-bit amounts, as TAmount's on 64 bits: a stored
/// amount wraps like the machine's 32-bit integers instead of leaving the type undefined.
inline int32_t AddCents(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t NegateCents(int32_t a) {
  return static_cast<int32_t>(0u - static_cast<uint32_t>(a));
}

/// Cents for a typed amount that is stored in 32 bits (ledger entries, filter bounds, wizards): a
/// half cent goes away from zero, and 20000000 units or more in size (or NaN) gives 0.
int32_t CentsFromEntry(double units);

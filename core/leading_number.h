#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

/// How a text that starts with a number is read: which blanks may come first, whether a sign
/// counts and where a long run of digits stops growing. Check numbers, codes and count fields
/// each choose the rules their feature needs.
struct TLeadingNumberRules {
  /// The characters skipped before the number.
  std::string_view blanks = " ";
  /// A "+" or "-" right before the digits belongs to the number; otherwise it ends the text.
  bool sign = true;
  /// Magnitudes above this are held at it, so that no run of digits can wrap.
  uint64_t ceiling = std::numeric_limits<uint64_t>::max();
};

/// The number a text begins with: "12abc" is 12, "DEBIT" is 0, "-5" is 5 and negative when the
/// rules take a sign (else 0).
struct TLeadingNumber {
  uint64_t magnitude = 0;
  bool negative = false;

  /// The signed value, the magnitude held at the largest 64-bit signed number.
  int64_t Signed() const;
};

/// Reads the leading number of `text` by `rules`; 0 when the text has none.
TLeadingNumber ReadLeadingNumber(std::string_view text, const TLeadingNumberRules& rules = {});

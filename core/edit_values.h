#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/amount.h"
#include "core/date_value.h"

class TClock;

/// What an amount field holds after it loses the focus.
struct TEditFloatResult {
  TAmount amount;
  int error = 0;     ///< a TAmountParseError; the amount is 0 when it is not kAmountParseOk
  std::string text;  ///< what the field shows now
};

/// The value logic of an amount field: its text is an amount expression, its value that
/// expression rounded to cents, and it shows the value back with thousands separators. Text that
/// does not evaluate is the amount 0.
struct TEditFloat {
  /// The field reads no more of its text than this.
  static constexpr size_t kTextLimit = 126;

  TEditFloatResult Commit(std::string_view text) const;
  /// The amount the field gives its dialog's transfer buffer.
  TAmount Transfer(std::string_view text) const;
  /// The text for an amount the dialog puts into the field.
  std::string Show(TAmount amount) const;

  /// The single-precision units of the older buffer form, for dialogs that still exchange them;
  /// exact only for amounts that a 32-bit floating number holds.
  static float UnitsForTransfer(TAmount amount);
  /// Cents for single-precision units, rounded by the money rule.
  static TAmount FromTransferUnits(float units);
};

/// What a date field holds after it loses the focus.
struct TEditDateResult {
  TDateValue date;   ///< valid, or the empty date
  std::string text;  ///< what the field shows now
};

/// The value logic of a date field: its text is "month/day[/year]" with the current year as the
/// default, and it shows the date back with a two-digit year. Text that is not a date gives the
/// empty date, shown as " / /".
struct TEditDate {
  /// The field reads no more of its text than this when it loses the focus...
  static constexpr size_t kFocusTextLimit = 126;
  /// ...and no more than this when it fills its dialog's transfer buffer.
  static constexpr size_t kTransferTextLimit = 22;

  TEditDateResult Commit(std::string_view text, const TClock& clock) const;
  TDateValue Transfer(std::string_view text, const TClock& clock) const;
  std::string Show(TDateValue date) const;
};

/// What a count field holds after it loses the focus.
struct TEditUnsignedResult {
  uint32_t value = 0;
  bool beep = false;  ///< the typed value was out of range and replaced by the nearer bound
  std::string text;   ///< what the field shows now
};

/// The value logic of a count field: a decimal number that, when the field has a range (a
/// maximum other than 0), is kept within [minimum, maximum]. Text that is not a number is 0, a
/// negative number is below every range, and one beyond 32 bits is 4294967295.
struct TEditUnsigned {
  size_t textLimit = 0;  ///< characters the field holds; 0 for no limit
  uint32_t minimum = 0;
  uint32_t maximum = 0;  ///< 0 for no range

  TEditUnsignedResult Commit(std::string_view text) const;
  /// The value the field gives its dialog's transfer buffer (kept in range, without a beep).
  uint32_t Transfer(std::string_view text) const;
  std::string Show(uint32_t value) const;
};

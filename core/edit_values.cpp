#include "core/edit_values.h"

#include <limits>

#include "core/amount_expression.h"
#include "core/clock.h"
#include "core/leading_number.h"

namespace {

std::string_view Limited(std::string_view text, size_t limit) {
  return limit != 0 && text.size() > limit ? text.substr(0, limit) : text;
}

}  // namespace

TEditFloatResult TEditFloat::Commit(std::string_view text) const {
  TAmountParseResult parsed = EvaluateAmountExpression(Limited(text, kTextLimit));
  TEditFloatResult result;
  result.amount = TAmount::FromUnits(parsed.value);
  result.error = parsed.error;
  result.text = Show(result.amount);
  return result;
}

TAmount TEditFloat::Transfer(std::string_view text) const {
  return Commit(text).amount;
}

std::string TEditFloat::Show(TAmount amount) const {
  return amount.Format(TAmount::kThousands);
}

float TEditFloat::UnitsForTransfer(TAmount amount) {
  return static_cast<float>(amount.Units());
}

TAmount TEditFloat::FromTransferUnits(float units) {
  return TAmount::FromUnits(static_cast<double>(units));
}

namespace {

// A text that is not a date keeps the default year in the parse, but the field's empty value is
// the all-zero date, so that it shows as " / /" and not with this year's digits.
TDateValue ParseDateField(std::string_view text, const TClock& clock) {
  unsigned year = clock.Today().Year();
  TDateValue date = TDateValue::Parse(text, year, year);
  return date.IsValid() ? date : TDateValue();
}

}  // namespace

TEditDateResult TEditDate::Commit(std::string_view text, const TClock& clock) const {
  TEditDateResult result;
  result.date = ParseDateField(Limited(text, kFocusTextLimit), clock);
  result.text = Show(result.date);
  return result;
}

TDateValue TEditDate::Transfer(std::string_view text, const TClock& clock) const {
  return ParseDateField(Limited(text, kTransferTextLimit), clock);
}

std::string TEditDate::Show(TDateValue date) const {
  return date.Format(TDateValue::kShortYear);
}

TEditUnsignedResult TEditUnsigned::Commit(std::string_view text) const {
  // A count field's text: spaces, an optional sign, digits, anything after. The magnitude is held
  // at 2^40, far beyond any field's maximum.
  const int64_t typed =
      ReadLeadingNumber(Limited(text, textLimit), {.ceiling = uint64_t{1} << 40}).Signed();
  TEditUnsignedResult result;
  if (maximum != 0 && typed < int64_t{minimum}) {
    result.value = minimum;
    result.beep = true;
  } else if (maximum != 0 && typed > int64_t{maximum}) {
    result.value = maximum;
    result.beep = true;
  } else if (typed < 0) {
    result.value = 0;
  } else if (typed > int64_t{std::numeric_limits<uint32_t>::max()}) {
    result.value = std::numeric_limits<uint32_t>::max();
  } else {
    result.value = static_cast<uint32_t>(typed);
  }
  result.text = Show(result.value);
  return result;
}

uint32_t TEditUnsigned::Transfer(std::string_view text) const {
  return Commit(text).value;
}

std::string TEditUnsigned::Show(uint32_t value) const {
  return std::to_string(value);
}

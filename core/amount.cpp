#include "core/amount.h"

#include <cmath>

namespace {

// The half cent is added before scaling, not after, so that 0.005 becomes one cent the way
// amounts have always been rounded, even where the scaled value lands a hair below .5.
double AwayFromZero(double units) {
  return units > 0 ? units + 0.005 : units - 0.005;
}

}  // namespace

TAmount TAmount::FromUnits(double units) {
  if (!(units >= -kUnitLimit && units <= kUnitLimit))
    return TAmount();
  return FromCents(static_cast<int64_t>(std::trunc(AwayFromZero(units) * 100.0)));
}

std::string TAmount::Format(unsigned flags) const {
  if ((flags & kZeroEmpty) != 0 && cents_ == 0)
    return std::string();

  const bool negative = cents_ < 0;
  // The magnitude of the most negative amount does not fit a signed value; unsigned does.
  uint64_t magnitude = negative ? 0u - Bits(cents_) : Bits(cents_);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (digits.size() < 3)
    digits.insert(0, 3 - digits.size(), '0');

  const size_t integerDigits = digits.size() - 2;
  std::string body;
  body.reserve(digits.size() + digits.size() / 3 + 1);
  for (size_t i = 0; i < integerDigits; ++i) {
    if ((flags & kThousands) != 0 && i != 0 && (integerDigits - i) % 3 == 0)
      body.push_back(',');
    body.push_back(digits[i]);
  }
  body.push_back('.');
  body.append(digits, integerDigits, 2);

  if ((flags & kNoSign) != 0)
    return body;
  if ((flags & kParentheses) != 0)
    return negative ? "(" + body + ")" : " " + body + " ";
  return negative ? "-" + body : body;
}

int32_t CentsFromEntry(double units) {
  // A 32-bit stored amount holds about 21474836 units; the limit keeps well inside it.
  constexpr double kEntryLimit = 20000000.0;
  const double rounded = AwayFromZero(units);
  if (!(rounded > -kEntryLimit && rounded < kEntryLimit))
    return 0;
  return static_cast<int32_t>(std::trunc(rounded * 100.0));
}

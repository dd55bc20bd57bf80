#include "core/leading_number.h"

#include <algorithm>

int64_t TLeadingNumber::Signed() const {
  constexpr uint64_t kLargest = std::numeric_limits<int64_t>::max();
  const auto value = static_cast<int64_t>(std::min(magnitude, kLargest));
  return negative ? -value : value;
}

TLeadingNumber ReadLeadingNumber(std::string_view text, const TLeadingNumberRules& rules) {
  size_t at = text.find_first_not_of(rules.blanks);
  TLeadingNumber number;
  if (at == std::string_view::npos)
    return number;
  if (rules.sign && (text[at] == '+' || text[at] == '-')) {
    number.negative = text[at] == '-';
    ++at;
  }
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    constexpr uint64_t kMost = std::numeric_limits<uint64_t>::max();
    const auto digit = static_cast<uint64_t>(text[at] - '0');
    number.magnitude = number.magnitude > (kMost - digit) / 10
                           ? rules.ceiling
                           : std::min(number.magnitude * 10 + digit, rules.ceiling);
  }
  return number;
}

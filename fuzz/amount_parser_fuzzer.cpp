// Feeds arbitrary text to the amount-expression parser and the amount field. The parser must
// give a finite value, 0 with every error, the errors that the text's characters and parentheses
// call for, and amounts whose text reads back as the same amount.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/amount.h"
#include "core/amount_expression.h"
#include "core/edit_values.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

bool ParenthesesPair(std::string_view text) {
  size_t open = 0;
  for (char c : text) {
    if (c == '(') {
      ++open;
    } else if (c == ')') {
      if (open == 0)
        return false;
      --open;
    }
  }
  return open == 0;
}

void CheckFormats(TAmount amount) {
  const std::string plain = amount.Format(0);
  Require(plain.size() >= 4);
  Require(plain[plain.size() - 3] == '.');
  for (unsigned flags = 0; flags < 16; ++flags) {
    std::string text = amount.Format(flags);
    if ((flags & TAmount::kZeroEmpty) != 0 && amount.Cents() == 0) {
      Require(text.empty());
      continue;
    }
    std::string digits;
    for (char c : text) {
      if (c != ',' && c != ' ' && c != '(' && c != ')' && c != '-')
        digits.push_back(c);
    }
    Require(digits == (plain[0] == '-' ? plain.substr(1) : plain));
  }
  // Far below the floating limit a double holds every cent, so the shown text reads back exactly.
  if (std::llabs(amount.Cents()) < 10000000000000LL) {
    Require(AmountFromText(amount.Format(TAmount::kThousands)) == amount);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  TAmountParseResult result = EvaluateAmountExpression(text);
  Require(std::isfinite(result.value));
  Require(result.error >= kAmountParseOk && result.error <= kAmountParseOutOfRange);
  if (result.error != kAmountParseOk)
    Require(result.value == 0);

  std::string withoutCommas;
  for (char c : text) {
    if (c != ',')
      withoutCommas.push_back(c);
  }
  if (withoutCommas.find_first_not_of("0123456789 .()+-*/^") != std::string::npos) {
    Require(result.error == kAmountParseBadCharacter);
  } else if (!ParenthesesPair(withoutCommas)) {
    Require(result.error == kAmountParseUnbalanced);
  } else {
    Require(result.error != kAmountParseBadCharacter && result.error != kAmountParseUnbalanced);
  }

  TAmount amount = TAmount::FromUnits(result.value);
  Require(AmountFromText(text) == amount);
  CheckFormats(amount);

  TEditFloatResult field = TEditFloat().Commit(text);
  Require(field.text == field.amount.Format(TAmount::kThousands));
  if (size <= TEditFloat::kTextLimit)
    Require(field.amount == amount && field.error == result.error);
  return 0;
}

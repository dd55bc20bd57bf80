#pragma once

#include <string_view>

#include "core/amount.h"

/// Why an amount expression gave 0 instead of its value.
enum TAmountParseError : int {
  kAmountParseOk = 0,
  kAmountParseUnbalanced = 1,      ///< "(" and ")" do not pair up
  kAmountParseBadCharacter = 2,    ///< a character that no amount expression holds
  kAmountParseDivisionByZero = 3,  ///< "/" by 0, or 0 raised to a negative power
  kAmountParseOutOfRange = 4,      ///< a step gave a value no floating number holds
};

/// The value of an amount expression in currency units, with the reason when it is 0 for an
/// error. The value is always finite, and 0 whenever the error is not kAmountParseOk.
struct TAmountParseResult {
  double value = 0;
  int error = kAmountParseOk;
};

/// Evaluates what a user types into an amount field: a number with "," allowed anywhere, or an
/// expression of "+", "-", "*", "/", "^" (power binds tightest, then "*" and "/", then "+" and
/// "-"; leftmost first within a level) and parentheses. Intermediate results keep four decimals,
/// and a parenthesised group five, as the field has always shown them. Takes time in proportion
/// to the text, whatever its length or nesting.
TAmountParseResult EvaluateAmountExpression(std::string_view text);

/// The amount a typed text stands for: its value by EvaluateAmountExpression, rounded to cents
/// by TAmount::FromUnits (0 when the text has an error).
TAmount AmountFromText(std::string_view text);

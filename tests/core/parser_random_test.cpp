// A million random texts through the amount and date parsers. Beyond "no crash, no hang", each
// result is checked against what can be known about the text without evaluating it the parser's
// way: the error a text must give, and for generated integer expressions the value that ordinary
// arithmetic gives.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "core/amount.h"
#include "core/amount_expression.h"
#include "core/date_value.h"

namespace {

constexpr int kTexts = 1000000;

class TTextMaker {
 public:
  explicit TTextMaker(uint32_t seed) : random_(seed) {}

  // A plain remainder: its slight bias does not matter here, and it is cheap enough to call for
  // every character of a million texts.
  int Below(int limit) { return static_cast<int>(random_() % static_cast<uint32_t>(limit)); }

  // Short texts mostly; one in a thousand runs to a few thousand characters.
  size_t Length() {
    return Below(1000) == 0 ? static_cast<size_t>(1000 + Below(4000))
                            : static_cast<size_t>(Below(41));
  }

  std::string FromAlphabet(std::string_view alphabet) {
    std::string text(Length(), ' ');
    for (char& c : text)
      c = alphabet[static_cast<size_t>(Below(static_cast<int>(alphabet.size())))];
    return text;
  }

  std::string Bytes() {
    std::string text(Length(), ' ');
    for (char& c : text)
      c = static_cast<char>(Below(256));
    return text;
  }

  // A well-formed expression of small whole numbers with "+", "-", "*", unary "-" and
  // parentheses, together with its value by ordinary arithmetic (none when a step grows beyond
  // what a double holds exactly).
  std::string Expression(int depth, std::optional<int64_t>& value) {
    std::string left = Term(depth, value);
    for (int more = Below(3); more > 0; --more) {
      char op = "+-"[Below(2)];
      std::optional<int64_t> right;
      std::string text = Term(depth, right);
      left += Spaces() + op + Spaces() + text;
      value = value && right ? std::optional(op == '+' ? *value + *right : *value - *right)
                             : std::nullopt;
      Check(value);
    }
    return left;
  }

 private:
  std::string Spaces() { return Below(4) == 0 ? " " : ""; }

  std::string Term(int depth, std::optional<int64_t>& value) {
    std::string left = Factor(depth, value);
    for (int more = Below(2); more > 0; --more) {
      std::optional<int64_t> right;
      std::string text = Factor(depth, right);
      left += Spaces() + "*" + Spaces() + text;
      int64_t product = 0;
      const bool fits = value && right && !__builtin_mul_overflow(*value, *right, &product);
      value = fits ? std::optional(product) : std::nullopt;
      Check(value);
    }
    return left;
  }

  std::string Factor(int depth, std::optional<int64_t>& value) {
    bool negate = Below(4) == 0;
    std::string text;
    if (depth > 0 && Below(3) == 0) {
      text = "(" + Expression(depth - 1, value) + ")";
    } else {
      int64_t number = Below(100);
      value = number;
      text = std::to_string(number);
    }
    if (negate) {
      text = "-" + text;
      if (value)
        value = -*value;
    }
    return text;
  }

  static void Check(std::optional<int64_t>& value) {
    if (value && (*value > (int64_t{1} << 40) || *value < -(int64_t{1} << 40)))
      value.reset();
  }

  std::mt19937 random_;
};

bool HasCharacterOutsideTheSet(std::string_view text) {
  return text.find_first_not_of("0123456789 .()+-*/^,") != std::string_view::npos;
}

bool ParenthesesPair(std::string_view text) {
  int64_t open = 0;
  for (char c : text) {
    if (c == '(')
      ++open;
    if (c == ')' && --open < 0)
      return false;
  }
  return open == 0;
}

void CheckAmount(std::string_view text, std::optional<int64_t> expected) {
  TAmountParseResult result = EvaluateAmountExpression(text);
  ASSERT_TRUE(std::isfinite(result.value)) << text;
  ASSERT_GE(result.error, kAmountParseOk) << text;
  ASSERT_LE(result.error, kAmountParseOutOfRange) << text;
  if (result.error != kAmountParseOk) {
    ASSERT_EQ(result.value, 0) << text;
  }
  if (HasCharacterOutsideTheSet(text)) {
    ASSERT_EQ(result.error, kAmountParseBadCharacter) << text;
  } else if (!ParenthesesPair(text)) {
    ASSERT_EQ(result.error, kAmountParseUnbalanced) << text;
  } else {
    ASSERT_NE(result.error, kAmountParseBadCharacter) << text;
    ASSERT_NE(result.error, kAmountParseUnbalanced) << text;
  }
  if (expected) {
    ASSERT_EQ(result.error, kAmountParseOk) << text;
    ASSERT_EQ(result.value, static_cast<double>(*expected)) << text;
  }
  TAmount amount = TAmount::FromUnits(result.value);
  ASSERT_FALSE(amount.Format(TAmount::kThousands).empty()) << text;
}

void CheckDate(std::string_view text, unsigned defaultYear) {
  TDateValue date = TDateValue::Parse(text, defaultYear, 2011);
  if (date.IsValid()) {
    ASSERT_LT(text.size(), 32u) << text;
    // A year below 1900 comes only from the default year, and as text would read as another.
    unsigned flags = date.Year() >= 1900 ? TDateValue::kFullYear : TDateValue::kNoYear;
    ASSERT_EQ(TDateValue::Parse(date.Format(flags), date.Year(), 2011), date) << text;
  } else {
    ASSERT_EQ(date, TDateValue(0, 0, defaultYear)) << text;
  }
}

TEST(ParserRandomTest, MillionTexts) {
  TTextMaker maker(0x5EED1234);
  for (int i = 0; i < kTexts; ++i) {
    std::string text;
    std::optional<int64_t> expected;
    const int kind = maker.Below(10);
    if (kind <= 1)
      text = maker.FromAlphabet("0123456789012345678901234567890123456789 .,()+-*/^");
    else if (kind == 2)  // no parentheses, so that every text reaches the operators
      text = maker.FromAlphabet("0123456789012345678901234567890123456789 .,+-*/^");
    else if (kind == 3)
      text = maker.FromAlphabet("()()()-+ 1");
    else if (kind == 4)
      text = maker.Bytes();
    else if (kind <= 8)
      text = maker.FromAlphabet("0123456789///  ");
    else
      text = maker.Expression(2, expected);
    CheckAmount(text, expected);
    if (HasFatalFailure())
      return;
    CheckDate(text, static_cast<unsigned>(maker.Below(3000)));
    if (HasFatalFailure())
      return;
  }
}

// Dates written in the ways people type them parse to themselves; the same numbers in a day that
// the month does not have give no date.
TEST(ParserRandomTest, TypedDates) {
  TTextMaker maker(77);
  for (int i = 0; i < 100000; ++i) {
    unsigned year = 1900 + static_cast<unsigned>(maker.Below(200));
    unsigned month = 1 + static_cast<unsigned>(maker.Below(12));
    unsigned day = 1 + static_cast<unsigned>(maker.Below(31));
    std::string yearText = std::to_string(year);
    if (year >= 1980 && year < 2080 && maker.Below(2) == 0) {
      yearText = std::to_string(year % 100);
    }
    std::string text = std::to_string(month) + "/" + std::to_string(day) + "/" + yearText;
    TDateValue date = TDateValue::Parse(text, 0, 2011);
    if (day <= TDateValue::DaysInMonth(month, year)) {
      ASSERT_EQ(date, TDateValue(day, month, year)) << text;
    } else {
      ASSERT_TRUE(date.IsEmpty()) << text;
    }
  }
}

}  // namespace

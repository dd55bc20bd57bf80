#include "core/amount_expression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct TValueCase {
  const char* text;
  double value;
};

// Expressions that evaluate; the values are compared exactly because every step rounds to four
// (or, for groups, five) decimals and the expected values are what those roundings give.
class AmountExpressionValueTest : public testing::TestWithParam<TValueCase> {};

TEST_P(AmountExpressionValueTest, Evaluates) {
  const TValueCase& c = GetParam();
  TAmountParseResult result = EvaluateAmountExpression(c.text);
  EXPECT_EQ(result.error, kAmountParseOk) << '"' << c.text << '"';
  EXPECT_DOUBLE_EQ(result.value, c.value) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, AmountExpressionValueTest,
    testing::Values(TValueCase{"", 0}, TValueCase{"   ", 0}, TValueCase{"12.34", 12.34},
                    TValueCase{"1,000", 1000}, TValueCase{"1,234,567.89", 1234567.89},
                    TValueCase{",,,", 0}, TValueCase{"  42  ", 42}, TValueCase{"-5", -5},
                    TValueCase{"+5", 5}, TValueCase{".5", 0.5}, TValueCase{"5.", 5},
                    TValueCase{".", 0}, TValueCase{"1.2.3", 1.2}, TValueCase{"007", 7}));

INSTANTIATE_TEST_SUITE_P(Operators, AmountExpressionValueTest,
                         testing::Values(TValueCase{"(10+5)*2", 30}, TValueCase{"10/4", 2.5},
                                         TValueCase{"2^3", 8}, TValueCase{"2*-3", -6},
                                         TValueCase{"5 - 3", 2}, TValueCase{" 10 / 4 ", 2.5},
                                         TValueCase{"1,000/4", 250}, TValueCase{"2^-1", 0.5},
                                         TValueCase{"4^0.5", 2}, TValueCase{"0^0", 1},
                                         TValueCase{"3--2", 5}, TValueCase{"3+-2", 1},
                                         TValueCase{"-2*-3", 6}));

INSTANTIATE_TEST_SUITE_P(Precedence, AmountExpressionValueTest,
                         testing::Values(TValueCase{"2+3*4", 14}, TValueCase{"2*3+4", 10},
                                         TValueCase{"2*3^2", 18}, TValueCase{"10-4-3", 3},
                                         TValueCase{"100/10/5", 2},
                                         // Leftmost first within a level, also for powers.
                                         TValueCase{"2^3^2", 64}, TValueCase{"1-2*-3", 7},
                                         TValueCase{"5-3^2", -4}, TValueCase{"5 -3^2", -4},
                                         TValueCase{"5 +3*2", 11}, TValueCase{"2+3*4-5", 9},
                                         TValueCase{"1+2*3^2-4/2", 17}));

// Negative values at the start of the text, typed or left there by an earlier step, take part in
// the next operation with their sign.
INSTANTIATE_TEST_SUITE_P(LeadingMinus, AmountExpressionValueTest,
                         testing::Values(TValueCase{"-2+3", 1}, TValueCase{"-2-3", -5},
                                         TValueCase{"-2*3", -6}, TValueCase{" -2+3", 1},
                                         TValueCase{"-2^3", -8}, TValueCase{"-2^2", 4},
                                         TValueCase{"2-3-4", -5}, TValueCase{"1*-2-3", -5},
                                         TValueCase{"2*-3+1", -5}, TValueCase{"1+-2+3", 2},
                                         TValueCase{"--2+3", 5}, TValueCase{"5---3", 2}));

INSTANTIATE_TEST_SUITE_P(Groups, AmountExpressionValueTest,
                         testing::Values(TValueCase{"()", 0}, TValueCase{"(5)", 5},
                                         TValueCase{"((((7))))", 7}, TValueCase{"(0-5)+3", -2},
                                         TValueCase{"2*(0-5)+3", -7}, TValueCase{"-(2+3)", -5},
                                         TValueCase{"-(0-2)", 2}, TValueCase{"-(0-2)+1", 3},
                                         TValueCase{"2*-(0-3)", 6}, TValueCase{"5-(0-2)*3", 11},
                                         TValueCase{"2-(3-(4-5))", -2},
                                         TValueCase{"(0-1)*(0-1)-(0-1)", 2},
                                         TValueCase{"3*(0-2)*(0-2)", 12}, TValueCase{"2^(1+1)", 4},
                                         // Steps keep four decimals and groups five.
                                         TValueCase{"10/3", 3.3333}, TValueCase{"10/3*3", 9.9999},
                                         TValueCase{"0.123456*100000", 12345.6},
                                         TValueCase{"(0.123456)*100000", 12346}));

struct TErrorCase {
  const char* text;
  int error;
};

class AmountExpressionErrorTest : public testing::TestWithParam<TErrorCase> {};

TEST_P(AmountExpressionErrorTest, GivesZeroAndTheError) {
  const TErrorCase& c = GetParam();
  TAmountParseResult result = EvaluateAmountExpression(c.text);
  EXPECT_EQ(result.error, c.error) << '"' << c.text << '"';
  EXPECT_EQ(result.value, 0) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, AmountExpressionErrorTest,
    testing::Values(TErrorCase{"5/0", kAmountParseDivisionByZero}, TErrorCase{"5/(2-2)", 3},
                    TErrorCase{"5/", 3}, TErrorCase{"5/.", 3}, TErrorCase{"1+(5/0)*0", 3},
                    TErrorCase{"0^-1", 3}, TErrorCase{"12a", kAmountParseBadCharacter},
                    TErrorCase{"$5", 2}, TErrorCase{"1e5", 2}, TErrorCase{"5\t", 2},
                    TErrorCase{"\xe9", 2}, TErrorCase{"5;", 2},
                    TErrorCase{"(1+2", kAmountParseUnbalanced}, TErrorCase{"1+2)", 1},
                    TErrorCase{")(", 1}, TErrorCase{"(1))(", 1}, TErrorCase{")1(", 1},
                    // A character outside the set is reported before the parentheses, and both
                    // before anything is computed.
                    TErrorCase{"(5/0a", 2}, TErrorCase{"(5/0", 1}, TErrorCase{"5/0)(", 1},
                    // Steps whose value no floating number holds.
                    TErrorCase{"9^9^9^9", kAmountParseOutOfRange}, TErrorCase{"10^400", 4},
                    TErrorCase{"10^300*10^300", 4}));

TEST(AmountExpressionTest, NulLargeValuesAndNegativeZero) {
  TAmountParseResult nul = EvaluateAmountExpression(std::string_view("5\0", 2));
  EXPECT_EQ(nul.error, kAmountParseBadCharacter);
  EXPECT_EQ(nul.value, 0);
  // Large but finite values are kept: the floating rule, not the parser, turns them into 0 cents.
  TAmountParseResult large = EvaluateAmountExpression("10^20");
  EXPECT_EQ(large.error, kAmountParseOk);
  EXPECT_DOUBLE_EQ(large.value, 1e20);
  EXPECT_EQ(AmountFromText("10^20").Cents(), 0);
  EXPECT_DOUBLE_EQ(EvaluateAmountExpression("2^2^2^2^2^2").value, 4294967296.0);
  TAmountParseResult zero = EvaluateAmountExpression("0*-1");
  EXPECT_EQ(zero.error, kAmountParseOk);
  EXPECT_FALSE(std::signbit(zero.value));
}

struct TCentsCase {
  const char* text;
  int64_t cents;
};

class AmountFromTextTest : public testing::TestWithParam<TCentsCase> {};

TEST_P(AmountFromTextTest, RoundsTheValueToCents) {
  EXPECT_EQ(AmountFromText(GetParam().text).Cents(), GetParam().cents) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table, AmountFromTextTest,
                         testing::Values(TCentsCase{"1,000", 100000}, TCentsCase{"12.345", 1235},
                                         TCentsCase{"-12.345", -1235}, TCentsCase{"0.005", 1},
                                         TCentsCase{"0.004", 0}, TCentsCase{"10/3*3", 1000},
                                         TCentsCase{"5/0", 0}, TCentsCase{"12a", 0},
                                         TCentsCase{"(1+2", 0}, TCentsCase{"", 0}));

// Long and deeply nested texts must be evaluated in time proportional to their length; a
// quadratic evaluator would take minutes on these, and a recursive one would overflow its stack.
TEST(AmountExpressionTest, LongSumsAndProducts) {
  std::string sum = "1";
  for (int i = 0; i < 50000; ++i)
    sum += "+1";
  TAmountParseResult result = EvaluateAmountExpression(sum);
  EXPECT_EQ(result.error, kAmountParseOk);
  EXPECT_DOUBLE_EQ(result.value, 50001);

  std::string alternating = "1000";
  for (int i = 0; i < 25000; ++i)
    alternating += "-2+1";
  EXPECT_DOUBLE_EQ(EvaluateAmountExpression(alternating).value, -24000);

  std::string product = "3";
  for (int i = 0; i < 50000; ++i)
    product += "*1";
  EXPECT_DOUBLE_EQ(EvaluateAmountExpression(product).value, 3);
}

TEST(AmountExpressionTest, DeepNesting) {
  std::string nested = std::string(50000, '(') + "1+1" + std::string(50000, ')');
  TAmountParseResult result = EvaluateAmountExpression(nested);
  EXPECT_EQ(result.error, kAmountParseOk);
  EXPECT_DOUBLE_EQ(result.value, 2);

  std::string negated;
  for (int i = 0; i < 20001; ++i)
    negated += "-(";
  negated += "1" + std::string(20001, ')');
  EXPECT_DOUBLE_EQ(EvaluateAmountExpression(negated).value, -1);

  std::string pairs;
  for (int i = 0; i < 50000; ++i)
    pairs += "(1)+";
  pairs += "0";
  EXPECT_DOUBLE_EQ(EvaluateAmountExpression(pairs).value, 50000);

  std::string unbalanced = std::string(50000, '(') + std::string(49999, ')');
  EXPECT_EQ(EvaluateAmountExpression(unbalanced).error, kAmountParseUnbalanced);
}

TEST(AmountExpressionTest, LongNumbersAndSpaces) {
  TAmountParseResult huge = EvaluateAmountExpression(std::string(100000, '9'));
  EXPECT_EQ(huge.error, kAmountParseOutOfRange);
  EXPECT_EQ(huge.value, 0);

  TAmountParseResult tiny = EvaluateAmountExpression("0." + std::string(100000, '0') + "1");
  EXPECT_EQ(tiny.error, kAmountParseOk);
  EXPECT_EQ(tiny.value, 0);

  std::string spaced = "1" + std::string(50000, ' ');
  for (int i = 0; i < 20000; ++i)
    spaced += "*1";
  spaced = std::string(50000, ' ') + "-" + spaced;
  EXPECT_DOUBLE_EQ(EvaluateAmountExpression(spaced).value, -1);

  std::string signs = "7" + std::string(100001, '-') + "2";
  EXPECT_DOUBLE_EQ(EvaluateAmountExpression(signs).value, 5);
}

}  // namespace

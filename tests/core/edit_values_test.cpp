#include "core/edit_values.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/amount_expression.h"
#include "core/clock.h"

namespace {

struct TFloatCase {
  const char* text;
  int64_t cents;
  int error;
  const char* shown;
};

class EditFloatTest : public testing::TestWithParam<TFloatCase> {};

// The committed text is what Show gives for the amount, so these cases pin Show as well.
TEST_P(EditFloatTest, CommitsAndShowsWithThousands) {
  const TFloatCase& c = GetParam();
  TEditFloatResult result = TEditFloat().Commit(c.text);
  EXPECT_EQ(result.amount.Cents(), c.cents) << c.text;
  EXPECT_EQ(result.error, c.error) << c.text;
  EXPECT_EQ(result.text, c.shown) << c.text;
  EXPECT_EQ(TEditFloat().Transfer(c.text), result.amount) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditFloatTest,
    testing::Values(TFloatCase{"1,000", 100000, kAmountParseOk, "1,000.00"},
                    TFloatCase{"1234567.891", 123456789, kAmountParseOk, "1,234,567.89"},
                    TFloatCase{"(10+5)*2", 3000, kAmountParseOk, "30.00"},
                    TFloatCase{"-0.05", -5, kAmountParseOk, "-0.05"},
                    TFloatCase{"0.005", 1, kAmountParseOk, "0.01"},
                    TFloatCase{"", 0, kAmountParseOk, "0.00"},
                    TFloatCase{"12a", 0, kAmountParseBadCharacter, "0.00"},
                    TFloatCase{"(1+2", 0, kAmountParseUnbalanced, "0.00"},
                    TFloatCase{"5/0", 0, kAmountParseDivisionByZero, "0.00"},
                    // Beyond the floating limit the amount is 0 without an error.
                    TFloatCase{"10^15", 0, kAmountParseOk, "0.00"}));

TEST(EditFloatTest, ReadsNoMoreThanItsTextLimit) {
  std::string text(TEditFloat::kTextLimit - 1, ' ');
  text += "5";
  EXPECT_EQ(TEditFloat().Commit(text).amount.Cents(), 500);
  text.insert(0, " ");
  EXPECT_EQ(TEditFloat().Commit(text).amount.Cents(), 0);
}

TEST(EditFloatTest, SinglePrecisionUnitsRoundTripWhereTheyAreExact) {
  EXPECT_EQ(TEditFloat::UnitsForTransfer(TAmount::FromCents(123456)), 1234.56f);
  EXPECT_EQ(TEditFloat::FromTransferUnits(1234.56f).Cents(), 123456);
  EXPECT_EQ(TEditFloat::FromTransferUnits(-0.07f).Cents(), -7);
  for (int64_t cents = -1000000; cents <= 1000000; cents += 7) {
    TAmount amount = TAmount::FromCents(cents);
    ASSERT_EQ(TEditFloat::FromTransferUnits(TEditFloat::UnitsForTransfer(amount)), amount) << cents;
  }
}

TEST(EditDateTest, ParsesWithTheCurrentYearAndShowsATwoDigitYear) {
  TFixedClock clock(TDateValue(15, 6, 2011));
  TEditDate edit;
  struct TCase {
    const char* text;
    TDateValue date;
    const char* shown;
  };
  for (const TCase& c :
       {TCase{"12/31", {31, 12, 2011}, "12/31/11"}, TCase{"2/29/12", {29, 2, 2012}, "02/29/12"},
        TCase{"1/5/85", {5, 1, 1985}, "01/05/85"}, TCase{"1/5/150", {5, 1, 2011}, "01/05/11"},
        TCase{"2/29/2011", {0, 0, 0}, " / /"}, TCase{"", {0, 0, 0}, " / /"},
        TCase{" / /", {0, 0, 0}, " / /"}, TCase{"junk", {0, 0, 0}, " / /"}}) {
    TEditDateResult result = edit.Commit(c.text, clock);
    EXPECT_EQ(result.date, c.date) << c.text;
    EXPECT_EQ(result.text, c.shown) << c.text;
    EXPECT_EQ(edit.Transfer(c.text, clock), c.date) << c.text;
  }
}

TEST(EditDateTest, TransferReadsOnlyTwentyTwoCharacters) {
  TFixedClock clock(TDateValue(1, 1, 2030));
  // The year lies beyond the 22 characters read on transfer, but within what the field reads
  // when it loses the focus.
  std::string text = "1/5/" + std::string(18, ' ') + "11";
  EXPECT_EQ(TEditDate().Transfer(text, clock), TDateValue(5, 1, 2030));
  EXPECT_EQ(TEditDate().Commit(text, clock).date, TDateValue(5, 1, 2011));
}

struct TUnsignedCase {
  TEditUnsigned edit;
  const char* text;
  uint32_t value;
  bool beep;
};

class EditUnsignedTest : public testing::TestWithParam<TUnsignedCase> {};

TEST_P(EditUnsignedTest, KeepsTheValueInRange) {
  const TUnsignedCase& c = GetParam();
  TEditUnsignedResult result = c.edit.Commit(c.text);
  EXPECT_EQ(result.value, c.value) << c.text;
  EXPECT_EQ(result.beep, c.beep) << c.text;
  EXPECT_EQ(result.text, std::to_string(c.value)) << c.text;
  EXPECT_EQ(c.edit.Transfer(c.text), c.value) << c.text;
}

constexpr TEditUnsigned kNoRange{5, 0, 0};
constexpr TEditUnsigned kUnlimited{0, 0, 0};
constexpr TEditUnsigned kCodeWidth{10, 5, 10};
constexpr TEditUnsigned kMemoWidth{10, 0, 50};

INSTANTIATE_TEST_SUITE_P(
    NoRange, EditUnsignedTest,
    testing::Values(TUnsignedCase{kNoRange, "42", 42, false}, TUnsignedCase{kNoRange, "", 0, false},
                    TUnsignedCase{kNoRange, "abc", 0, false},
                    TUnsignedCase{kNoRange, " 12abc", 12, false},
                    TUnsignedCase{kNoRange, "-5", 0, false},
                    // The field holds five characters.
                    TUnsignedCase{kNoRange, "123456", 12345, false},
                    TUnsignedCase{kUnlimited, "123456", 123456, false},
                    TUnsignedCase{kUnlimited, "4294967295", 4294967295u, false},
                    TUnsignedCase{kUnlimited, "4294967296", 4294967295u, false},
                    TUnsignedCase{kUnlimited, "99999999999999999999999", 4294967295u, false}));

INSTANTIATE_TEST_SUITE_P(
    Range, EditUnsignedTest,
    testing::Values(
        TUnsignedCase{kCodeWidth, "7", 7, false}, TUnsignedCase{kCodeWidth, "5", 5, false},
        TUnsignedCase{kCodeWidth, "10", 10, false}, TUnsignedCase{kCodeWidth, "4", 5, true},
        TUnsignedCase{kCodeWidth, "11", 10, true}, TUnsignedCase{kCodeWidth, "-1", 5, true},
        TUnsignedCase{kCodeWidth, "", 5, true},
        TUnsignedCase{kCodeWidth, "99999999999999999999", 10, true},
        TUnsignedCase{kMemoWidth, "0", 0, false}, TUnsignedCase{kMemoWidth, "51", 50, true},
        TUnsignedCase{kMemoWidth, "-3", 0, true}));

}  // namespace

#include "presentation/filter_dialog_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

TFilterDialogSetup LedgerSetup() {
  TFilterDialogSetup setup;
  setup.itemGroupTitle = " Envelope ";
  setup.byItemLabel = "Envelope:";
  setup.transferLabel = "Account Transfer";
  setup.choices = {{4, "Food"}, {7, "Rent"}};
  return setup;
}

// Criteria as a predefined filter leaves them: not the defaults, so that restoring the
// defaults instead of the opening copy would show.
TFilterCriteria OpeningCriteria() {
  TFilterCriteria criteria = TFilterCriteria::Defaults(TDateValue(15, 3, 2024), 4);
  criteria.anyState = false;
  criteria.notClearedOrPending = true;
  criteria.anyAmount = false;
  criteria.payment = true;
  criteria.normalView = false;
  criteria.reconcileView = true;
  criteria.payeeText = "Grocer";
  return criteria;
}

TEST(FilterDialogStateTest, ResetPutsBackWhatTheDialogShowedOnOpening) {
  TFilterDialogState state(OpeningCriteria(), LedgerSetup());
  state.Choose(TFilterButton::DateRange);
  state.Values().fromDate = TDateValue(1, 1, 2020);
  state.Choose(TFilterButton::AmountRange);
  state.Values().toAmount = 5.0;
  state.Choose(TFilterButton::PayeeText);
  state.Values().payeeText = "Landlord";
  state.Values().payeeExact = true;
  state.Choose(TFilterButton::Cleared);
  state.Choose(TFilterButton::NormalView);
  state.Choose(TFilterButton::ByItem);
  state.Values().itemId = 7;
  ASSERT_NE(state.Values(), OpeningCriteria());

  state.Reset();
  EXPECT_EQ(state.Values(), OpeningCriteria());
  EXPECT_TRUE(state.IsSet(TFilterButton::Payment));
  EXPECT_FALSE(state.IsSet(TFilterButton::AmountRange));
  EXPECT_FALSE(state.IsEnabled(TFilterField::FromDate));
  EXPECT_FALSE(state.IsEnabled(TFilterField::PayeeText));
  EXPECT_FALSE(state.IsEnabled(TFilterField::ItemChoice));
  // A second round of changes resets to the same copy, not to the first Reset's moment.
  state.Choose(TFilterButton::NonNumber);
  state.Reset();
  EXPECT_EQ(state.Values(), OpeningCriteria());
}

TEST(FilterDialogStateTest, ChoosingAButtonClearsTheRestOfItsGroupOnly) {
  using Switch = bool TFilterCriteria::*;
  using C = TFilterCriteria;
  using B = TFilterButton;
  struct TCase {
    TFilterButton button;
    Switch chosen;
    std::vector<Switch> groupMates;
    std::optional<TFilterField> focus;
  };
  const std::vector<TCase> cases = {
      {B::DateRange, &C::dateRange, {&C::anyDate}, TFilterField::FromDate},
      {B::AnyDate, &C::anyDate, {&C::dateRange}, std::nullopt},
      {B::Deposit, &C::deposit, {&C::anyAmount, &C::payment, &C::amountRange}, std::nullopt},
      {B::AmountRange,
       &C::amountRange,
       {&C::anyAmount, &C::deposit, &C::payment},
       TFilterField::FromAmount},
      {B::NumberOnly, &C::numberOnly, {&C::anyCode, &C::nonNumber, &C::codeTextOn}, std::nullopt},
      {B::CodeText,
       &C::codeTextOn,
       {&C::anyCode, &C::numberOnly, &C::nonNumber},
       TFilterField::CodeText},
      {B::NotCleared,
       &C::notCleared,
       {&C::anyState, &C::notClearedOrPending, &C::cleared},
       std::nullopt},
      {B::AnyState,
       &C::anyState,
       {&C::notClearedOrPending, &C::cleared, &C::notCleared},
       std::nullopt},
      {B::PayeeText, &C::payeeTextOn, {&C::anyPayee}, TFilterField::PayeeText},
      {B::MemoText, &C::memoTextOn, {&C::anyMemo}, TFilterField::MemoText},
      {B::Transfer, &C::transfer, {&C::anyItem, &C::multiple, &C::byItem}, std::nullopt},
      {B::ByItem, &C::byItem, {&C::anyItem, &C::transfer, &C::multiple}, TFilterField::ItemChoice},
      {B::NewImportOnly, &C::newImportOnly, {&C::anyImportState}, std::nullopt},
      {B::ReconcileView, &C::reconcileView, {&C::normalView}, std::nullopt},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.button));
    // Every mate set, as a damaged transfer buffer might have them, and the chosen one off.
    TFilterCriteria before = OpeningCriteria();
    for (Switch mate : c.groupMates)
      before.*mate = true;
    before.*(c.chosen) = false;
    TFilterDialogState state(before, LedgerSetup());

    EXPECT_EQ(state.Choose(c.button), c.focus);

    TFilterCriteria expected = before;
    expected.*(c.chosen) = true;
    for (Switch mate : c.groupMates)
      expected.*mate = false;
    EXPECT_EQ(state.Values(), expected);
    EXPECT_TRUE(state.IsSet(c.button));
  }
}

TEST(FilterDialogStateTest, FieldsAreOpenOnlyWhileTheirButtonIsSet) {
  struct TCase {
    TFilterButton opener;
    TFilterButton closer;
    std::vector<TFilterField> fields;
  };
  using B = TFilterButton;
  using F = TFilterField;
  const std::vector<TCase> cases = {
      {B::DateRange, B::AnyDate, {F::FromDate, F::ToDate}},
      {B::AmountRange, B::Payment, {F::FromAmount, F::ToAmount}},
      {B::CodeText, B::NumberOnly, {F::CodeText, F::CodeExact}},
      {B::PayeeText, B::AnyPayee, {F::PayeeText, F::PayeeExact}},
      {B::MemoText, B::AnyMemo, {F::MemoText, F::MemoExact}},
      {B::ByItem, B::Transfer, {F::ItemChoice}},
  };
  const std::vector<F> allFields = {F::FromDate, F::ToDate,    F::FromAmount, F::ToAmount,
                                    F::CodeText, F::CodeExact, F::PayeeText,  F::PayeeExact,
                                    F::MemoText, F::MemoExact, F::ItemChoice};
  TFilterDialogState state(TFilterCriteria::Defaults(TDateValue(15, 3, 2024), 4), LedgerSetup());
  for (F field : allFields)
    EXPECT_FALSE(state.IsEnabled(field)) << static_cast<int>(field);
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.opener));
    state.Choose(c.opener);
    for (F field : allFields) {
      const bool opened = std::find(c.fields.begin(), c.fields.end(), field) != c.fields.end();
      EXPECT_EQ(state.IsEnabled(field), opened) << static_cast<int>(field);
    }
    state.Choose(c.closer);
    for (F field : c.fields)
      EXPECT_FALSE(state.IsEnabled(field)) << static_cast<int>(field);
  }
}

TEST(FilterDialogStateTest, ReportFiltersHideTheViewSettings) {
  TFilterDialogSetup setup = LedgerSetup();
  EXPECT_TRUE(TFilterDialogState(OpeningCriteria(), setup).ShowsViewSettings());
  setup.reportFilter = true;
  EXPECT_FALSE(TFilterDialogState(OpeningCriteria(), setup).ShowsViewSettings());
}

}  // namespace

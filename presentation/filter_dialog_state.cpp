#include "presentation/filter_dialog_state.h"

#include <array>

namespace {

// The button groups of the dialog. A group's first button is its "any" button; `opens` is the
// field that a selecting button hands the focus to.
enum class TGroup { Date, Amount, Code, State, Payee, Memo, Item, Import, View };

struct TButtonInfo {
  TFilterButton button;
  TGroup group;
  bool TFilterCriteria::*member;
  std::optional<TFilterField> opens;
};

using C = TFilterCriteria;
using B = TFilterButton;
using F = TFilterField;

constexpr std::array<TButtonInfo, 26> kButtons = {{
    {B::AnyDate, TGroup::Date, &C::anyDate, {}},
    {B::DateRange, TGroup::Date, &C::dateRange, F::FromDate},
    {B::AnyAmount, TGroup::Amount, &C::anyAmount, {}},
    {B::Deposit, TGroup::Amount, &C::deposit, {}},
    {B::Payment, TGroup::Amount, &C::payment, {}},
    {B::AmountRange, TGroup::Amount, &C::amountRange, F::FromAmount},
    {B::AnyCode, TGroup::Code, &C::anyCode, {}},
    {B::NumberOnly, TGroup::Code, &C::numberOnly, {}},
    {B::NonNumber, TGroup::Code, &C::nonNumber, {}},
    {B::CodeText, TGroup::Code, &C::codeTextOn, F::CodeText},
    {B::AnyState, TGroup::State, &C::anyState, {}},
    {B::NotClearedOrPending, TGroup::State, &C::notClearedOrPending, {}},
    {B::Cleared, TGroup::State, &C::cleared, {}},
    {B::NotCleared, TGroup::State, &C::notCleared, {}},
    {B::AnyPayee, TGroup::Payee, &C::anyPayee, {}},
    {B::PayeeText, TGroup::Payee, &C::payeeTextOn, F::PayeeText},
    {B::AnyMemo, TGroup::Memo, &C::anyMemo, {}},
    {B::MemoText, TGroup::Memo, &C::memoTextOn, F::MemoText},
    {B::AnyItem, TGroup::Item, &C::anyItem, {}},
    {B::Transfer, TGroup::Item, &C::transfer, {}},
    {B::Multiple, TGroup::Item, &C::multiple, {}},
    {B::ByItem, TGroup::Item, &C::byItem, F::ItemChoice},
    {B::AnyImportState, TGroup::Import, &C::anyImportState, {}},
    {B::NewImportOnly, TGroup::Import, &C::newImportOnly, {}},
    {B::NormalView, TGroup::View, &C::normalView, {}},
    {B::ReconcileView, TGroup::View, &C::reconcileView, {}},
}};

const TButtonInfo& InfoOf(TFilterButton button) {
  for (const TButtonInfo& info : kButtons) {
    if (info.button == button)
      return info;
  }
  return kButtons.front();
}

// The selecting button whose setting opens a field.
bool TFilterCriteria::*OpenerOf(TFilterField field) {
  switch (field) {
    case F::FromDate:
    case F::ToDate:
      return &C::dateRange;
    case F::FromAmount:
    case F::ToAmount:
      return &C::amountRange;
    case F::CodeText:
    case F::CodeExact:
      return &C::codeTextOn;
    case F::PayeeText:
    case F::PayeeExact:
      return &C::payeeTextOn;
    case F::MemoText:
    case F::MemoExact:
      return &C::memoTextOn;
    case F::ItemChoice:
      return &C::byItem;
  }
  return &C::byItem;
}

}  // namespace

TFilterDialogState::TFilterDialogState(const TFilterCriteria& opening,
                                       const TFilterDialogSetup& setup)
    : opening_(opening), values_(opening), setup_(setup) {}

bool TFilterDialogState::IsSet(TFilterButton button) const {
  return values_.*(InfoOf(button).member);
}

std::optional<TFilterField> TFilterDialogState::Choose(TFilterButton button) {
  const TButtonInfo& chosen = InfoOf(button);
  for (const TButtonInfo& info : kButtons) {
    if (info.group == chosen.group)
      values_.*(info.member) = false;
  }
  values_.*(chosen.member) = true;
  return chosen.opens;
}

bool TFilterDialogState::IsEnabled(TFilterField field) const {
  return values_.*(OpenerOf(field));
}

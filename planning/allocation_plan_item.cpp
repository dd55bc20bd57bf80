#include "planning/allocation_plan_item.h"

#include "core/amount_expression.h"
#include "core/envelope_list.h"
#include "core/id_object_list.h"
#include "core/user_port.h"
#include "core/vorla_data.h"
#include "planning/allocation_plan.h"
#include "planning/period.h"
#include "transactions/xitem.h"

namespace {

// Amounts this size or larger are no typed amount, and a template item could not hold them.
constexpr double kEntryLimit = 20000000.0;

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos)
    return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

bool IsGroupName(const TEnvelopeList& envelopes, std::string_view name) {
  for (TTreeItem* node = envelopes.RootItem(); node != nullptr;
       node = node->NextInDisplayOrder(true)) {
    if ((dynamic_cast<TBundle*>(node) != nullptr || dynamic_cast<TAssociation*>(node) != nullptr) &&
        EqualNoCase(node->Name(), name)) {
      return true;
    }
  }
  return false;
}

}  // namespace

void TAllocationPlanItem::RemoveColumn(int column) {
  for (int c = column; c + 1 < kColumns; ++c)
    amounts_[static_cast<size_t>(c)] = amounts_[static_cast<size_t>(c + 1)];
  amounts_[kColumns - 1] = TAmount();
}

TAmount TAllocationPlanItem::AmountIn(int column, uint32_t period) const {
  return ConvertPeriodAmount(Amount(column), owner_->ColumnPeriod(column), period);
}

TAmount TAllocationPlanItem::Total(uint32_t period) const {
  TAmount total;
  for (int c = 0; c < kColumns; ++c)
    total += AmountIn(c, period);
  return total;
}

bool TAllocationPlanItem::AmountEditable(int planColumn) const {
  return !name_.empty() && planColumn >= 0 && planColumn < kColumns &&
         owner_->IsColumnUsed(planColumn);
}

std::string TAllocationPlanItem::ColumnText(int column) const {
  if (name_.empty())
    return {};
  if (column == kColName)
    return name_;
  if (column == kColTotal)
    return Total(owner_->ViewPeriod()).Format(TAmount::kThousands);
  const int planColumn = column - kFirstAmount;
  if (planColumn < 0 || planColumn >= kColumns || !owner_->IsColumnUsed(planColumn))
    return {};
  return AmountIn(planColumn, owner_->ViewPeriod()).Format(TAmount::kThousands);
}

TColumnEntry TAllocationPlanItem::EntryFor(int column, unsigned how) const {
  const bool typing = (how & kStartedByTyping) != 0;
  if (column == kColName)
    return {TColumnEntryKind::Text, kNameEditLimit, typing ? "" : name_};
  if (!AmountEditable(column - kFirstAmount))
    return {};
  return {TColumnEntryKind::Amount, kAmountEditLimit, typing ? std::string() : ColumnText(column)};
}

void TAllocationPlanItem::SetColumnText(int column, std::string_view text) {
  if (column == kColName)
    SetNameEntry(text);
  else if (column >= kFirstAmount)
    SetAmountEntry(column - kFirstAmount, text);
}

void TAllocationPlanItem::SetNameEntry(std::string_view text) {
  std::string name = Trimmed(text);
  if (name.size() > kNameEditLimit)
    name.resize(kNameEditLimit);
  if (IsGroupName(owner_->Document().Envelopes(), name)) {
    owner_->User().Tell("Envelope Name",
                        "You cannot enter '" + name +
                            "' here because it is the name of an existing Envelope Bundle or "
                            "Association. You can only enter a new name or the name of an "
                            "existing Envelope.",
                        TMessageIcon::Error);
    return;
  }
  name_ = std::move(name);
  if (name_.empty())
    ClearAmounts();
  owner_->Changed();
}

void TAllocationPlanItem::SetAmountEntry(int planColumn, std::string_view text) {
  if (!AmountEditable(planColumn))
    return;
  // An emptied amount means nothing goes to the envelope from this income.
  const bool empty = Trimmed(text).empty();
  const TAmountParseResult parsed = empty ? TAmountParseResult{} : EvaluateAmountExpression(text);
  const double rounded = parsed.value >= 0 ? parsed.value + 0.005 : parsed.value - 0.005;
  if (parsed.error != kAmountParseOk) {
    owner_->User().Tell("Quenbrook", TXItem::AmountRefusal(text, true), TMessageIcon::Exclamation);
    return;
  }
  const uint32_t period = owner_->ColumnPeriod(planColumn);
  const TAmount stored =
      ConvertPeriodAmount(TAmount(CentsFromEntry(parsed.value)), owner_->ViewPeriod(), period);
  // The column's template keeps the amount in its own period; one that is too large there would
  // not fit its item and is refused like any amount too large to type.
  if (!(rounded > -kEntryLimit && rounded < kEntryLimit) ||
      !(stored.Units() > -kEntryLimit && stored.Units() < kEntryLimit)) {
    owner_->User().Tell(
        "Quenbrook",
        QuotedRefusal(text,
                      "is too large.  An amount must be less than 20,000,000.00 in the period of "
                      "its template."),
        TMessageIcon::Exclamation);
    return;
  }
  SetAmount(planColumn, stored);
  owner_->Changed();
}

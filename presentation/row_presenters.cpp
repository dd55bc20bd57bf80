#include "presentation/row_presenters.h"

#include "planning/allocation_plan_item.h"
#include "planning/template_item.h"
#include "transactions/xitem.h"

TCellAlignment TXItemPresenter::AlignmentOf(int column) const {
  if (column >= TXItem::kColDate && column <= TXItem::kColEnvelopeCleared)
    return TCellAlignment::Center;
  if (column == TXItem::kColPayment || column == TXItem::kColDeposit)
    return TCellAlignment::Right;
  return TCellAlignment::Left;
}

int TXItemPresenter::EditorWidthChars(int column, TColumnEntryKind kind) const {
  switch (kind) {
    case TColumnEntryKind::Text:
      return column == TXItem::kColCode ? 10 : 50;
    case TColumnEntryKind::Date:
      return 8;
    case TColumnEntryKind::Amount:
      return 15;
    default:
      return 0;
  }
}

TCellAlignment TTemplateItemPresenter::AlignmentOf(int column) const {
  return column == TXTemplateItem::kColPayment || column == TXTemplateItem::kColDeposit
             ? TCellAlignment::Right
             : TCellAlignment::Left;
}

int TTemplateItemPresenter::EditorWidthChars(int, TColumnEntryKind kind) const {
  switch (kind) {
    case TColumnEntryKind::Text:
      return 50;
    case TColumnEntryKind::Amount:
      return 15;
    case TColumnEntryKind::EnvelopeList:
      return 20;
    default:
      return 0;
  }
}

TCellAlignment TAllocationPlanItemPresenter::AlignmentOf(int column) const {
  return column == TAllocationPlanItem::kColName ? TCellAlignment::Left : TCellAlignment::Right;
}

int TAllocationPlanItemPresenter::EditorWidthChars(int, TColumnEntryKind kind) const {
  return kind == TColumnEntryKind::Text ? 20 : kind == TColumnEntryKind::Amount ? 12 : 0;
}

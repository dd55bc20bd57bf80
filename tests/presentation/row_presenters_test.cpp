#include "presentation/row_presenters.h"

#include <gtest/gtest.h>

#include "planning/allocation_plan_item.h"
#include "planning/template_item.h"
#include "transactions/xitem.h"

namespace {

TEST(RowPresentersTest, EachKindOfRowPlacesItsTextsAndSizesItsEditors) {
  const TXItemPresenter transactions;
  const TTemplateItemPresenter templates;
  const TAllocationPlanItemPresenter plan;
  using K = TColumnEntryKind;
  using A = TCellAlignment;
  struct TCase {
    const TRowPresenter& presenter;
    int column;
    K kind;
    A alignment;
    int width;
  } cases[] = {
      {transactions, TXItem::kColAccount, K::None, A::Left, 0},
      {transactions, TXItem::kColCode, K::Text, A::Left, 10},
      {transactions, TXItem::kColDate, K::Date, A::Center, 8},
      {transactions, TXItem::kColEnvelopeCleared, K::None, A::Center, 0},
      {transactions, TXItem::kColPayment, K::Amount, A::Right, 15},
      {transactions, TXItem::kColDeposit, K::Amount, A::Right, 15},
      {transactions, TXItem::kColPayableTo, K::Text, A::Left, 50},
      {transactions, TXItem::kColMemo, K::Text, A::Left, 50},
      {templates, TXTemplateItem::kColDescription, K::Text, A::Left, 50},
      {templates, TXTemplateItem::kColPayment, K::Amount, A::Right, 15},
      {templates, TXTemplateItem::kColEnvelope, K::EnvelopeList, A::Left, 20},
      {plan, TAllocationPlanItem::kColName, K::Text, A::Left, 20},
      {plan, TAllocationPlanItem::kColTotal, K::None, A::Right, 0},
      {plan, TAllocationPlanItem::kFirstAmount + 9, K::Amount, A::Right, 12},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(c.presenter.AlignmentOf(c.column), c.alignment) << c.column;
    EXPECT_EQ(c.presenter.EditorWidthChars(c.column, c.kind), c.width) << c.column;
  }
}

}  // namespace

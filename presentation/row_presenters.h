#pragma once

#include "presentation/ledger_cells.h"

/// How a ledger grid lays out one kind of row: where each column's text sits in its cell and
/// how wide an editor over the column is. The rows themselves know nothing of cells.
class TRowPresenter {
 public:
  virtual ~TRowPresenter() = default;
  virtual TCellAlignment AlignmentOf(int column) const = 0;
  /// The width in characters of the editor over `column` for an entry of `kind`.
  virtual int EditorWidthChars(int column, TColumnEntryKind kind) const = 0;
};

/// Transaction rows (`TXItem`): dates and cleared marks centred, amounts at the right.
class TXItemPresenter final : public TRowPresenter {
 public:
  TCellAlignment AlignmentOf(int column) const override;
  int EditorWidthChars(int column, TColumnEntryKind kind) const override;
};

/// Template items (`TXTemplateItem`): amounts at the right.
class TTemplateItemPresenter final : public TRowPresenter {
 public:
  TCellAlignment AlignmentOf(int column) const override;
  int EditorWidthChars(int column, TColumnEntryKind kind) const override;
};

/// Allocation-plan rows (`TAllocationPlanItem`): the name at the left, every amount at the right.
class TAllocationPlanItemPresenter final : public TRowPresenter {
 public:
  TCellAlignment AlignmentOf(int column) const override;
  int EditorWidthChars(int column, TColumnEntryKind kind) const override;
};

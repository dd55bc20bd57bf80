#pragma once

#include <optional>

#include "core/filter_criteria.h"

/// The buttons of "Transaction Filter" that belong to a group of which one is set at a time.
enum class TFilterButton {
  AnyDate,
  DateRange,
  AnyAmount,
  Deposit,
  Payment,
  AmountRange,
  AnyCode,
  NumberOnly,
  NonNumber,
  CodeText,
  AnyState,
  NotClearedOrPending,
  Cleared,
  NotCleared,
  AnyPayee,
  PayeeText,
  AnyMemo,
  MemoText,
  AnyItem,
  Transfer,
  Multiple,
  ByItem,
  AnyImportState,
  NewImportOnly,
  NormalView,
  ReconcileView,
};

/// The fields of "Transaction Filter" that a selecting button enables.
enum class TFilterField {
  FromDate,
  ToDate,
  FromAmount,
  ToAmount,
  CodeText,
  CodeExact,
  PayeeText,
  PayeeExact,
  MemoText,
  MemoExact,
  ItemChoice,
};

/// What the dialog "Transaction Filter" knows apart from its widgets: the values its controls
/// show, the copy taken when it opened (which its "Reset" button puts back, rather than the
/// defaults), the one-of-a-group rule of its buttons and which fields are open for input. A
/// field is enabled exactly while the selecting button of its group is set.
class TFilterDialogState {
 public:
  TFilterDialogState(const TFilterCriteria& opening, const TFilterDialogSetup& setup);

  /// The values the controls show; OK hands these back to the filter.
  const TFilterCriteria& Values() const { return values_; }
  TFilterCriteria& Values() { return values_; }
  /// The criteria as they were when the dialog opened.
  const TFilterCriteria& Opening() const { return opening_; }
  const TFilterDialogSetup& Setup() const { return setup_; }

  bool IsSet(TFilterButton button) const;
  /// The user sets a button: the others of its group go off. Returns the field that takes the
  /// focus (with all its text selected) when the button opens fields, else nothing.
  std::optional<TFilterField> Choose(TFilterButton button);
  bool IsEnabled(TFilterField field) const;
  /// "Normal View", "Reconcile View" and their group are hidden for a report filter.
  bool ShowsViewSettings() const { return !setup_.reportFilter; }
  /// Puts back the copy taken on opening; the enablings follow the restored buttons.
  void Reset() { values_ = opening_; }

 private:
  TFilterCriteria opening_;
  TFilterCriteria values_;
  TFilterDialogSetup setup_;
};

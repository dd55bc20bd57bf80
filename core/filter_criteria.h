#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/date_value.h"
#include "core/item_properties.h"

/// What a ledger or report filter asks of a transaction, one switch per button of the dialog
/// "Transaction Filter". Each group has an "any" button that selects nothing by itself; only
/// the other set buttons of a group take part. The dialog keeps the buttons of a group
/// exclusive; the filter reads every switch as it finds it, so two set buttons of one group
/// both apply.
struct TFilterCriteria {
  /// The code field holds 19 characters, the payee and memo fields 89, as the record does.
  static constexpr size_t kCodeTextLimit = 19;
  static constexpr size_t kTextLimit = 89;

  bool anyDate = true;
  bool dateRange = false;
  TDateValue fromDate;
  TDateValue toDate;

  bool anyAmount = true;
  bool deposit = false;
  bool payment = false;
  bool amountRange = false;
  /// Bounds in currency units; a payment of 50.00 lies at -50.0.
  double fromAmount = -100.0;
  double toAmount = 100.0;

  bool anyCode = true;
  bool numberOnly = false;
  bool nonNumber = false;
  bool codeTextOn = false;
  std::string codeText;
  bool codeExact = false;

  bool anyState = true;
  bool notClearedOrPending = false;
  bool cleared = false;
  bool notCleared = false;

  bool anyPayee = true;
  bool payeeTextOn = false;
  std::string payeeText;
  bool payeeExact = false;

  bool anyMemo = true;
  bool memoTextOn = false;
  std::string memoText;
  bool memoExact = false;

  /// The "account or envelope" group: an account filter picks envelopes here, every other
  /// filter picks accounts.
  bool anyItem = true;
  bool transfer = false;
  bool multiple = false;
  bool byItem = false;
  uint32_t itemId = 0;

  bool anyImportState = true;
  bool newImportOnly = false;

  /// How a ledger opens; these never select records.
  bool normalView = true;
  bool reconcileView = false;

  /// The defaults: the dates run from the first day of today's month to today, and the chosen
  /// item is `firstItemId` (the first envelope for an account filter, else the first account).
  static TFilterCriteria Defaults(TDateValue today, uint32_t firstItemId) {
    TFilterCriteria criteria;
    criteria.fromDate = TDateValue(1, today.Month(), today.Year());
    criteria.toDate = today;
    criteria.itemId = firstItemId;
    return criteria;
  }

  friend bool operator==(const TFilterCriteria&, const TFilterCriteria&) = default;
};

/// What the dialog "Transaction Filter" shows around the criteria: the labels that depend on
/// the kind of filter, whether the view settings are offered, and the items to choose from.
struct TFilterDialogSetup {
  /// True for an account filter: the item group then lists envelopes.
  bool accountFilter = true;
  /// A report filter has no view settings, so the dialog hides them.
  bool reportFilter = false;
  /// Title of the item group: " Envelope " or " Account ".
  std::string itemGroupTitle;
  /// Label of the button that enables the item list: "Envelope:" or "Account:".
  std::string byItemLabel;
  /// Label of the transfer button: "Account Transfer" or "Envelope Transfer".
  std::string transferLabel;
  /// The envelopes (account filter) or accounts (otherwise), in display order.
  std::vector<TItemChoice> choices;
};

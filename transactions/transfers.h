#pragma once

#include <cstdint>
#include <vector>

#include "core/account_transfer_values.h"

class TXItem;
class TXManager;

/// The ledger commands that change a transaction's kind: transfers between accounts or
/// envelopes, multiples, and the choice of envelope, plus zeroing envelopes into another one.
/// Each conversion first takes the amount out of the balances it posted to, changes the kind
/// and posts it again, so that the account total equals the envelope total after every step.
/// Every question is asked and every refusal told through the document's user port; nothing
/// happens for an inert record, and a question answered No changes nothing.
class TXTransfers {
 public:
  static constexpr const char* kMultipleToTransferQuestion =
      "Are you sure you want to change this multiple to a transfer?";
  static constexpr const char* kTransferToMultipleQuestion =
      "Are you sure you want to change this transfer to a multiple?";
  static constexpr const char* kSameEnvelopeRefusal =
      "An envelope cannot transfer to itself.  Please choose another envelope.";
  static constexpr const char* kRetargetQuestion =
      "Are you sure you want to change this transfer to another envelope?";
  static constexpr const char* kStartingBalanceWarning =
      "Your transfer is within a month of the starting transaction for the other account.  Be "
      "sure that the transfer amount is not already included in the starting balance of the "
      "other account.  If it is, this transfer will be counted twice in the other account and "
      "the balance will be wrong.";

  /// "Create Transfer": an account transfer for an account-side record, an envelope transfer
  /// (with the envelope chooser) for an envelope-only one. True when a transfer was made.
  static bool CreateTransfer(TXItem& item);
  /// Makes a payment, deposit, multiple or account transfer half into an account transfer with
  /// the values of the dialog "Account Transfer". True when made.
  static bool CreateAccountTransfer(TXItem& item);
  /// The values "Account Transfer" opens with for `item` (gaps filled with today's date, "xfer"
  /// and the "~t" texts).
  static TActXferValues PrepareAccountTransfer(TXItem& item);
  /// Makes an envelope-only entry into an envelope transfer to `target`, or gives an envelope
  /// transfer a new other half there. Without a target the user chooses one. True when made.
  static bool CreateEnvelopeTransfer(TXItem& item, uint32_t target = 0);
  /// "Create/View Multiple": makes a payment, deposit or account transfer half into a multiple
  /// with one part holding its amount. Returns the identifier of the multiple whose view should
  /// open (the item's own for a multiple, its multiple's for a part), or 0 for none.
  static uint32_t MakeMultiple(TXItem& item);
  /// "Select Envelope": a new envelope for a payment, deposit or part; a transfer half or a
  /// multiple becomes an ordinary payment or deposit in the chosen envelope. True when changed.
  static bool SelectEnvelope(TXItem& item);
  /// "Zero out Envelope": the user chooses the target; then every other selected envelope's
  /// balance moves there through an envelope transfer dated today.
  static void ZeroEnvelopes(TXManager& manager, const std::vector<uint32_t>& selected);
  static void ZeroEnvelopes(TXManager& manager, const std::vector<uint32_t>& selected,
                            uint32_t target);
};

#pragma once

#include <string_view>

class TXItem;

/// Fills a new ledger row from the latest transaction of the payee the user just chose, so that
/// a repeated payment is typed as its payee alone: the latest one in the row's account, else in
/// the whole budget. The row takes that transaction's envelope, amount, memo and its code when
/// the code is not a check number; a multiple's parts (envelope, amount and text each) make the
/// row a multiple; a transfer half gives the payee only. A row that already holds anything is
/// never filled.
class TXRememberedFill {
 public:
  /// Sets `payee` on `item` and fills the rest when the row was empty and the payee has a
  /// transaction; committed with notification. True when anything besides the payee was taken.
  static bool Fill(TXItem& item, std::string_view payee);
};

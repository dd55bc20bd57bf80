#pragma once

#include <cstdint>
#include <string>

#include "core/date_value.h"
#include "core/user_port.h"

/// The values of the dialog "Account Transfer": the amount and both sides of the transfer.
/// The model fills them before the dialog opens and takes them back on OK. The envelope switch
/// and the two envelope fields belong to a group the dialog never shows; they take part only in
/// the validation.
struct TActXferValues {
  /// Currency units; a payment shows as a positive amount.
  double amount = 0;
  uint32_t fromAccount = 0;
  bool envelopeTransfer = false;
  uint32_t fromEnvelope = 0;
  TDateValue fromDate;
  std::string fromCode;
  std::string fromPayee;
  std::string fromMemo;
  uint32_t toAccount = 0;
  uint32_t toEnvelope = 0;
  TDateValue toDate;
  std::string toCode;
  std::string toPayee;
  std::string toMemo;
  /// The from-account list may be changed only when the record has no account yet; from a
  /// ledger it is fixed to the ledger's account.
  bool fromAccountEnabled = false;
};

/// The check the dialog runs on OK: each refusal is told (caption "Error", exclamation) and
/// keeps the dialog open. True when the values may be taken.
inline bool ValidateAccountTransfer(const TActXferValues& values, TUserPort& user) {
  const char* refusal = nullptr;
  if (values.amount == 0) {
    refusal = "You must enter an amount to transfer.";
  } else if (values.fromAccount == values.toAccount) {
    refusal = "You cannot transfer to and from the same Account.";
  } else if (values.envelopeTransfer && values.fromEnvelope == values.toEnvelope) {
    refusal = "You cannot transfer to and from the same Envelope.";
  }
  if (refusal == nullptr)
    return true;
  user.Tell("Error", refusal, TMessageIcon::Exclamation);
  return false;
}

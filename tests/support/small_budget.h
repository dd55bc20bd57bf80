#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "core/document_file.h"
#include "core/vorla_data.h"
#include "tests/support/recording_user_port.h"
#include "transactions/account_wizard.h"
#include "transactions/xmanager.h"

/// Saves at `path` a budget made as a user makes one on 3 April 2021: the starter envelope, the
/// account Checking from the wizard with 100.00 on 1 April, and a payment of 12.50 to `payee`
/// coded 1042 on 2 April. `change` may alter (or damage) it before it is saved.
inline bool WriteSmallBudget(const std::filesystem::path& path, std::string_view payee,
                             const std::function<void(TVorlaData&)>& change = {}) {
  TRecordingUserPort user;
  TFixedClock clock(TDateValue(3, 4, 2021));
  TModelEnvironment environment{user, clock};
  TVorlaData document(environment);
  document.AddStarterEnvelope();
  auto& manager = TransactionsOf(document);
  TAccount* account =
      TAccountWizard(manager).AddAccount({"Checking", "", 1, 100, TDateValue(1, 4, 2021)});
  TXRecord row{};
  row.Flags = kXAccountSide;
  row.AccountId = account->Id();
  row.EnvelopeId = account->DefaultEnvelope();
  TXHold payment(manager.Create(row));
  payment->SetColumnText(TXItem::kColDateWithYear, "4/2/21");
  payment->SetColumnText(TXItem::kColPayableTo, payee);
  payment->SetColumnText(TXItem::kColCode, "1042");
  payment->SetColumnText(TXItem::kColPayment, "12.5");
  payment.reset();
  if (change)
    change(document);
  return WriteDocumentFile(path.string(), document).Ok();
}

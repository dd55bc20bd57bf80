#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/account_list.h"
#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/model_environment.h"
#include "core/vorla_data.h"
#include "tests/support/recording_user_port.h"
#include "transactions/account_wizard.h"
#include "transactions/budget_invariants.h"
#include "transactions/transfers.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"

/// A small budget made the way a user makes one: the envelopes Unallocated, Groceries, Dining
/// and Rent, and the accounts Checking and Savings from the account wizard with no starting
/// balance. Today is 15 March 2024. Rows are typed into the way a ledger does it.
class BudgetTest : public ::testing::Test {
 protected:
  BudgetTest() {
    document.AddStarterEnvelope();
    unallocated = document.Envelopes().EnvelopeIdOfName("Unallocated");
    groceries = AddEnvelope("Groceries");
    dining = AddEnvelope("Dining");
    rent = AddEnvelope("Rent");
    TAccountWizard wizard(Manager());
    savings = wizard.AddAccount({"Savings", "", 2, 0, TDateValue(1, 1, 2024)})->Id();
    checking = wizard.AddAccount({"Checking", "", 1, 0, TDateValue(1, 1, 2024)})->Id();
    // The wizard's zero starting balances are records too; the tests start from a clean store.
    Manager().DeleteAll(TXAnyFilter());
    user.Clear();
  }

  TXManager& Manager() { return TransactionsOf(document); }
  TAccountList& Accounts() { return document.Accounts(); }
  TEnvelopeList& Envelopes() { return document.Envelopes(); }

  uint32_t AddEnvelope(std::string_view name) {
    return document.Envelopes().AddEnvelope(document.Envelopes().Root(), name, true)->Id();
  }

  /// An empty row of an account ledger: what the ledger makes before the user types.
  TXHold NewAccountRow(uint32_t account) {
    return NewRow(kXAccountSide, account, Accounts().GetDefaultEnvelope(account));
  }
  /// An empty row of an envelope ledger.
  TXHold NewEnvelopeRow(uint32_t envelope) { return NewRow(kXEnvelopeOnly, 0, envelope); }
  TXHold NewRow(uint32_t flags, uint32_t account, uint32_t envelope) {
    TXRecord row{};
    row.Flags = flags;
    row.AccountId = account;
    row.EnvelopeId = envelope;
    row.date = TDateValue(0, 0, clock.Today().Year());
    row.created = clock.Today();
    return Manager().Create(row);
  }

  /// Types a transaction into a new row of an account ledger: date, payee, envelope and the
  /// amount (negative cents go into the Payment column).
  TXHold Type(uint32_t account, std::string_view date, std::string_view payee, int32_t cents,
              uint32_t envelope = 0, std::string_view code = {}) {
    TXHold row = NewAccountRow(account);
    row->SetColumnText(TXItem::kColDate, date);
    if (!code.empty())
      row->SetColumnText(TXItem::kColCode, code);
    row->SetColumnText(TXItem::kColPayableTo, payee);
    if (envelope != 0)
      row->SetColumnText(TXItem::kColEnvelope, Envelopes().NameOfEnvelope(envelope));
    TypeAmount(*row, cents);
    return row;
  }
  /// Types an amount into a row with the ledger's two amount columns.
  static void TypeAmount(TXItem& row, int32_t cents) {
    const int64_t size = cents < 0 ? -int64_t{cents} : cents;
    const std::string text = std::to_string(size / 100) + "." + (size % 100 < 10 ? "0" : "") +
                             std::to_string(size % 100);
    row.SetColumnText(cents < 0 ? TXItem::kColPayment : TXItem::kColDeposit, text);
  }

  /// Makes `row` an account transfer to `account` through the dialog, answered with OK.
  bool TransferTo(TXItem& row, uint32_t account) {
    user.ScriptAccountTransfer([account](TActXferValues& values) {
      values.toAccount = account;
      return true;
    });
    return TXTransfers::CreateAccountTransfer(row);
  }
  /// Adds a part in `envelope` to `multiple` and types `payment` into it.
  TXHold AddPart(const TXItem& multiple, uint32_t envelope, std::string_view payment) {
    TXRecord part{};
    part.Flags = kXMultipleKid | kXMultiplePart | kXAccountSide;
    part.AccountId = multiple.Record().AccountId;
    part.EnvelopeId = envelope;
    part.ParentId = multiple.Id();
    TXHold kid(Manager().Create(part));
    kid->SetColumnText(TXItem::kColPayment, payment);
    return kid;
  }

  int32_t Balance(uint32_t account) { return Accounts().GetBalance(account); }
  int32_t Cleared(uint32_t account) { return Accounts().GetRecBalance(account); }
  int32_t EnvelopeBalance(uint32_t envelope) { return Envelopes().EnvelopeBalance(envelope); }
  int32_t EnvelopeCleared(uint32_t envelope) { return Envelopes().EnvelopeRecBalance(envelope); }

  /// The records of the store that are not dead, in store order.
  std::vector<TXRecord> Records() {
    std::vector<TXRecord> records;
    const TXStore& store = Manager().Store();
    for (uint32_t index = 1; index <= store.Count(); ++index) {
      if (store.At(index).Flags != 0)
        records.push_back(store.At(index));
    }
    return records;
  }
  std::vector<TXRecord> RecordsOf(const TXFilter& filter) {
    std::vector<TXRecord> records;
    for (const TXRecord& record : Records()) {
      if (filter.Accepts(record))
        records.push_back(record);
    }
    return records;
  }

  /// Every balance agrees with the records, the totals agree, and every link holds.
  void ExpectSound() {
    const std::vector<std::string> balances = CheckBudgetBalances(document);
    EXPECT_TRUE(balances.empty()) << balances.front();
    const std::vector<std::string> links = CheckTransactionLinks(Manager());
    EXPECT_TRUE(links.empty()) << links.front();
    EXPECT_TRUE(Manager().Store().CheckConsistency());
  }

  TRecordingUserPort user;
  TFixedClock clock{TDateValue(15, 3, 2024)};
  TModelEnvironment environment{user, clock};
  TVorlaData document{environment};
  uint32_t unallocated = 0;
  uint32_t groceries = 0;
  uint32_t dining = 0;
  uint32_t rent = 0;
  uint32_t checking = 0;
  uint32_t savings = 0;
};

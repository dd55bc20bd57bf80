// Transfers and multiples: making, remaking and undoing them, with their questions, the
// dialog "Account Transfer" and the starting-balance warning.
#include "transactions/transfers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/transactions/budget_fixture.h"

namespace {

using TransferTest = BudgetTest;

// A press of OK with the dialog's values changed by `change`.
template <class Change>
std::function<bool(TActXferValues&)> Ok(Change change) {
  return [change](TActXferValues& values) {
    change(values);
    return true;
  };
}
std::function<bool(TActXferValues&)> Cancel() {
  return [](TActXferValues&) { return false; };
}

// ---- Account transfers ----------------------------------------------------------------------

TEST_F(TransferTest, APaymentBecomesATransferAndItsEnvelopeGetsTheMoneyBack) {
  TXHold payment = Type(checking, "3/10", "Move", -12000, groceries);
  ASSERT_TRUE(TransferTo(*payment, savings));
  EXPECT_TRUE(payment->Record().IsAccountTransfer());
  EXPECT_EQ(payment->Record().EnvelopeId, 0u);
  EXPECT_EQ(payment->Record().amount, -12000);
  EXPECT_EQ(Balance(checking), -12000);
  EXPECT_EQ(Balance(savings), 12000);
  EXPECT_EQ(EnvelopeBalance(groceries), 0);
  TXHold partner(Manager().Get(payment->Record().PartnerId));
  EXPECT_EQ(partner->Record().PartnerId, payment->Id());
  EXPECT_EQ(partner->Record().amount, 12000);
  EXPECT_EQ(partner->ColumnText(TXItem::kColPayableToExpanded), "Transfer from Checking");
  EXPECT_EQ(payment->ColumnText(TXItem::kColMemoExpanded), "Transfer to Savings");
  EXPECT_EQ(payment->ColumnText(TXItem::kColEnvelope), "Account Transfer");
  ExpectSound();
}

TEST_F(TransferTest, TheDialogOpensWithBothSidesFilledIn) {
  TXHold payment = NewAccountRow(checking);
  payment->SetColumnText(TXItem::kColPayment, "75.5");
  user.ScriptAccountTransfer(Cancel());
  EXPECT_FALSE(TXTransfers::CreateAccountTransfer(*payment));
  ASSERT_EQ(user.AccountTransferDialogs().size(), 1u);
  const TActXferValues& shown = user.AccountTransferDialogs()[0];
  EXPECT_DOUBLE_EQ(shown.amount, 75.5);
  EXPECT_EQ(shown.fromAccount, checking);
  EXPECT_FALSE(shown.fromAccountEnabled);
  EXPECT_EQ(shown.fromEnvelope, unallocated);
  EXPECT_FALSE(shown.envelopeTransfer);
  EXPECT_EQ(shown.fromDate, clock.Today());
  EXPECT_EQ(shown.fromCode, "xfer");
  EXPECT_EQ(shown.fromPayee, "Transfer to ~t");
  EXPECT_EQ(shown.fromMemo, "");
  EXPECT_EQ(shown.toAccount, Accounts().NthAccountId(1));
  EXPECT_EQ(shown.toDate, clock.Today());
  EXPECT_EQ(shown.toCode, "xfer");
  EXPECT_EQ(shown.toPayee, "Transfer from ~t");
  EXPECT_EQ(user.Dialogs().back().choices.size(), 2u);
  // Cancel changes nothing.
  EXPECT_TRUE(payment->Record().IsPayment());
  EXPECT_EQ(Balance(checking), -7550);
  ExpectSound();
}

TEST_F(TransferTest, TheDialogRefusesNoAmountAndOneAccountForBothSides) {
  TXHold payment = Type(checking, "3/10", "Move", -12000, groceries);
  user.ScriptAccountTransfer(Ok([](TActXferValues& values) { values.amount = 0; }));
  user.ScriptAccountTransfer(Ok([&](TActXferValues& values) {
    values.amount = 50;
    values.toAccount = checking;
  }));
  user.ScriptAccountTransfer(Ok([&](TActXferValues& values) {
    values.toAccount = savings;
    values.envelopeTransfer = true;
    values.fromEnvelope = values.toEnvelope = dining;
  }));
  user.ScriptAccountTransfer(Ok([](TActXferValues& values) { values.envelopeTransfer = false; }));
  ASSERT_TRUE(TXTransfers::CreateAccountTransfer(*payment));
  const std::vector<std::string> expected = {
      "You must enter an amount to transfer.",
      "You cannot transfer to and from the same Account.",
      "You cannot transfer to and from the same Envelope.",
  };
  EXPECT_EQ(user.Texts(), expected);
  for (const TMessage& message : user.Messages()) {
    EXPECT_EQ(message.caption, "Error");
    EXPECT_EQ(message.icon, TMessageIcon::Exclamation);
  }
  EXPECT_EQ(Balance(savings), 5000);
  EXPECT_EQ(EnvelopeBalance(dining), 0);
  ExpectSound();
}

TEST_F(TransferTest, MakingTheTransferAgainReplacesTheOtherHalf) {
  TXHold payment = Type(checking, "3/10", "Move", -12000, groceries);
  ASSERT_TRUE(TransferTo(*payment, savings));
  user.ScriptAccountTransfer(Ok([](TActXferValues& values) { values.amount = 80; }));
  ASSERT_TRUE(TXTransfers::CreateAccountTransfer(*payment));
  ASSERT_EQ(user.AccountTransferDialogs().size(), 2u);
  EXPECT_DOUBLE_EQ(user.AccountTransferDialogs()[1].amount, 120);
  EXPECT_EQ(user.AccountTransferDialogs()[1].toAccount, savings);
  EXPECT_EQ(payment->Record().amount, -8000);
  const std::vector<TXRecord> inSavings = RecordsOf(TAccountFilter(savings));
  ASSERT_EQ(inSavings.size(), 1u);
  EXPECT_EQ(inSavings[0].amount, 8000);
  EXPECT_EQ(inSavings[0].Id, payment->Record().PartnerId);
  EXPECT_EQ(Balance(checking), -8000);
  EXPECT_EQ(Balance(savings), 8000);
  ExpectSound();
}

TEST_F(TransferTest, ATransferCloseToTheOtherAccountsStartIsWarnedAbout) {
  struct Case {
    const char* date;
    bool withStart;  // without any other transaction there is no start to be close to
    bool warned;
  };
  for (const Case& c :
       {Case{"3/10/24", true, true}, Case{"3/31/24", true, true}, Case{"4/1/24", true, false},
        Case{"5/1/24", true, false}, Case{"3/10/24", false, false}}) {
    Manager().DeleteAll(TXAnyFilter());
    if (c.withStart) {
      TXRecord start{};
      start.Flags = kXImported;
      start.AccountId = savings;
      start.EnvelopeId = unallocated;
      start.date = TDateValue(1, 3, 2024);
      start.SetCode("Start");
      Manager().Create(start).reset();
    }
    TXHold payment = Type(checking, c.date, "Move", -500, groceries);
    user.Clear();
    ASSERT_TRUE(TransferTo(*payment, savings));
    if (c.warned) {
      ASSERT_EQ(user.Messages().size(), 1u) << c.date;
      EXPECT_EQ(user.Messages()[0].text, TXTransfers::kStartingBalanceWarning);
      EXPECT_EQ(user.Messages()[0].caption, "Quenbrook");
    } else {
      EXPECT_TRUE(user.Messages().empty()) << c.date << " " << c.withStart;
    }
  }
}

TEST_F(TransferTest, AMultipleBecomesATransferOnlyOnYes) {
  TXHold payment = Type(checking, "3/10", "Split", -9000, groceries);
  TXTransfers::MakeMultiple(*payment);
  user.Script(TMessageAnswer::No);
  EXPECT_FALSE(TXTransfers::CreateTransfer(*payment));
  EXPECT_EQ(user.Texts(), std::vector<std::string>{TXTransfers::kMultipleToTransferQuestion});
  EXPECT_TRUE(user.AccountTransferDialogs().empty());
  EXPECT_EQ(Manager().Count(TMultKidsFilter(payment->Id())), 1u);

  user.Script(TMessageAnswer::Yes);
  user.ScriptAccountTransfer(Ok([&](TActXferValues& values) { values.toAccount = savings; }));
  ASSERT_TRUE(TXTransfers::CreateTransfer(*payment));
  EXPECT_EQ(Manager().Count(TMultKidsFilter(payment->Id())), 0u);
  EXPECT_TRUE(payment->Record().IsAccountTransfer());
  EXPECT_EQ(Balance(savings), 9000);
  EXPECT_EQ(EnvelopeBalance(groceries), 0);
  ExpectSound();
}

// ---- Multiples ------------------------------------------------------------------------------

TEST_F(TransferTest, ADepositBecomesAMultipleWithOnePartInItsEnvelope) {
  TXHold deposit = Type(checking, "3/10", "Paycheck", 20000, groceries, "77");
  EXPECT_EQ(TXTransfers::MakeMultiple(*deposit), deposit->Id());
  EXPECT_TRUE(deposit->Record().IsMultiple());
  EXPECT_EQ(deposit->ColumnText(TXItem::kColEnvelope), "Multiple");
  const std::vector<TXRecord> parts = RecordsOf(TMultKidsFilter(deposit->Id()));
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].amount, 20000);
  EXPECT_EQ(parts[0].EnvelopeId, groceries);
  EXPECT_EQ(parts[0].GetCode(), "m.77");

  // A part typed into the multiple's view.
  TXHold part = AddPart(*deposit, Accounts().GetDefaultEnvelope(checking), "50");
  EXPECT_EQ(deposit->Record().amount, 15000);
  EXPECT_EQ(Balance(checking), 15000);
  // The multiple's view and the part's view are both the multiple's.
  EXPECT_EQ(TXTransfers::MakeMultiple(*deposit), deposit->Id());
  EXPECT_EQ(TXTransfers::MakeMultiple(*part), deposit->Id());
  // A row of nothing becomes a multiple without parts.
  TXHold row = NewAccountRow(checking);
  row->SetColumnText(TXItem::kColPayableTo, "Later");
  TXTransfers::MakeMultiple(*row);
  EXPECT_TRUE(row->Record().IsMultiple());
  EXPECT_EQ(Manager().Count(TMultKidsFilter(row->Id())), 0u);
  ExpectSound();
}

TEST_F(TransferTest, ATransferHalfBecomesAMultipleOnYesAndItsPartnerGoes) {
  TXHold payment = Type(checking, "3/10", "Move", -12000, groceries);
  ASSERT_TRUE(TransferTo(*payment, savings));
  user.Clear();
  user.Script(TMessageAnswer::No);
  EXPECT_EQ(TXTransfers::MakeMultiple(*payment), 0u);
  EXPECT_TRUE(payment->Record().IsAccountTransfer());
  user.Script(TMessageAnswer::Yes);
  EXPECT_EQ(TXTransfers::MakeMultiple(*payment), payment->Id());
  EXPECT_EQ(user.Texts(), std::vector<std::string>(2, TXTransfers::kTransferToMultipleQuestion));
  EXPECT_TRUE(RecordsOf(TAccountFilter(savings)).empty());
  const std::vector<TXRecord> parts = RecordsOf(TMultKidsFilter(payment->Id()));
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].EnvelopeId, unallocated);
  EXPECT_EQ(Balance(checking), -12000);
  EXPECT_EQ(Balance(savings), 0);
  ExpectSound();
}

// ---- Select Envelope ------------------------------------------------------------------------

TEST_F(TransferTest, SelectEnvelopeOnAMultipleLeavesOnePaymentWithoutParts) {
  TXHold payment = Type(checking, "3/10", "Split", -5000, groceries);
  TXTransfers::MakeMultiple(*payment);
  AddPart(*payment, dining, "15");
  AddPart(*payment, rent, "10");
  ASSERT_EQ(Manager().Count(TMultKidsFilter(payment->Id())), 3u);
  ASSERT_EQ(payment->Record().amount, -7500);
  user.ScriptEnvelopeChoice(rent);
  ASSERT_TRUE(TXTransfers::SelectEnvelope(*payment));
  EXPECT_TRUE(payment->Record().IsPayment());
  EXPECT_EQ(payment->Record().amount, -7500);
  EXPECT_EQ(payment->Record().EnvelopeId, rent);
  EXPECT_EQ(Manager().Count(TMultKidsFilter(payment->Id())), 0u);
  EXPECT_EQ(EnvelopeBalance(rent), -7500);
  EXPECT_EQ(EnvelopeBalance(groceries), 0);
  EXPECT_EQ(EnvelopeBalance(dining), 0);
  ExpectSound();
}

TEST_F(TransferTest, SelectEnvelopeOnATransferHalfMakesItAPaymentThere) {
  TXHold payment = Type(checking, "3/10", "Move", -12000, groceries);
  ASSERT_TRUE(TransferTo(*payment, savings));
  user.ScriptEnvelopeChoice(dining);
  ASSERT_TRUE(TXTransfers::SelectEnvelope(*payment));
  EXPECT_TRUE(payment->Record().IsPayment());
  EXPECT_EQ(payment->Record().PartnerId, 0u);
  EXPECT_EQ(EnvelopeBalance(dining), -12000);
  EXPECT_EQ(Balance(savings), 0);
  EXPECT_TRUE(RecordsOf(TAccountFilter(savings)).empty());
  ExpectSound();
}

TEST_F(TransferTest, SelectEnvelopeMovesAPaymentAndAPartAndCancelKeepsThem) {
  TXHold payment = Type(checking, "3/10", "Food", -3000, groceries);
  user.ScriptEnvelopeChoice(std::nullopt);
  EXPECT_FALSE(TXTransfers::SelectEnvelope(*payment));
  EXPECT_EQ(payment->Record().EnvelopeId, groceries);
  user.ScriptEnvelopeChoice(dining);
  EXPECT_TRUE(TXTransfers::SelectEnvelope(*payment));
  EXPECT_EQ(EnvelopeBalance(dining), -3000);
  TXTransfers::MakeMultiple(*payment);
  TXHold part(Manager().First(TMultKidsFilter(payment->Id())));
  user.ScriptEnvelopeChoice(rent);
  EXPECT_TRUE(TXTransfers::SelectEnvelope(*part));
  EXPECT_EQ(EnvelopeBalance(rent), -3000);
  EXPECT_EQ(EnvelopeBalance(dining), 0);
  TXHold entry = NewEnvelopeRow(groceries);
  EXPECT_FALSE(TXTransfers::SelectEnvelope(*entry));
  ExpectSound();
}

// ---- Envelope transfers ---------------------------------------------------------------------

TEST_F(TransferTest, AnEnvelopeEntryBecomesATransferToTheChosenEnvelope) {
  Type(checking, "3/1", "Pay", 100000, groceries);
  TXHold entry = NewEnvelopeRow(groceries);
  entry->SetColumnText(TXItem::kColPayment, "50");
  user.ScriptEnvelopeChoice(dining);
  ASSERT_TRUE(TXTransfers::CreateTransfer(*entry));
  ASSERT_EQ(user.Dialogs().size(), 1u);
  EXPECT_EQ(user.Dialogs()[0].dialog, "choose-envelope");
  EXPECT_EQ(entry->ColumnText(TXItem::kColPayableToExpanded), "Transfer to Dining");
  EXPECT_EQ(entry->Record().GetCode(), "xfer");
  EXPECT_EQ(entry->Record().date, clock.Today());
  TXHold partner(Manager().Get(entry->Record().PartnerId));
  EXPECT_EQ(partner->Record().amount, 5000);
  EXPECT_EQ(partner->Record().EnvelopeId, dining);
  EXPECT_EQ(partner->ColumnText(TXItem::kColPayableToExpanded), "Transfer from Groceries");
  EXPECT_EQ(EnvelopeBalance(groceries), 95000);
  EXPECT_EQ(EnvelopeBalance(dining), 5000);
  ExpectSound();
}

TEST_F(TransferTest, AnEmptyEnvelopeEntryGivesTwoEmptyHalves) {
  TXHold entry = NewEnvelopeRow(groceries);
  ASSERT_TRUE(TXTransfers::CreateEnvelopeTransfer(*entry, rent));
  EXPECT_EQ(entry->Record().GetPayableTo(), "Transfer to ~t");
  EXPECT_EQ(entry->Record().amount, 0);
  TXHold partner(Manager().Get(entry->Record().PartnerId));
  EXPECT_EQ(partner->Record().amount, 0);
  EXPECT_EQ(partner->Record().GetPayableTo(), "Transfer from ~t");
  EXPECT_TRUE(entry->Record().IsLive());
  ExpectSound();
}

TEST_F(TransferTest, ChangingAnEnvelopeTransfersTarget) {
  Type(checking, "3/1", "Pay", 100000, groceries);
  TXHold entry = NewEnvelopeRow(groceries);
  entry->SetColumnText(TXItem::kColPayment, "50");
  ASSERT_TRUE(TXTransfers::CreateEnvelopeTransfer(*entry, dining));
  const uint32_t firstPartner = entry->Record().PartnerId;

  // No keeps it; the envelope it already uses is refused with a word and asked again (here
  // cancelled), changing nothing; another one moves the other half.
  user.Script(TMessageAnswer::No);
  EXPECT_FALSE(TXTransfers::CreateEnvelopeTransfer(*entry, rent));
  user.Script(TMessageAnswer::Yes);
  user.ScriptEnvelopeChoice(groceries);
  user.ScriptEnvelopeChoice(std::nullopt);
  EXPECT_FALSE(TXTransfers::CreateEnvelopeTransfer(*entry));
  EXPECT_EQ(entry->Record().PartnerId, firstPartner);
  EXPECT_EQ(user.Texts(), (std::vector<std::string>{TXTransfers::kRetargetQuestion,
                                                    TXTransfers::kRetargetQuestion,
                                                    TXTransfers::kSameEnvelopeRefusal}));
  user.Script(TMessageAnswer::Yes);
  ASSERT_TRUE(TXTransfers::CreateEnvelopeTransfer(*entry, rent));
  EXPECT_TRUE(RecordsOf(TEnvelopeFilter(dining)).empty());
  EXPECT_EQ(EnvelopeBalance(dining), 0);
  EXPECT_EQ(EnvelopeBalance(rent), 5000);
  EXPECT_EQ(EnvelopeBalance(groceries), 95000);
  EXPECT_EQ(entry->ColumnText(TXItem::kColPayableToExpanded), "Transfer to Rent");
  ExpectSound();
}

TEST_F(TransferTest, EnvelopeTransferHalvesClearOnTheirEnvelopeSide) {
  TXHold entry = NewEnvelopeRow(groceries);
  entry->SetColumnText(TXItem::kColPayment, "50");
  entry->SetColumnText(TXItem::kColEnvelopeCleared, "x");  // refused: not yet a transfer
  ASSERT_TRUE(TXTransfers::CreateEnvelopeTransfer(*entry, dining));
  entry->ToggleEnvelopeCleared();
  EXPECT_EQ(EnvelopeCleared(groceries), -5000);
  entry->Erase();
  EXPECT_EQ(EnvelopeCleared(groceries), 0);
  EXPECT_EQ(EnvelopeBalance(groceries), 0);
  EXPECT_EQ(EnvelopeBalance(dining), 0);
  ExpectSound();
}

// ---- Zeroing envelopes ----------------------------------------------------------------------

TEST_F(TransferTest, ZeroingMovesEveryBalanceToTheTargetThroughTransfers) {
  Type(checking, "3/1", "Pay", 100000, groceries);
  Type(checking, "3/2", "Pay", 30000, dining);
  Type(checking, "3/3", "Dinner", -45000, rent);
  user.ScriptEnvelopeChoice(unallocated);
  TXTransfers::ZeroEnvelopes(Manager(), {groceries, dining, rent, unallocated, 999});
  EXPECT_EQ(EnvelopeBalance(groceries), 0);
  EXPECT_EQ(EnvelopeBalance(dining), 0);
  EXPECT_EQ(EnvelopeBalance(rent), 0);
  EXPECT_EQ(EnvelopeBalance(unallocated), 85000);
  int halves = 0;
  for (const TXRecord& record : Records()) {
    if (!record.IsEnvelopeTransfer())
      continue;
    ++halves;
    EXPECT_EQ(record.date, clock.Today());
  }
  EXPECT_EQ(halves, 6);
  ExpectSound();

  user.ScriptEnvelopeChoice(std::nullopt);
  TXTransfers::ZeroEnvelopes(Manager(), {unallocated});
  EXPECT_EQ(EnvelopeBalance(unallocated), 85000);
}

}  // namespace

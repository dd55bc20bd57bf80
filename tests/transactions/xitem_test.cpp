// The transaction item: posting by kind, the cells a ledger types into, clearing, erasing and
// the "~" placeholders.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/transactions/budget_fixture.h"
#include "transactions/transfers.h"

namespace {

using ItemTest = BudgetTest;

// ---- Posting --------------------------------------------------------------------------------

TEST_F(ItemTest, ChangeAmountMovesExactlyTheBalancesOfTheRecordsKind) {
  struct Case {
    const char* name;
    uint32_t flags;
    bool cleared;
    int32_t checkingDelta;
    int32_t checkingClearedDelta;
    int32_t groceriesDelta;
    int32_t groceriesClearedDelta;
  };
  const std::vector<Case> cases = {
      {"payment", kXNewPayment, false, -700, 0, -700, 0},
      {"cleared payment", kXNewPayment, true, -700, -700, -700, -700},
      {"envelope entry", kXNewEnvelopeEntry, false, 0, 0, 0, 0},
      {"multiple", kXNewMultiple, true, -700, -700, 0, 0},
  };
  for (const Case& c : cases) {
    TXRecord record{};
    record.Flags = c.flags;
    record.AccountId = (c.flags & kXAccountSide) ? checking : 0;
    record.EnvelopeId = c.flags == kXNewMultiple ? 0 : groceries;
    record.AccountCleared = c.cleared ? 1 : 0;
    record.EnvelopeCleared = c.cleared ? 1 : 0;
    const int32_t before[4] = {Balance(checking), Cleared(checking), EnvelopeBalance(groceries),
                               EnvelopeCleared(groceries)};
    TXHold item(Manager().Create(record));
    item->ChangeAmount(-700, false);
    EXPECT_EQ(item->Record().amount, -700) << c.name;
    EXPECT_EQ(Balance(checking) - before[0], c.checkingDelta) << c.name;
    EXPECT_EQ(Cleared(checking) - before[1], c.checkingClearedDelta) << c.name;
    EXPECT_EQ(EnvelopeBalance(groceries) - before[2], c.groceriesDelta) << c.name;
    EXPECT_EQ(EnvelopeCleared(groceries) - before[3], c.groceriesClearedDelta) << c.name;
    item->ChangeAmount(700, false);
  }
}

TEST_F(ItemTest, APartPostsItsEnvelopeAndTheAccountThroughItsMultiple) {
  TXHold payment = Type(checking, "3/1", "Market", -9000, groceries);
  TXTransfers::MakeMultiple(*payment);
  AddPart(*payment, dining, "15");
  EXPECT_EQ(payment->Record().amount, -10500);
  EXPECT_EQ(Balance(checking), -10500);
  EXPECT_EQ(EnvelopeBalance(groceries), -9000);
  EXPECT_EQ(EnvelopeBalance(dining), -1500);
  // The multiple's amount is its parts' sum: it takes no typed amount.
  payment->SetColumnText(TXItem::kColDeposit, "99");
  EXPECT_EQ(payment->Record().amount, -10500);
  EXPECT_EQ(payment->EntryFor(TXItem::kColDeposit, 0).kind, TColumnEntryKind::None);
  ExpectSound();
}

TEST_F(ItemTest, SetAmountFromALargePaymentToALargeDepositStaysExact) {
  TXHold row = Type(checking, "3/2", "Big", 0);
  row->SetAmount(-1999999999);
  row->SetAmount(1999999999);
  EXPECT_EQ(row->Record().amount, 1999999999);
  EXPECT_EQ(Balance(checking), 1999999999);
  ExpectSound();
}

// ---- Amount entry ---------------------------------------------------------------------------

TEST_F(ItemTest, AmountColumnsShowSizesAndTypedTextBecomesCents) {
  struct Case {
    int column;
    const char* typed;
    int32_t cents;
  };
  const std::vector<Case> cases = {
      {TXItem::kColDeposit, "25", 2500},      {TXItem::kColPayment, "-5", 500},
      {TXItem::kColPayment, "12.345", -1235}, {TXItem::kColDeposit, "19999999.99", 1999999999},
      {TXItem::kColDeposit, "20000000", 0},   {TXItem::kColPayment, "1,234.5", -123450},
      {TXItem::kColDeposit, "10+5*2", 2000},  {TXItem::kColDeposit, "12abc", 0},
  };
  for (const Case& c : cases) {
    TXHold row = NewAccountRow(checking);
    row->SetColumnText(TXItem::kColPayableTo, "x");
    row->SetColumnText(c.column, c.typed);
    EXPECT_EQ(row->Record().amount, c.cents) << c.typed;
    EXPECT_EQ(row->LastAmountText(), c.typed);
  }
  TXHold deposit = Type(checking, "3/3", "Pay", 2500);
  EXPECT_EQ(deposit->ColumnText(TXItem::kColPayment), "0.00");
  EXPECT_EQ(deposit->ColumnText(TXItem::kColDeposit), "25.00");
  TXHold payment = Type(checking, "3/3", "Rent", -123456789);
  EXPECT_EQ(payment->ColumnText(TXItem::kColPayment), "1,234,567.89");
  EXPECT_EQ(payment->ColumnText(TXItem::kColDeposit), "0.00");
  ExpectSound();
}

TEST_F(ItemTest, TextThatIsNoAmountOrDateIsRefusedAndTheRowKeepsItsValues) {
  TXHold row = Type(checking, "3/3", "Pay", 2500);
  const TDateValue dated = row->Record().date;
  for (const char* typed : {"12abc", "(1+2", "5/0", "20000000"}) {
    user.Clear();
    row->SetColumnText(TXItem::kColDeposit, typed);
    EXPECT_EQ(row->Record().amount, 2500) << typed;
    ASSERT_EQ(user.Messages().size(), 1u) << typed;
    EXPECT_NE(user.Messages()[0].text.find(typed), std::string::npos);
    EXPECT_EQ(row->LastAmountText(), typed) << "the editor reopens with what was typed";
  }
  for (const char* typed : {"13/45", "2/29/2011", "x"}) {
    user.Clear();
    row->SetColumnText(TXItem::kColDate, typed);
    EXPECT_EQ(row->Record().date, dated) << typed;
    EXPECT_EQ(user.Messages().size(), 1u) << typed;
  }
  user.Clear();
  row->SetColumnText(TXItem::kColDate, "/24");
  EXPECT_EQ(row->Record().date.Day(), 0u) << "an emptied date cell empties the date";
  EXPECT_TRUE(user.Messages().empty());
  ExpectSound();
}

TEST_F(ItemTest, ATinyAmountWithoutPayeeLeavesABlankRowThatVanishes) {
  TXHold row = NewAccountRow(checking);
  const uint32_t id = row->Id();
  row->SetColumnText(TXItem::kColDeposit, "0.004");
  EXPECT_EQ(row->Record().amount, 0);
  EXPECT_TRUE(row->IsBlank());
  EXPECT_FALSE(row->Record().IsLive());
  row.reset();
  EXPECT_EQ(Manager().FindRecord(id), nullptr);
  EXPECT_TRUE(Records().empty());
}

TEST_F(ItemTest, ChangingAClearedAmountNeedsYes) {
  TXHold row = Type(checking, "3/4", "Shop", -4000, groceries);
  row->ToggleAccountCleared();
  user.Clear();

  user.Script(TMessageAnswer::No);
  row->SetColumnText(TXItem::kColPayment, "50");
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].caption, "Confirm Change");
  EXPECT_EQ(user.Messages()[0].text,
            "Are you sure you want to change the value of this cleared transaction?");
  EXPECT_EQ(user.Messages()[0].buttons, TMessageButtons::YesNo);
  EXPECT_EQ(user.Messages()[0].icon, TMessageIcon::None);
  EXPECT_EQ(row->Record().amount, -4000);
  EXPECT_EQ(row->LastAmountText(), "40.00");

  user.Script(TMessageAnswer::Yes);
  row->SetColumnText(TXItem::kColPayment, "50");
  EXPECT_EQ(row->Record().amount, -5000);
  EXPECT_EQ(Cleared(checking), -5000);
  ExpectSound();
}

// ---- Date entry -----------------------------------------------------------------------------

TEST_F(ItemTest, DatesTypedEarlyInTheYearForLateMonthsMayMeanLastYear) {
  struct Case {
    TDateValue today;
    bool autoCorrect;
    const char* typed;
    TDateValue stored;
  };
  const std::vector<Case> cases = {
      {TDateValue(15, 2, 2011), true, "12/20", TDateValue(20, 12, 2010)},
      {TDateValue(15, 2, 2011), true, "12/20/11", TDateValue(20, 12, 2010)},
      {TDateValue(15, 2, 2011), true, "12/20/12", TDateValue(20, 12, 2012)},
      {TDateValue(15, 4, 2011), true, "12/20", TDateValue(20, 12, 2011)},
      {TDateValue(15, 2, 2011), false, "12/20", TDateValue(20, 12, 2011)},
      {TDateValue(15, 2, 2011), true, "9/20", TDateValue(20, 9, 2011)},
      {TDateValue(15, 2, 2011), true, "13/45", TDateValue(0, 0, 2011)},
  };
  for (const Case& c : cases) {
    clock.SetToday(c.today);
    TXHold row = NewAccountRow(checking);
    row->SetColumnText(TXItem::kColDate, c.typed, TXEditSettings{c.autoCorrect});
    EXPECT_EQ(row->Record().date, c.stored) << c.typed << " on " << c.today.Format(8);
  }
}

TEST_F(ItemTest, TheManagersSettingsApplyToTypedDates) {
  clock.SetToday(TDateValue(15, 2, 2011));
  Manager().EditSettings().autoCorrectYear = true;
  TXHold row = NewAccountRow(checking);
  row->SetColumnText(TXItem::kColDateWithYear, "11/2");
  EXPECT_EQ(row->Record().date, TDateValue(2, 11, 2010));
  EXPECT_EQ(row->ColumnText(TXItem::kColDate), "11/02");
  EXPECT_EQ(row->ColumnText(TXItem::kColDateWithYear), "11/02/10");
}

// ---- Clearing -------------------------------------------------------------------------------

TEST_F(ItemTest, ClearingMovesTheReconciledBalanceAndRestoresTheLoadedDate) {
  const uint32_t confirmed = TDateValue(1, 3, 2024).Packed();
  TXHold row = Type(checking, "3/1", "Gas", -4000, groceries);
  const uint32_t id = row->Id();
  row->ToggleAccountCleared();
  EXPECT_EQ(row->Record().AccountCleared, 1u);
  EXPECT_EQ(Cleared(checking), -4000);
  row->SetColumnText(TXItem::kColAccountCleared, "-");
  EXPECT_EQ(row->Record().AccountCleared, 0u);
  EXPECT_EQ(Cleared(checking), 0);

  // Once confirmed on a date and loaded again, clearing again brings that date back.
  row->ToggleAccountCleared();
  clock.SetToday(TDateValue(1, 3, 2024));
  Manager().ConfirmCleared();
  row.reset();
  clock.SetToday(TDateValue(15, 3, 2024));
  row = Manager().Get(id);
  EXPECT_EQ(row->LoadedAccountCleared(), confirmed);
  row->ToggleAccountCleared();
  EXPECT_EQ(Cleared(checking), 0);
  row->ToggleAccountCleared();
  EXPECT_EQ(row->Record().AccountCleared, confirmed);
  EXPECT_EQ(Cleared(checking), -4000);
  EXPECT_EQ(row->ColumnText(TXItem::kColAccountClearedDate), "03/01/24");

  // The envelope side clears on its own, leaving the account's cleared balance alone.
  TXHold other = Type(checking, "3/2", "Gas", -1000, dining);
  other->ToggleEnvelopeCleared();
  EXPECT_EQ(other->ColumnText(TXItem::kColEnvelopeCleared), "x");
  EXPECT_EQ(EnvelopeCleared(dining), -1000);
  EXPECT_EQ(Cleared(checking), -4000);
  other->ToggleEnvelopeCleared();
  EXPECT_EQ(EnvelopeCleared(dining), 0);
  ExpectSound();
}

TEST_F(ItemTest, AnEnvelopeEntryCannotBeClearedUntilItIsATransfer) {
  TXHold row = NewEnvelopeRow(groceries);
  row->SetColumnText(TXItem::kColPayableTo, "Cash");
  row->SetColumnText(TXItem::kColPayment, "30");
  row->SetColumnText(TXItem::kColEnvelopeCleared, "x");
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].caption, "Quenbrook");
  EXPECT_EQ(user.Messages()[0].text,
            "You cannot clear or unclear a new envelope transaction without first creating a "
            "transfer.");
  EXPECT_EQ(user.Messages()[0].icon, TMessageIcon::Exclamation);
  EXPECT_EQ(row->Record().EnvelopeCleared, 0u);
  EXPECT_EQ(EnvelopeBalance(groceries), 0);
  EXPECT_EQ(EnvelopeCleared(groceries), 0);
}

TEST_F(ItemTest, APartAndAnAccountTransferHalfKeepTheirClearedBalancesOutOfReach) {
  TXHold payment = Type(checking, "3/1", "Split", -9000, groceries);
  TXTransfers::MakeMultiple(*payment);
  TXHold part(Manager().First(TMultKidsFilter(payment->Id())));
  part->SetColumnText(TXItem::kColAccountCleared, "x");
  EXPECT_EQ(part->Record().AccountCleared, 0u);
  payment->SetColumnText(TXItem::kColEnvelopeCleared, "x");
  EXPECT_EQ(payment->Record().EnvelopeCleared, 0u);
  EXPECT_EQ(Cleared(checking), 0);
  ExpectSound();
}

TEST_F(ItemTest, ImportConfirmsTheAccountSideOnADate) {
  TXHold row = Type(checking, "3/1", "Gas", -4000, groceries);
  row->SetAccountClearedDate(TDateValue());
  EXPECT_EQ(row->Record().AccountCleared, 0u);
  row->SetAccountClearedDate(TDateValue(5, 3, 2024));
  EXPECT_EQ(row->Record().AccountCleared, TDateValue(5, 3, 2024).Packed());
  EXPECT_EQ(Cleared(checking), -4000);
  row->SetAccountClearedDate(TDateValue(6, 3, 2024));
  EXPECT_EQ(row->Record().AccountCleared, TDateValue(6, 3, 2024).Packed());
  EXPECT_EQ(Cleared(checking), -4000);
  ExpectSound();
}

// ---- Multiples and their parts --------------------------------------------------------------

TEST_F(ItemTest, PartsFollowTheirMultiplesCodeDateAndPayee) {
  TXHold payment = Type(checking, "3/1", "Costco", -9000, groceries, "1042");
  TXTransfers::MakeMultiple(*payment);
  TXHold part(Manager().First(TMultKidsFilter(payment->Id())));
  EXPECT_EQ(part->Record().GetCode(), "m.1042");
  EXPECT_EQ(part->Record().GetMemo(), "Costco");

  payment->SetColumnText(TXItem::kColDate, "3/9");
  payment->SetColumnText(TXItem::kColPayableTo, "Costco Wholesale");
  payment->SetColumnText(TXItem::kColCode, "1234567890123456789");
  EXPECT_EQ(part->Record().date, TDateValue(9, 3, 2024));
  EXPECT_EQ(part->Record().GetMemo(), "Costco Wholesale");
  EXPECT_EQ(part->Record().GetCode(), "m.12345678901234567");

  payment->SetToday();
  EXPECT_EQ(part->Record().date, clock.Today());
  // A part's date, code and memo are its multiple's business.
  part->SetColumnText(TXItem::kColDate, "1/1");
  part->SetColumnText(TXItem::kColMemo, "mine");
  EXPECT_EQ(part->Record().date, clock.Today());
  EXPECT_EQ(part->Record().GetMemo(), "Costco Wholesale");
  ExpectSound();
}

// ---- Erasing --------------------------------------------------------------------------------

TEST_F(ItemTest, ErasingAPaymentGivesBackItsMoneyAndBlanksIt) {
  TXHold row = Type(checking, "3/5", "Shop", -4000, groceries, "101");
  row->SetColumnText(TXItem::kColMemo, "note");
  row->ToggleAccountCleared();
  row->ToggleEnvelopeCleared();
  row->Erase();
  const TXRecord& record = row->Record();
  EXPECT_FALSE(record.IsLive());
  EXPECT_EQ(record.amount, 0);
  EXPECT_EQ(record.GetCode(), "");
  EXPECT_EQ(record.GetMemo(), "");
  EXPECT_EQ(record.GetPayableTo(), "");
  EXPECT_EQ(record.AccountCleared, 0u);
  EXPECT_EQ(record.EnvelopeCleared, 0u);
  EXPECT_EQ(record.date, TDateValue(0, 0, 2024));
  EXPECT_EQ(record.EnvelopeId, unallocated);
  EXPECT_EQ(Balance(checking), 0);
  EXPECT_EQ(Cleared(checking), 0);
  EXPECT_EQ(EnvelopeBalance(groceries), 0);
  ExpectSound();
  row.reset();
  EXPECT_TRUE(Records().empty());
}

TEST_F(ItemTest, ErasingOneHalfOfAnAccountTransferLeavesTwoEmptyRows) {
  TXHold payment = Type(checking, "3/5", "Move", -12000, groceries);
  ASSERT_TRUE(TransferTo(*payment, savings));
  TXHold partner(Manager().Get(payment->Record().PartnerId));
  payment->Erase();
  for (TXItem* half : {payment.get(), partner.get()}) {
    EXPECT_TRUE(half->Record().IsPayment());
    EXPECT_EQ(half->Record().amount, 0);
    EXPECT_EQ(half->Record().PartnerId, 0u);
    EXPECT_EQ(half->Record().GetPayableTo(), "");
    EXPECT_EQ(half->Record().EnvelopeId, unallocated);
    EXPECT_FALSE(half->Record().IsLive());
  }
  EXPECT_EQ(partner->Record().AccountId, savings);
  EXPECT_EQ(Balance(checking), 0);
  EXPECT_EQ(Balance(savings), 0);
  EXPECT_EQ(EnvelopeBalance(groceries), 0);
  ExpectSound();
}

TEST_F(ItemTest, ErasingAPartTakesItsMultiplesTexts) {
  TXHold payment = Type(checking, "3/5", "Costco", -9000, groceries, "77");
  payment->ToggleAccountCleared();
  TXTransfers::MakeMultiple(*payment);
  TXHold part(Manager().First(TMultKidsFilter(payment->Id())));
  part->Erase();
  EXPECT_EQ(part->Record().GetCode(), "m.77");
  EXPECT_EQ(part->Record().GetMemo(), "Costco");
  EXPECT_EQ(part->Record().AccountCleared, 1u);
  EXPECT_EQ(part->Record().date, TDateValue(5, 3, 2024));
  EXPECT_EQ(payment->Record().amount, 0);
  EXPECT_EQ(Balance(checking), 0);
  EXPECT_EQ(Cleared(checking), 0);
  ExpectSound();
}

// ---- Inert records --------------------------------------------------------------------------

TEST_F(ItemTest, AnInertRecordShowsNothingAndRefusesEveryEdit) {
  TXHold row = Type(checking, "3/5", "Old", -4000, groceries);
  TXRecord inert = row->Record();
  inert.Flags |= kXInert;
  Manager().StoreRecord(inert);
  const uint32_t id = row->Id();
  row.reset();
  TXHold item(Manager().Get(id));
  for (int column = 1; column <= 19; ++column) {
    EXPECT_EQ(item->ColumnText(column), "") << column;
    EXPECT_EQ(item->EntryFor(column, 0).kind, TColumnEntryKind::None) << column;
  }
  item->SetColumnText(TXItem::kColPayment, "1");
  item->SetColumnText(TXItem::kColPayableTo, "new");
  item->SetColumnText(TXItem::kColAccountCleared, "x");
  item->Erase();
  item->SetToday();
  EXPECT_FALSE(TXTransfers::CreateTransfer(*item));
  EXPECT_EQ(TXTransfers::MakeMultiple(*item), 0u);
  EXPECT_FALSE(TXTransfers::SelectEnvelope(*item));
  EXPECT_EQ(item->Record().amount, -4000);
  EXPECT_EQ(item->Record().GetPayableTo(), "Old");
  EXPECT_FALSE(item->CanDelete() || item->IsAccountTransaction() || item->CanCreateTransfer() ||
               item->CanToggleAccountCleared() || item->CanToggleEnvelopeCleared() ||
               item->CanEditDateCodeMemo() || item->CanApplyTemplate(3) ||
               item->CanUseNextCheckNumber());
  EXPECT_TRUE(user.Dialogs().empty());
  ExpectSound();
}

// ---- Predicates -----------------------------------------------------------------------------

TEST_F(ItemTest, TheCommandsAKindAllows) {
  struct Case {
    const char* name;
    uint32_t flags;
    bool account, dateCodeMemo, accountClear, envelopeClear, transfer, checkNumber;
  };
  const std::vector<Case> cases = {
      {"payment", kXNewPayment, true, true, true, true, true, true},
      {"envelope entry", kXNewEnvelopeEntry, false, true, false, true, true, false},
      {"account transfer half", kXNewAccountTransfer, true, true, true, false, true, true},
      {"envelope transfer half", kXNewEnvelopeTransfer, false, true, false, true, true, false},
      {"multiple", kXNewMultiple, true, true, true, false, true, true},
      {"part", kXNewMultipleKid, true, false, false, true, false, false},
  };
  TXHold multiple(Manager().Create([&] {
    TXRecord r{};
    r.Flags = kXNewMultiple;
    r.AccountId = checking;
    return r;
  }()));
  for (const Case& c : cases) {
    TXRecord record{};
    record.Flags = c.flags;
    record.AccountId = (c.flags & kXAccountSide) ? checking : 0;
    record.ParentId = c.flags == kXNewMultipleKid ? multiple->Id() : 0;
    TXHold item(Manager().Create(record));
    EXPECT_TRUE(item->CanDelete()) << c.name;
    EXPECT_EQ(item->IsAccountTransaction(), c.account) << c.name;
    EXPECT_EQ(item->CanEditDateCodeMemo(), c.dateCodeMemo) << c.name;
    EXPECT_EQ(item->CanToggleAccountCleared(), c.accountClear) << c.name;
    EXPECT_EQ(item->CanToggleEnvelopeCleared(), c.envelopeClear) << c.name;
    EXPECT_EQ(item->CanCreateTransfer(), c.transfer) << c.name;
    EXPECT_EQ(item->CanUseNextCheckNumber(), c.checkNumber) << c.name;
    EXPECT_EQ(item->CanApplyTemplate(1), c.checkNumber) << c.name;
    EXPECT_FALSE(item->CanApplyTemplate(0)) << c.name;
  }
}

// ---- Cells ----------------------------------------------------------------------------------

TEST_F(ItemTest, EveryColumnHasItsText) {
  TXHold row = Type(checking, "3/5", "Shop ~e", -4000, groceries, "101");
  row->SetColumnText(TXItem::kColMemo, "for ~a");
  row->ToggleAccountCleared();
  const std::vector<std::pair<int, std::string>> expected = {{1, "Checking"},
                                                             {2, "Groceries"},
                                                             {3, "class a"},
                                                             {4, "class b"},
                                                             {5, "101"},
                                                             {6, "03/05"},
                                                             {7, "03/05/24"},
                                                             {8, "03/15"},
                                                             {9, "03/15/24"},
                                                             {10, "x"},
                                                             {11, ""},
                                                             {14, "40.00"},
                                                             {15, "0.00"},
                                                             {16, "Shop ~e"},
                                                             {17, "Shop Groceries"},
                                                             {18, "for ~a"},
                                                             {19, "for Checking"},
                                                             {20, ""},
                                                             {0, ""}};
  for (const auto& [column, text] : expected) {
    EXPECT_EQ(row->ColumnText(column), text) << column;
  }
  EXPECT_EQ(row->ShownText(16), "Shop Groceries");
  EXPECT_EQ(row->ShownText(18), "for Checking");
  TXHold entry = NewEnvelopeRow(dining);
  EXPECT_EQ(entry->ColumnText(1), "None");
  EXPECT_EQ(entry->ColumnText(2), "Dining");
}

TEST_F(ItemTest, TypedEnvelopeNamesMustNameAnEnvelope) {
  TXHold row = Type(checking, "3/5", "Shop", -4000, groceries);
  row->SetColumnText(TXItem::kColEnvelope, "No Such Envelope");
  EXPECT_EQ(row->Record().EnvelopeId, groceries);
  row->SetColumnText(TXItem::kColEnvelope, "dining");
  EXPECT_EQ(row->Record().EnvelopeId, dining);
  EXPECT_EQ(EnvelopeBalance(groceries), 0);
  EXPECT_EQ(EnvelopeBalance(dining), -4000);
  EXPECT_EQ(Balance(checking), -4000);
  ExpectSound();
}

TEST_F(ItemTest, EntriesStartWithTheColumnOrWithWhatWasTyped) {
  TXHold row = Type(checking, "3/5", "Shop", -4000, groceries);
  struct Case {
    int column;
    unsigned how;
    TColumnEntryKind kind;
    size_t maxLength;
    const char* text;
  };
  const std::vector<Case> cases = {
      {TXItem::kColCode, 0, TColumnEntryKind::Text, 19, ""},
      {TXItem::kColDate, 0, TColumnEntryKind::Date, 10, "03/05"},
      {TXItem::kColDate, TLedgerItem::kStartedByTyping, TColumnEntryKind::Date, 10, ""},
      {TXItem::kColPayment, 0, TColumnEntryKind::Amount, 99, "40.00"},
      {TXItem::kColPayment, TLedgerItem::kStartedByTyping, TColumnEntryKind::Amount, 99, ""},
      {TXItem::kColPayableTo, 0, TColumnEntryKind::Text, 89, "Shop"},
      {TXItem::kColEnvelope, 0, TColumnEntryKind::EnvelopeList, 0, "Groceries"},
      {TXItem::kColCreated, 0, TColumnEntryKind::None, 0, ""},
  };
  for (const Case& c : cases) {
    const TColumnEntry editor = row->EntryFor(c.column, c.how);
    EXPECT_EQ(editor.kind, c.kind) << c.column;
    EXPECT_EQ(editor.maxLength, c.maxLength) << c.column;
    EXPECT_EQ(editor.text, c.text) << c.column;
  }
  row->SetColumnText(TXItem::kColPayment, "30+10.5");
  EXPECT_EQ(row->EntryFor(TXItem::kColPayment, 0).text, "30+10.5");
}

TEST_F(ItemTest, RowsShowExpandedTextsAndChoosingAClearedMarkTogglesIt) {
  TXHold row = Type(checking, "3/5", "Shop", -4000, groceries);
  EXPECT_EQ(row->ShownText(TXItem::kColPayment), "40.00");
  EXPECT_FALSE(row->Activate(TXItem::kColPayment));
  EXPECT_TRUE(row->Activate(TXItem::kColAccountCleared));
  EXPECT_NE(row->Record().AccountCleared, 0u);
  EXPECT_TRUE(row->Activate(TXItem::kColAccountCleared));
  EXPECT_EQ(row->Record().AccountCleared, 0u);
}

// ---- Placeholders ---------------------------------------------------------------------------

TEST_F(ItemTest, PlaceholdersExpandToTheirValues) {
  TXHold payment = Type(checking, "3/5", "Move", -12000, groceries);
  ASSERT_TRUE(TransferTo(*payment, savings));
  TXHold partner(Manager().Get(payment->Record().PartnerId));
  TXHold plain = Type(checking, "3/6", "Plain", -100, groceries);
  const std::string id = std::to_string(plain->Id());
  struct Case {
    TXItem* item;
    const char* text;
    std::string expanded;
  };
  const std::vector<Case> cases = {
      {partner.get(), "Transfer from ~t", "Transfer from Checking"},
      {payment.get(), "Transfer to ~t", "Transfer to Savings"},
      {plain.get(), "Transfer from ~t", "Transfer from no transfer"},
      {plain.get(), "~q", "error"},
      {plain.get(), "A~~t", "Ano transfer"},
      {plain.get(), "~a~e~x~c~t", "CheckingGroceries" + id + "03/15/24"},
      {plain.get(), "~ei~x!", "Groceriesi" + id + "!"},
      {plain.get(), "~", ""},
      {plain.get(), "", ""},
      {plain.get(), "abc~", "abc"},
      {plain.get(), "#~x", "#" + id},
      {plain.get(), "~r", " / /"},
      {plain.get(), "~i", "1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.item->ExpandPlaceholders(c.text, 128), c.expanded) << c.text;
  }
  TXHold entry = NewEnvelopeRow(groceries);
  entry->SetColumnText(TXItem::kColPayment, "5");
  TXTransfers::CreateEnvelopeTransfer(*entry, dining);
  EXPECT_EQ(entry->ColumnText(TXItem::kColPayableToExpanded), "Transfer to Dining");
  EXPECT_EQ(entry->ShownText(TXItem::kColAccount), "Envelope Transfer");
  const uint32_t position = Manager().PositionOf(*plain);
  EXPECT_EQ(plain->ExpandPlaceholders("~p", 128), std::to_string(position));
}

TEST_F(ItemTest, ExpandedTextIsCutToTheBufferAndNeverOverruns) {
  TXHold row = Type(checking, "3/5", "Shop", -4000, groceries);
  const std::string text = "~e and ~e and ~e and more text after the last one";
  const std::string full = row->ExpandPlaceholders(text, 1000);
  for (size_t size : {size_t{0}, size_t{1}, size_t{2}, size_t{5}, size_t{12}, full.size(),
                      full.size() + 1, size_t{128}}) {
    std::vector<char> buffer(size + 8, '#');
    row->ExpandPlaceholders(text, buffer.data(), size);
    for (size_t i = size; i < buffer.size(); ++i)
      ASSERT_EQ(buffer[i], '#') << size;
    if (size == 0)
      continue;
    const std::string written(buffer.data());
    EXPECT_EQ(written, full.substr(0, size - 1)) << size;
  }
}

}  // namespace

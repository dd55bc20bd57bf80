// Transaction views without their windows: the 250-row window over a ledger, its empty rows,
// how it follows deletes and new transfer halves, and the view model's caption, columns, status
// strip, commands and close question.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "presentation/xview_list.h"
#include "presentation/xview_model.h"
#include "tests/transactions/budget_fixture.h"
#include "transactions/editable_filter.h"
#include "transactions/transfers.h"

namespace {

class XViewTest : public BudgetTest {
 protected:
  /// `count` payments in Checking on consecutive days from 1 January 2023, paid to "P<i>".
  void TypeMany(int count) {
    TDateValue date(1, 1, 2023);
    for (int i = 0; i < count; ++i, date = date.NextDay())
      Type(checking, date.Format(TDateValue::kShortYear), "P" + std::to_string(i), -100);
  }
  std::unique_ptr<TXViewModel> Open(uint32_t account, unsigned flags = 0) {
    auto view = TXViewModel::ForAccount(Manager(), clock, account, flags);
    view->TopMode() ? view->Rows().LoadFromTop() : view->Rows().LoadAtEnd();
    return view;
  }
  static std::string Payee(TXViewList& rows, int row) {
    return rows.TransactionAt(row)->ColumnText(TXItem::kColPayableTo);
  }
};

TEST_F(XViewTest, ALongLedgerOpensWithItsLast125AndEmptyRowsAndScrollsBothWays) {
  TypeMany(400);
  const size_t held = Manager().HeldItems();
  {
    auto view = Open(checking);
    TXViewList& rows = view->Rows();
    EXPECT_EQ(rows.LiveCount(), 125);
    EXPECT_EQ(Payee(rows, 1), "P275");
    EXPECT_EQ(Payee(rows, 125), "P399");
    EXPECT_FALSE(rows.TransactionAt(126)->Record().IsLive());
    EXPECT_EQ(Manager().HeldItems(), held + 250);

    EXPECT_EQ(rows.LoadPrevious(10), 10);
    EXPECT_EQ(Payee(rows, 1), "P265");
    EXPECT_EQ(Payee(rows, 11), "P275");
    EXPECT_EQ(rows.LoadNext(20), 20);
    EXPECT_EQ(Payee(rows, 1), "P285");
    EXPECT_FALSE(rows.TransactionAt(250)->Record().IsLive());

    // The scroll box: the first record, one in the middle, and past the last live one.
    EXPECT_EQ(rows.GoToPosition(rows.PositionOfFirst()), TLedgerList::kAtFirst);
    EXPECT_EQ(rows.GoToPosition(101), TLedgerList::kReloaded);
    EXPECT_EQ(Payee(rows, 1), "P100");
    EXPECT_EQ(Payee(rows, 250), "P349");
    EXPECT_EQ(rows.GoToPosition(rows.PositionOfLast() + 1), TLedgerList::kPastLast);
    rows.LoadFromTop();
    EXPECT_EQ(Payee(rows, 1), "P0");
    EXPECT_EQ(rows.LoadPrevious(5), 0);
  }
  EXPECT_EQ(Manager().HeldItems(), held);
  EXPECT_EQ(Records().size(), 400u);
  ExpectSound();
}

TEST_F(XViewTest, TypingIntoAnEmptyRowMakesATransactionAndUntouchedRowsLeaveNothing) {
  {
    auto view = Open(checking);
    TXViewList& rows = view->Rows();
    EXPECT_EQ(rows.LiveCount(), 0);
    rows.TransactionAt(1)->SetColumnText(TXItem::kColPayableTo, "Grocer");
  }
  EXPECT_EQ(Manager().HeldItems(), 0u);
  const std::vector<TXRecord> records = Records();
  ASSERT_EQ(records.size(), 1u);
  const TXRecord& made = records[0];
  EXPECT_EQ(made.Flags, uint32_t{kXLive | kXAccountSide});
  EXPECT_EQ(std::make_tuple(made.amount, made.AccountId, made.EnvelopeId, made.date.Packed()),
            std::make_tuple(0, checking, Accounts().GetDefaultEnvelope(checking),
                            TDateValue(0, 0, 2024).Packed()));
  ExpectSound();
}

TEST_F(XViewTest, TheReconcileViewShowsWhatIsNotClearedFromTheTop) {
  Type(checking, "1/5", "confirmed", -1000)->ToggleAccountCleared();
  Manager().ConfirmCleared();
  Type(checking, "1/6", "open", -2000);
  Type(checking, "1/7", "pending", 500)->ToggleAccountCleared();
  auto view = Open(checking, TXViewModel::kOpenReconcile);
  EXPECT_TRUE(view->TopMode());
  EXPECT_EQ(view->CursorColumn(), TXItem::kColAccountCleared);
  EXPECT_EQ(view->StatusLabel(), "Balance of Cleared Items:");
  EXPECT_DOUBLE_EQ(view->StatusValue(), -5.0);
  EXPECT_TRUE(view->IsChecked(kXCmdAllUnreconciled));
  EXPECT_EQ(Payee(view->Rows(), 1), "open");
  EXPECT_EQ(Payee(view->Rows(), 2), "pending");
  EXPECT_FALSE(view->Rows().TransactionAt(3)->Record().IsLive());

  // Clearing the filter goes back to the whole ledger at its end.
  EXPECT_TRUE(view->Run(kXCmdClearFilter, nullptr, 0).relayout);
  EXPECT_FALSE(view->TopMode());
  EXPECT_EQ(view->StatusLabel(), "Account Balance:");
  EXPECT_DOUBLE_EQ(view->StatusValue(), -25.0);
}

TEST_F(XViewTest, TheStatusValueIsWrittenAsMoneyWithParenthesesWhenNegative) {
  Type(checking, "2/1", "Shop", -1250, groceries);
  auto view = TXViewModel::ForEnvelope(Manager(), clock, groceries);
  EXPECT_EQ(view->Caption() + " " + view->StatusLabel(), "Envelope: Groceries Envelope Balance:");
  EXPECT_EQ(TXViewModel::StatusValueText(view->StatusValue()), " (12.50)");
  EXPECT_EQ(TXViewModel::StatusValueText(0), " 0.00");
  EXPECT_EQ(TXViewModel::StatusValueText(1234567.891), " 1,234,567.89");
}

TEST_F(XViewTest, AMultipleViewShowsItsPartsClosesOnItsNoticeAndSurvivesItsDelete) {
  TXHold payment = Type(checking, "2/1", "Split", -3000, groceries);
  payment->SetColumnText(TXItem::kColCode, "1042");
  const uint32_t id = TXTransfers::MakeMultiple(*payment);
  auto split = TXViewModel::ForMultiple(Manager(), *payment);
  auto account = TXViewModel::ForAccount(Manager(), clock, checking);
  auto envelope = TXViewModel::ForEnvelope(Manager(), clock, groceries);
  split->Rows().LoadFromTop();
  EXPECT_EQ(split->Rows().TransactionAt(1)->ColumnText(TXItem::kColCode), "m.1042");
  split->Rows().TransactionAt(2)->SetColumnText(TXItem::kColDeposit, "10");
  EXPECT_EQ(split->StatusLabel(), "Multiple Total: ");
  EXPECT_DOUBLE_EQ(split->StatusValue(), -20.0);
  const std::vector<std::tuple<TXViewModel*, TXViewNotice, uint32_t, bool>> notices = {
      {account.get(), TXViewNotice::AccountDeleted, checking, true},
      {account.get(), TXViewNotice::AccountDeleted, savings, false},
      {account.get(), TXViewNotice::EnvelopeMoved, checking, false},
      {envelope.get(), TXViewNotice::EnvelopeMoved, groceries, true},
      {split.get(), TXViewNotice::MultiplePartsRemoved, id, true},
      {split.get(), TXViewNotice::AccountDeleted, checking, false}};
  for (const auto& [view, notice, subject, closes] : notices)
    EXPECT_EQ(view->ClosesOn(notice, subject), closes) << view->Caption();

  // The delete consumes the view's reference on the multiple; the view keeps what it saw.
  account.reset();
  envelope.reset();
  Manager().Delete(payment.release());
  EXPECT_EQ(split->Caption(), "Multiple: Checking, 1042 from 02/01/24");
  split.reset();
  EXPECT_EQ(Manager().HeldItems(), 0u);
  EXPECT_TRUE(Records().empty());
  ExpectSound();
}

TEST_F(XViewTest, ClosingAsksOnlyWhileAnEnvelopeEntryCarriesMoney) {
  struct Case {
    const char* amount;
    TMessageAnswer answer;
    bool asked;
    bool closes;
  };
  for (const Case& c :
       {Case{"30", TMessageAnswer::No, true, false}, Case{"30", TMessageAnswer::Yes, true, true},
        Case{"0", TMessageAnswer::No, false, true}}) {
    user.Clear();
    auto view = TXViewModel::ForEnvelope(Manager(), clock, dining);
    view->Rows().LoadAtEnd();
    TXItem* entry = view->Rows().TransactionAt(1);
    entry->SetColumnText(TXItem::kColPayableTo, "Set aside");
    entry->SetColumnText(TXItem::kColPayment, c.amount);
    user.Script(c.answer);
    EXPECT_EQ(view->CanClose(), c.closes);
    ASSERT_EQ(user.Messages().size(), c.asked ? 1u : 0u);
    if (c.asked) {
      const TMessage& asked = user.Messages()[0];
      EXPECT_EQ(asked.caption + asked.text, "Quenbrook" + std::string(TXViewModel::kCloseQuestion));
      EXPECT_TRUE(asked.buttons == TMessageButtons::YesNo && asked.icon == TMessageIcon::Error);
    }
    view->Run(kXCmdDelete, entry, 0);  // the question is answered Ok, which is not Yes
    EXPECT_EQ(view->Rows().RowOf(*entry), 1);
    user.Script(TMessageAnswer::Yes);
    view->Run(kXCmdDelete, entry, 0);
  }
  EXPECT_TRUE(Records().empty());
}

TEST_F(XViewTest, ColumnsFollowTheSettings) {
  auto account = TXViewModel::ForAccount(Manager(), clock, checking);
  auto envelope = TXViewModel::ForEnvelope(Manager(), clock, groceries);
  TXHold payment = Type(checking, "2/1", "Split", -3000, groceries);
  TXTransfers::MakeMultiple(*payment);
  auto split = TXViewModel::ForMultiple(Manager(), *payment);
  TXViewColumnSettings plain;
  TXViewColumnSettings wide{8, 30, 20, 12, 16, 14, true};
  using C = std::vector<TXViewColumn>;
  EXPECT_EQ(account->Columns(plain),
            (C{{7, 5}, {7, 6}, {35, 16}, {17, 2}, {2, 10}, {11, 14}, {11, 15}}));
  EXPECT_EQ(account->Columns(wide),
            (C{{8, 5}, {10, 7}, {30, 16}, {20, 18}, {16, 2}, {2, 10}, {12, 14}, {12, 15}}));
  EXPECT_EQ(envelope->Columns(wide),
            (C{{8, 5}, {10, 7}, {30, 16}, {20, 18}, {2, 11}, {12, 14}, {12, 15}, {14, 1}}));
  EXPECT_EQ(split->Columns(wide), (C{{45, 16}, {24, 2}, {12, 14}, {12, 15}}));
  EXPECT_EQ(account->Rows().HeaderText(16), "Payable To/Description");
  EXPECT_EQ(account->Background(), 0xFFFFA4u);
  EXPECT_EQ(split->Background(false), 0x00FFFFu);
}

TEST_F(XViewTest, CommandsAreEnabledByTheViewAndTheCurrentTransaction) {
  TXHold payment = Type(checking, "2/1", "Pay", -3000, groceries);
  TXHold multiple = Type(checking, "2/2", "Split", -3000, groceries);
  TXTransfers::MakeMultiple(*multiple);
  TXHold part(Manager().Get(Manager().PartIds(multiple->Id())[0]));
  TXHold entry = NewEnvelopeRow(dining);
  TXHold inert = Type(checking, "2/3", "Inert", -100);
  TXRecord frozen = inert->Record();
  frozen.Flags |= kXInert;
  Manager().StoreRecord(frozen);
  inert.reset();  // the next item is made from the stored record
  inert = Manager().Get(frozen.Id);

  auto account = TXViewModel::ForAccount(Manager(), clock, checking);
  auto envelope = TXViewModel::ForEnvelope(Manager(), clock, dining);
  auto split = TXViewModel::ForMultiple(Manager(), *multiple);
  // Enabled commands per view and row, in the order of `commands`.
  const std::vector<int> commands = {
      kXCmdDelete,          kXCmdEditMemo,   kXCmdToday,          kXCmdClearUnclear,
      kXCmdNextCheckNumber, kXCmdMultiple,   kXCmdCreateTransfer, kXCmdSelectEnvelope,
      kXCmdApplyTemplate,   kXCmdEditFilter, kXCmdClearFilter,    kXCmdViewConfiguration};
  struct Case {
    TXViewModel* view;
    TXItem* current;
    const char* enabled;
  };
  for (const Case& c : std::vector<Case>{
           {account.get(), payment.get(), "111111110101"},
           {account.get(), multiple.get(), "111111110101"},
           {account.get(), part.get(), "100001010101"},
           {account.get(), inert.get(), "000000000101"},
           {account.get(), nullptr, "000000000101"},
           {envelope.get(), entry.get(), "111100100101"},
           {envelope.get(), payment.get(), "111111110101"},
           {split.get(), part.get(), "100001010001"},
       }) {
    std::string enabled;
    for (int command : commands)
      enabled += c.view->IsEnabled(command, c.current) ? '1' : '0';
    EXPECT_EQ(enabled, c.enabled) << c.view->Caption() << " " << (c.current ? c.current->Id() : 0);
  }
  EXPECT_TRUE(account->IsEnabled(kXCmdApplyTemplate, payment.get(), 1));
  account->Run(kXCmdAllUnreconciled, nullptr, 0);
  EXPECT_TRUE(account->IsEnabled(kXCmdClearFilter, nullptr));
  EXPECT_TRUE(account->IsChecked(kXCmdAllUnreconciled));
  account->Run(kXCmdAllUnreconciled, nullptr, 0);
  EXPECT_FALSE(account->IsChecked(kXCmdAllUnreconciled));
}

TEST_F(XViewTest, CommandsChangeTheRowAndSayWhereTheCursorGoes) {
  // The check number looks at the latest 250 records, the ledger's empty rows among them.
  Type(checking, "1/2", "Old check", -100, 0, "1041");
  auto view = Open(checking);
  TXViewList& rows = view->Rows();
  TXItem* row = rows.TransactionAt(2);
  using M = TXViewCommandResult::TCursorMove;
  EXPECT_EQ(view->Run(kXCmdNextCheckNumber, row, TXItem::kColCode).cursor, M::NextCell);
  EXPECT_EQ(row->ColumnText(TXItem::kColCode), "1042");
  EXPECT_EQ(view->Run(kXCmdToday, row, TXItem::kColPayableTo).cursor, M::None);
  EXPECT_EQ(row->Record().date, clock.Today());
  EXPECT_EQ(view->Run(kXCmdClearUnclear, row, TXItem::kColAccountCleared).cursor, M::NextCell);
  EXPECT_EQ(row->Record().AccountCleared, 1u);
  user.Script(TMessageAnswer::Yes);  // changing a cleared amount
  row->SetColumnText(TXItem::kColDeposit, "5");
  EXPECT_EQ(view->Run(kXCmdClearUnclear, row, TXItem::kColAccountCleared).cursor, M::NextRow);
  user.ScriptMemoDialog("note ~a");
  view->Run(kXCmdEditMemo, row, 0);
  EXPECT_EQ(TXViewModel::MemoLine(row), "note Checking");
  user.Script(TMessageAnswer::Yes);
  view->Run(kXCmdErase, row, 0);
  EXPECT_EQ(rows.RowOf(*row), 2);
  EXPECT_TRUE(row->IsBlank());
  ExpectSound();
}

/// Counts what a row source tells its grid.
struct TCountingGrid final : TLedgerListObserver {
  void WindowReloading() override { ++reloads; }
  void RowsChanged() override { ++repaints; }
  int reloads = 0;
  int repaints = 0;
};

TEST_F(XViewTest, OpenViewsFollowChangesDeletesAndNewTransferHalves) {
  TXHold payment = Type(checking, "2/1", "Shop", -1000, groceries);
  auto account = Open(checking);
  auto shop = TXViewModel::ForEnvelope(Manager(), clock, groceries);
  auto dinner = TXViewModel::ForEnvelope(Manager(), clock, dining);
  shop->Rows().LoadAtEnd();
  dinner->Rows().LoadAtEnd();
  TCountingGrid accountGrid;
  TCountingGrid shopGrid;
  account->Rows().SetObserver(&accountGrid);
  shop->Rows().SetObserver(&shopGrid);

  // A new half in Groceries reloads that ledger only, and shows among its records at once,
  // before its empty rows.
  TXItem* entry = dinner->Rows().TransactionAt(1);
  entry->SetColumnText(TXItem::kColPayment, "4");
  TXTransfers::CreateEnvelopeTransfer(*entry, groceries);
  EXPECT_GE(shopGrid.reloads, 1);
  EXPECT_EQ(accountGrid.reloads + accountGrid.repaints, 0);
  EXPECT_EQ(shop->Rows().LiveCount(), 2);
  EXPECT_EQ(shop->Rows().TransactionAt(2)->Id(), entry->Record().PartnerId);

  // A change of a record both ledgers show repaints both, and reloads neither.
  const int shopReloads = shopGrid.reloads;
  const int shopRepaints = shopGrid.repaints;
  payment->SetColumnText(TXItem::kColMemo, "weekly");
  EXPECT_EQ(accountGrid.repaints, 1);
  EXPECT_EQ(shopGrid.repaints, shopRepaints + 1);
  EXPECT_EQ(shopGrid.reloads, shopReloads);

  user.Script(TMessageAnswer::Yes);
  account->Run(kXCmdDelete, payment.release(), 0);
  EXPECT_EQ(accountGrid.reloads, 1);
  EXPECT_EQ(shopGrid.reloads, shopReloads + 1);
  EXPECT_EQ(account->Rows().LiveCount(), 0);
  EXPECT_EQ(shop->Rows().LiveCount(), 1);
  EXPECT_FALSE(account->Rows().TransactionAt(1)->Record().IsLive());
  ExpectSound();
  account.reset();
  shop.reset();
  dinner.reset();
  EXPECT_EQ(Manager().HeldItems(), 0u);
  EXPECT_EQ(Records().size(), 2u);
}

}  // namespace

// The transaction manager: identifiers, ledger order, iteration, deleting with cascades,
// check numbers, the confirmations and the notices to observers and views.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/model_error.h"
#include "tests/transactions/budget_fixture.h"
#include "transactions/transfers.h"
#include "transactions/xgeneric_list.h"

namespace {

using ManagerTest = BudgetTest;

/// Records what the manager tells its observers, and runs `onChanged` / `onRemoved` as it hears.
class TRecordingList final : public TXList {
 public:
  explicit TRecordingList(TXManager& manager) : TXList(manager, nullptr) {}
  void Changed(TXItem& item) override {
    log.push_back("changed " + std::to_string(item.Id()));
    if (onChanged)
      onChanged();
  }
  void Removed(TXItem& item) override {
    log.push_back("removed " + std::to_string(item.Id()));
    if (onRemoved)
      onRemoved();
  }
  void Added(TXItem& item) override { log.push_back("added " + std::to_string(item.Id())); }
  bool HoldsAnyMatching(const TXFilter&) const override { return false; }
  bool Holds(const TXItem&) const override { return false; }
  std::vector<std::string> log;
  std::function<void()> onChanged;
  std::function<void()> onRemoved;
};

/// Records the notices and repaints an open view gets.
class TRecordingView final : public TXViewListener {
 public:
  void Notify(TXViewNotice notice, uint32_t id) override {
    notices.push_back({static_cast<uint32_t>(notice), id});
  }
  void Repaint() override { ++repaints; }
  std::vector<std::pair<uint32_t, uint32_t>> notices;
  int repaints = 0;
};

// ---- Identifiers ----------------------------------------------------------------------------

TEST(ManagerIdTest, TheFirstTransactionGetsOneAndAFreedIdComesBack) {
  TRecordingUserPort user;
  TFixedClock clock(TDateValue(15, 3, 2024));
  TModelEnvironment environment{user, clock};
  TVorlaData document(environment);
  auto& manager = TransactionsOf(document);
  document.AddStarterEnvelope();
  TAccount* account = document.Accounts().AddAccount(
      document.Accounts().Root(), document.Envelopes(), "Cash", "", 3, "Unallocated");
  TXRecord row{};
  row.Flags = kXAccountSide;
  row.AccountId = account->Id();
  TXHold first(manager.Create(row));
  EXPECT_EQ(first->Id(), 1u);
  first->SetColumnText(TXItem::kColPayableTo, "Bakery");
  first->Erase();
  first.reset();
  TXHold again(manager.Create(row));
  EXPECT_EQ(again->Id(), 1u);
  TXHold second(manager.Create(row));
  EXPECT_EQ(second->Id(), 2u);
  EXPECT_EQ(manager.Store().LastId(), 2u);
}

TEST_F(ManagerTest, The1001stRecordGrowsTheStoreBy500) {
  std::vector<TXHold> rows;
  for (int i = 0; i < 1001; ++i) {
    rows.push_back(NewAccountRow(checking));
    EXPECT_EQ(Manager().Store().Capacity(), i < 1000 ? 1000u : 1500u) << i;
  }
  EXPECT_EQ(Manager().Store().Count(), 1001u);
}

TEST_F(ManagerTest, IdentifiersStayUniqueThroughDeletesAndReuse) {
  std::vector<TXHold> rows;
  for (int i = 0; i < 30; ++i)
    rows.push_back(Type(checking, "3/1", "P", -(i + 1) * 100, rent));
  for (int i = 0; i < 30; i += 3)
    Manager().Delete(rows[i].release());
  for (int i = 0; i < 10; ++i)
    rows.push_back(Type(savings, "3/2", "Q", 100, dining));
  std::set<uint32_t> ids;
  for (const TXRecord& record : Records())
    EXPECT_TRUE(ids.insert(record.Id).second);
  EXPECT_EQ(ids.size(), 30u);
  ExpectSound();
}

// ---- Ledger order ---------------------------------------------------------------------------

struct TOrderKey {
  TDateValue date;
  int32_t amount;
  const char* code;
  bool inRent;
};

TEST_F(ManagerTest, RecordsKeepLedgerOrderWhicheverComesFirst) {
  const TDateValue today(15, 3, 2024);
  const struct {
    const char* name;
    TOrderKey keys[2];
  } cases[] = {
      {"deposit before payment on a day", {{today, 500, "", false}, {today, -1000, "", false}}},
      {"today before a hold of last year",
       {{today, -100, "", false}, {TDateValue(1, 1, 2023), -100, "hold", false}}},
      {"start before earlier dates",
       {{TDateValue(1, 5, 2024), 100, "Start", false}, {TDateValue(1, 1, 2024), 100, "", false}}},
      {"start without regard to case",
       {{TDateValue(1, 5, 2024), 100, "START", false}, {TDateValue(1, 1, 2024), 100, "", false}}},
      {"hold without regard to case",
       {{today, -100, "", false}, {TDateValue(1, 1, 2020), -100, "HoLd", false}}},
      {"earlier date", {{TDateValue(14, 3, 2024), -100, "", false}, {today, 500, "", false}}},
      {"code without regard to case", {{today, -100, "abc", false}, {today, -100, "ABD", false}}},
      {"shorter code", {{today, -100, "10", false}, {today, -100, "100", false}}},
      {"envelope earlier in the list", {{today, -100, "", true}, {today, -100, "", false}}},
      {"a zero amount is placed by the envelope", {{today, 0, "", true}, {today, -100, "", false}}},
      {"a zero amount is placed by the envelope too",
       {{today, 100, "", true}, {today, 0, "", false}}},
  };
  for (const auto& c : cases) {
    for (int typedFirst : {0, 1}) {
      Manager().DeleteAll(TXAnyFilter());
      uint32_t ids[2] = {};
      for (int k : {typedFirst, 1 - typedFirst}) {
        TXRecord record{};
        record.Flags = kXImported;
        record.AccountId = checking;
        record.EnvelopeId = c.keys[k].inRent ? rent : groceries;
        record.date = c.keys[k].date;
        record.amount = c.keys[k].amount;
        record.SetCode(c.keys[k].code);
        record.SetPayableTo(c.name);
        ids[k] = Manager().Create(record)->Id();
      }
      const std::vector<TXRecord> records = Records();
      ASSERT_EQ(records.size(), 2u);
      EXPECT_EQ(records[0].Id, ids[0]) << c.name << ", the later one typed first: " << typedFirst;
      EXPECT_EQ(records[1].Id, ids[1]) << c.name;
    }
  }
}

TEST_F(ManagerTest, EditsThatKeepTheKeysKeepThePlaceAndADateChangeMovesTheRecord) {
  std::vector<uint32_t> ids;
  for (int day = 1; day <= 9; ++day) {
    ids.push_back(Type(checking, "3/" + std::to_string(day), "Day", -100 * day, groceries)->Id());
  }
  auto order = [&]() {
    std::vector<uint32_t> seen;
    for (const TXRecord& record : Records())
      seen.push_back(record.Id);
    return seen;
  };
  EXPECT_EQ(order(), ids);
  {
    TXHold middle(Manager().Get(ids[4]));
    middle->SetColumnText(TXItem::kColPayableTo, "Renamed");
    TypeAmount(*middle, -12345);
  }
  EXPECT_EQ(order(), ids);
  {
    TXHold middle(Manager().Get(ids[4]));
    middle->SetColumnText(TXItem::kColDate, "3/20");
  }
  std::vector<uint32_t> moved = ids;
  moved.erase(moved.begin() + 4);
  moved.push_back(ids[4]);
  EXPECT_EQ(order(), moved);
  {
    TXHold last(Manager().Get(ids[4]));
    last->SetColumnText(TXItem::kColDate, "2/20");
  }
  moved.pop_back();
  moved.insert(moved.begin(), ids[4]);
  EXPECT_EQ(order(), moved);
  ExpectSound();
}

TEST_F(ManagerTest, RemovedSlotsGoBehindTheLastLiveRecordAndTheLastRemovedIsReusedFirst) {
  std::vector<uint32_t> ids;
  for (int day = 1; day <= 5; ++day) {
    ids.push_back(Type(checking, "3/" + std::to_string(day), "P", -100 * day, rent)->Id());
  }
  auto slots = [&]() {
    std::vector<uint32_t> order;
    for (uint32_t index = 1; index <= Manager().Store().Count(); ++index) {
      order.push_back(Manager().Store().At(index).Id);
    }
    return order;
  };
  const std::vector<uint32_t> expected = {ids[0], ids[2], ids[4], ids[3], ids[1]};
  for (int index : {1, 3}) {
    TXHold item(Manager().Get(ids[index]));
    item->Erase();
  }
  EXPECT_EQ(slots(), expected);
  EXPECT_EQ(NewAccountRow(checking)->Id(), ids[3]);

  // Deleting in bulk leaves the same store as removing one record after another.
  Manager().DeleteAll(TXAnyFilter());
  ids.clear();
  for (int day = 1; day <= 5; ++day) {
    ids.push_back(
        Type(day % 2 ? checking : savings, "3/" + std::to_string(day), "P", -100, rent)->Id());
  }
  Manager().DeleteAll(TAccountFilter(savings));
  const std::vector<uint32_t> after = slots();
  ASSERT_GE(after.size(), 5u);
  EXPECT_EQ(std::vector<uint32_t>(after.begin(), after.begin() + 5),
            (std::vector<uint32_t>{ids[0], ids[2], ids[4], ids[3], ids[1]}));
  ExpectSound();
}

// The ledger order as the rule reads, for records whose amounts are not 0 (among those it is a
// strict weak order): the key of `a` before the key of `b`.
bool KeyBefore(const TXRecord& a, const TXRecord& b, const std::vector<uint32_t>& envelopeOrder) {
  auto lower = [](std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
  };
  auto rank = [&](const TXRecord& r) {
    const std::string code = lower(r.GetCode());
    return code == "start" ? 0 : code == "hold" ? 2 : 1;
  };
  auto position = [&](uint32_t envelope) {
    auto found = std::find(envelopeOrder.begin(), envelopeOrder.end(), envelope);
    return found - envelopeOrder.begin();
  };
  if (rank(a) != rank(b))
    return rank(a) < rank(b);
  if (a.date != b.date)
    return a.date < b.date;
  if ((a.amount > 0) != (b.amount > 0))
    return a.amount > 0;
  if (lower(a.GetCode()) != lower(b.GetCode()))
    return lower(a.GetCode()) < lower(b.GetCode());
  return position(a.EnvelopeId) < position(b.EnvelopeId);
}

TEST_F(ManagerTest, RandomEditsKeepTheStoreInLedgerOrder) {
  std::mt19937 random(7);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  const std::vector<std::string> codes = {"", "100", "20", "ABC", "abd", "hold", "Start", "x"};
  const std::vector<uint32_t> envelopes = {groceries, dining, rent, unallocated};
  std::vector<uint32_t> envelopeOrder;
  for (const TItemChoice& choice : Envelopes().EnvelopeChoices())
    envelopeOrder.push_back(choice.id);
  std::vector<uint32_t> ids;
  auto edit = [&](TXItem& item) {
    item.SetColumnText(TXItem::kColDateWithYear,
                       std::to_string(1 + pick(3)) + "/" + std::to_string(1 + pick(28)) + "/24");
    item.SetColumnText(TXItem::kColCode, codes[static_cast<size_t>(pick(8))]);
    item.SetColumnText(TXItem::kColEnvelope,
                       Envelopes().NameOfEnvelope(envelopes[static_cast<size_t>(pick(4))]));
    TypeAmount(item, (pick(2) ? 1 : -1) * (1 + pick(50000)));
  };
  for (int i = 0; i < 400; ++i) {
    if (ids.empty() || pick(3) != 0) {
      TXHold row = NewAccountRow(pick(2) ? checking : savings);
      row->SetColumnText(TXItem::kColPayableTo, "P");
      edit(*row);
      ids.push_back(row->Id());
    } else {
      TXHold item(Manager().Get(ids[static_cast<size_t>(pick(static_cast<int>(ids.size())))]));
      edit(*item);
    }
  }
  const std::vector<TXRecord> records = Records();
  ASSERT_EQ(records.size(), ids.size());
  for (size_t i = 1; i < records.size(); ++i) {
    EXPECT_FALSE(KeyBefore(records[i], records[i - 1], envelopeOrder)) << i;
  }
  ExpectSound();
}

// ---- Iteration ------------------------------------------------------------------------------

TEST_F(ManagerTest, WalksSkipDeadSlotsAndRecordsBeingDeleted) {
  std::vector<uint32_t> ids;
  for (int day = 1; day <= 6; ++day) {
    ids.push_back(
        Type(day % 2 ? checking : savings, "3/" + std::to_string(day), "P", -100, groceries)->Id());
  }
  Manager().Delete(Manager().Get(ids[2]));  // a checking record, now dead
  const TAccountFilter checkingFilter(checking);
  EXPECT_EQ(Manager().Count(checkingFilter), 2u);
  EXPECT_EQ(Manager().Count(TAccountFilter(savings)), 3u);

  TXHold first(Manager().First(checkingFilter));
  EXPECT_EQ(first->Id(), ids[0]);
  TXHold next(Manager().Next(*first, checkingFilter));
  EXPECT_EQ(next->Id(), ids[4]);
  EXPECT_FALSE(Manager().Next(*next, checkingFilter));
  TXHold last(Manager().Last(checkingFilter));
  EXPECT_EQ(last.get(), next.get());
  TXHold previous(Manager().Prev(*last, checkingFilter));
  EXPECT_EQ(previous.get(), first.get());
  EXPECT_EQ(first->ReferenceCount(), 2);

  EXPECT_EQ(Manager().PositionOf(*first), 1u);
  EXPECT_EQ(Manager().PositionOfFirst(TAccountFilter(savings)), 2u);
  EXPECT_EQ(Manager().PositionOfLast(TAccountFilter(savings)), 5u);
  TXHold from(Manager().FirstFrom(2, checkingFilter));
  EXPECT_EQ(from->Id(), ids[4]);
  EXPECT_FALSE(Manager().FirstFrom(6, checkingFilter));
  EXPECT_EQ(Manager().PositionOfFirst(TAccountFilter(rent)), 0u);

  // A record being deleted is hidden from every walk while the observers hear of it.
  uint32_t seen = 99;
  TRecordingList probe(Manager());
  probe.onRemoved = [&] { seen = Manager().Count(checkingFilter); };
  previous.reset();
  last.reset();
  next.reset();
  from.reset();
  Manager().Delete(first.release());
  EXPECT_EQ(seen, 1u);
}

TEST_F(ManagerTest, AnIdInNoSlotIsAnInternalError) {
  TXHold row = Type(checking, "3/1", "P", -100, groceries);
  EXPECT_THROW(Manager().Get(999), TModelError);
  TXRecord record{};
  record.Id = 999;
  EXPECT_THROW(Manager().LoadRecord(record), TModelError);
  EXPECT_THROW(Manager().StoreRecord(record), TModelError);
  EXPECT_EQ(Manager().FindRecord(999), nullptr);
  record.Id = row->Id();
  Manager().LoadRecord(record);
  EXPECT_EQ(record.amount, -100);

  TXRecord orphan{};
  orphan.Flags = kXNewMultipleKid;
  orphan.AccountId = checking;
  orphan.ParentId = row->Id();  // a payment, not a multiple
  EXPECT_THROW(Manager().Create(orphan), TModelError);
  orphan.ParentId = 777;
  EXPECT_THROW(Manager().Create(orphan), TModelError);
}

TEST(GenericListTest, AddressesFromOneAndRefusesBeyondTheCount) {
  TXGenericList list;
  EXPECT_EQ(list.Count(), 0u);
  int dummy = 0;
  list.Add(reinterpret_cast<TXItem*>(&dummy));
  EXPECT_EQ(list[1], reinterpret_cast<TXItem*>(&dummy));
  for (size_t index : {size_t{0}, size_t{2}}) {
    try {
      (void)list[index];
      ADD_FAILURE() << index;
    } catch (const TModelError& error) {
      EXPECT_STREQ(error.what(), "Attempt to access beyond limit in TXGenericList::operator[].");
    }
  }
}

// ---- Deleting and the cascades ---------------------------------------------------------------

TEST_F(ManagerTest, DeletingOneHalfOfAnAccountTransferRemovesBoth) {
  TXHold payment = Type(checking, "3/5", "Move", -12000, groceries);
  ASSERT_TRUE(TransferTo(*payment, savings));
  TRecordingList list(Manager());
  const uint32_t id = payment->Id();
  const uint32_t partnerId = payment->Record().PartnerId;
  Manager().Delete(payment.release());
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(Balance(checking), 0);
  EXPECT_EQ(Balance(savings), 0);
  EXPECT_EQ(EnvelopeBalance(groceries), 0);
  EXPECT_EQ(list.log.front(), "removed " + std::to_string(id));
  EXPECT_NE(std::find(list.log.begin(), list.log.end(), "changed " + std::to_string(partnerId)),
            list.log.end());
  ExpectSound();
}

TEST_F(ManagerTest, DeletingAnAccountLeavesTheOtherAccountWhole) {
  Type(checking, "3/1", "Pay", 100000, unallocated);
  Type(checking, "3/2", "Food", -3000, groceries);
  TXHold split = Type(checking, "3/3", "Split", -5000, dining);
  TXTransfers::MakeMultiple(*split);
  split.reset();
  TXHold move = Type(checking, "3/4", "To savings", -20000, groceries);
  ASSERT_TRUE(TransferTo(*move, savings));
  move.reset();
  Type(savings, "3/5", "Interest", 700, rent);
  ASSERT_EQ(Balance(savings), 20700);
  TRecordingView view;
  Manager().AddView(view);

  user.Script(TMessageAnswer::Yes);
  ASSERT_TRUE(Accounts().DeleteItem(*Accounts().Account(checking)));
  EXPECT_EQ(user.Messages().back().text, TAccountList::kDeleteQuestion);
  EXPECT_EQ(Balance(savings), 20700);
  EXPECT_EQ(EnvelopeBalance(unallocated), 20000);
  EXPECT_EQ(EnvelopeBalance(rent), 700);
  EXPECT_EQ(EnvelopeBalance(groceries), 0);
  EXPECT_EQ(EnvelopeBalance(dining), 0);
  for (const TXRecord& record : Records())
    EXPECT_EQ(record.AccountId, savings);
  ASSERT_FALSE(view.notices.empty());
  EXPECT_EQ(view.notices.front(), std::make_pair(2u, checking));
  Manager().RemoveView(view);
  ExpectSound();
}

TEST_F(ManagerTest, MovingAnEnvelopeIntoTheOtherSideOfItsTransfersDeletesThem) {
  Type(checking, "3/1", "Pay", 100000, groceries);
  TXHold entry = NewEnvelopeRow(groceries);
  entry->SetColumnText(TXItem::kColPayment, "50");
  ASSERT_TRUE(TXTransfers::CreateEnvelopeTransfer(*entry, dining));
  entry.reset();
  TXHold other = NewEnvelopeRow(groceries);
  other->SetColumnText(TXItem::kColPayment, "20");
  ASSERT_TRUE(TXTransfers::CreateEnvelopeTransfer(*other, rent));
  other.reset();
  Type(checking, "3/2", "Food", -3000, groceries);
  ASSERT_EQ(EnvelopeBalance(groceries), 100000 - 5000 - 2000 - 3000);
  TRecordingView view;
  Manager().AddView(view);

  user.ScriptEnvelopeChoice(dining);
  ASSERT_TRUE(Envelopes().DeleteItem(*Envelopes().Envelope(groceries), Accounts()));
  EXPECT_EQ(EnvelopeBalance(dining), 100000 - 2000 - 3000);
  EXPECT_EQ(EnvelopeBalance(rent), 2000);
  EXPECT_EQ(Manager().Count(TEnvelopeFilter(groceries)), 0u);
  int transfers = 0;
  for (const TXRecord& record : Records())
    transfers += record.IsEnvelopeTransfer();
  EXPECT_EQ(transfers, 2);
  EXPECT_EQ(view.notices.front(), std::make_pair(4u, groceries));
  Manager().RemoveView(view);
  ExpectSound();
}

TEST_F(ManagerTest, DeleteAllTakesMultiplesWithTheirParts) {
  for (int i = 0; i < 5; ++i) {
    TXHold row = Type(checking, "3/" + std::to_string(i + 1), "Split", -1000 * (i + 1), dining);
    TXTransfers::MakeMultiple(*row);
  }
  Type(savings, "3/9", "Keep", -400, rent);
  TRecordingView view;
  Manager().AddView(view);
  Manager().DeleteAll(TAccountFilter(checking));
  EXPECT_EQ(Records().size(), 1u);
  EXPECT_EQ(Balance(checking), 0);
  EXPECT_EQ(EnvelopeBalance(dining), 0);
  EXPECT_EQ(view.notices.size(), 5u);
  for (const auto& notice : view.notices)
    EXPECT_EQ(notice.first, 1u);
  Manager().RemoveView(view);
  ExpectSound();
  EXPECT_EQ(Manager().HeldItems(), 0u);
}

// ---- Check numbers --------------------------------------------------------------------------

TEST_F(ManagerTest, TheNextCheckNumberLooksAtTheLatest250Transactions) {
  EXPECT_EQ(Manager().NextCheckNumber(checking), 1u);
  Type(checking, "1/1", "Old", -100, groceries, "9000");
  for (int code = 100; code < 350; ++code) {
    Type(checking, "2/1", "Check", -100, groceries, std::to_string(code));
  }
  EXPECT_EQ(Manager().NextCheckNumber(checking), 350u);
  Type(savings, "3/1", "Mixed", -100, groceries, "12abc");
  Type(savings, "3/2", "Debit", -100, groceries, "DEBIT");
  EXPECT_EQ(Manager().NextCheckNumber(savings), 13u);
}

// ---- Confirmations --------------------------------------------------------------------------

TEST_F(ManagerTest, ConfirmingClearedMarksGivesThemTodaysDate) {
  TXHold row = Type(checking, "3/1", "Gas", -4000, groceries);
  EXPECT_FALSE(Manager().HasPendingCleared());
  row->ToggleAccountCleared();
  row->ToggleEnvelopeCleared();
  const uint32_t id = row->Id();
  row.reset();
  EXPECT_TRUE(Manager().HasPendingCleared());
  Manager().ConfirmCleared();
  EXPECT_FALSE(Manager().HasPendingCleared());
  TXHold again(Manager().Get(id));
  EXPECT_EQ(again->ColumnText(TXItem::kColAccountClearedDate), "03/15/24");
  EXPECT_EQ(again->ColumnText(TXItem::kColEnvelopeClearedDate), "03/15/24");
  EXPECT_EQ(Cleared(checking), -4000);

  // A row held through the confirmation keeps it when it is committed again.
  TXHold held = Type(checking, "3/2", "Gas", -1000, groceries);
  held->ToggleAccountCleared();
  Manager().ConfirmCleared();
  held->SetColumnText(TXItem::kColMemo, "after the confirmation");
  EXPECT_EQ(held->Record().AccountCleared, clock.Today().Packed());
  EXPECT_EQ(Manager().FindRecord(held->Id())->AccountCleared, clock.Today().Packed());
  EXPECT_FALSE(Manager().HasPendingCleared());
}

TEST_F(ManagerTest, NewImportsAreConfirmedInTheStore) {
  TXRecord imported{};
  imported.Flags = kXImported;
  imported.AccountId = checking;
  imported.EnvelopeId = unallocated;
  imported.NewImport = 1;
  imported.SetPayableTo("Bank");
  Manager().Create(imported).reset();
  EXPECT_TRUE(Manager().HasNewImports());
  Manager().ConfirmImports();
  EXPECT_FALSE(Manager().HasNewImports());
  EXPECT_EQ(Records().front().NewImport, 0);
}

// ---- Observers ------------------------------------------------------------------------------

TEST_F(ManagerTest, ObserversHearOfChangesAndMayLeaveWhileListening) {
  TRecordingView view;
  Manager().AddView(view);
  auto list = std::make_unique<TRecordingList>(Manager());
  TRecordingList other(Manager());
  // An observer that closes another one when it hears a change.
  TRecordingList closer(Manager());
  closer.onChanged = [&] { list.reset(); };

  TXHold row = NewAccountRow(checking);
  row->SetColumnText(TXItem::kColPayableTo, "Shop");
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(other.log, std::vector<std::string>{"changed " + std::to_string(row->Id())});
  EXPECT_EQ(view.repaints, 1);

  TXHold entry = NewEnvelopeRow(groceries);
  other.log.clear();
  TXTransfers::CreateEnvelopeTransfer(*entry, dining);
  ASSERT_EQ(other.log.size(), 3u);
  EXPECT_EQ(other.log[0], "changed " + std::to_string(entry->Id()));
  EXPECT_EQ(other.log[1], "added " + std::to_string(entry->Record().PartnerId));
  EXPECT_EQ(other.log[2], "changed " + std::to_string(entry->Record().PartnerId));
  Manager().RemoveView(view);
}

TEST_F(ManagerTest, AListOutlivingItsManagerLetsGoQuietly) {
  auto document2 = std::make_unique<TVorlaData>(environment);
  auto& manager = TransactionsOf(*document2);
  TRecordingList list(manager);
  EXPECT_EQ(list.Manager(), &manager);
  document2.reset();
  EXPECT_EQ(list.Manager(), nullptr);
}

}  // namespace

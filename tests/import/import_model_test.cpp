// Random budgets that users keep typing into, clearing and splitting, with bank statements
// imported between the edits, small and large: after every step the budget must be sound, and
// every import must leave each statement line with its one promised effect, every created
// transaction in the store with its own identifier, and the store in ledger order.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "import/import_dialog_state.h"
#include "import/import_procedure.h"
#include "tests/transactions/budget_fixture.h"
#include "transactions/xordering.h"

namespace {

class ImportModelTest : public BudgetTest {
 protected:
  int Pick(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
  TDateValue SomeDate() {
    if (Pick(15) == 0)
      return TDateValue();
    return TDateValue(1 + static_cast<unsigned>(Pick(28)), 1 + static_cast<unsigned>(Pick(3)),
                      2024);
  }
  int32_t SomeCents() { return (Pick(9) - 5) * 1000 + (Pick(4) == 0 ? Pick(3) : 0); }

  void TypeSome() {
    const uint32_t account = Pick(3) == 0 ? savings : checking;
    TXHold row = NewAccountRow(account);
    row->SetColumnText(TXItem::kColDate, SomeDate().Format(TDateValue::kFullYear));
    if (Pick(2) == 0)
      row->SetColumnText(TXItem::kColCode, std::to_string(Pick(6)));
    row->SetColumnText(TXItem::kColPayableTo, "Typed");
    TypeAmount(*row, SomeCents());
    if (Pick(4) == 0)
      row->ToggleAccountCleared();
    if (Pick(8) == 0)
      TXTransfers::MakeMultiple(*row);
  }

  // A statement of up to `size` lines; lines without a payee among them, as banks send.
  void ImportSome(int size) {
    TImportBatch batch;
    for (int i = Pick(size); i > 0; --i) {
      const TDateValue date = SomeDate();
      const TAmount amount(SomeCents());
      const std::string check = Pick(3) == 0 ? std::to_string(Pick(6)) : "";
      batch.Add(date, amount, check, "", Pick(4) == 0 ? "" : "Bank");
    }
    const TImportBatch lines = batch;
    const uint32_t account = Pick(3) == 0 ? savings : checking;
    const int options = Pick(64);
    user.ScriptAccountChoice(account);
    user.ScriptImportDialog([&](TImportDialogState& dialog) {
      dialog.SetAutomatic((options & 1) == 0);
      dialog.Options().ignoreCheckNumbers = (options & 2) != 0;
      dialog.SetOnlyNewer((options & 4) != 0);
      if (options & 8)
        dialog.Options().onlyNewerDate = SomeDate();
      return (options & 16) == 0 || lines.Empty();
    });
    const TImportResult result = ImportRecords(batch, document, nullptr);
    user.Clear();
    if (!result.imported)
      return;
    ASSERT_EQ(result.fates.size(), lines.Size());
    std::set<uint32_t> paired, created;
    std::vector<uint32_t> madeInOrder;
    for (size_t i = 0; i < lines.Size(); ++i) {
      const TImportFate& fate = result.fates[i];
      if (fate.kind == TImportFate::Kind::Dropped) {
        EXPECT_TRUE(result.options.onlyNewer &&
                    lines[i].Date.Packed() < result.options.onlyNewerDate.Packed());
        continue;
      }
      ++seen[static_cast<int>(fate.kind)];
      seen[3] += fate.adjusted;
      const TXRecord* made = Manager().FindRecord(fate.transaction);
      ASSERT_NE(made, nullptr);
      EXPECT_TRUE(made->IsLive());
      EXPECT_EQ(made->AccountId, account);
      EXPECT_EQ(made->amount, ImportCents(lines[i].Amount));
      if (fate.kind == TImportFate::Kind::Paired) {
        EXPECT_TRUE(paired.insert(fate.transaction).second) << "paired twice";
        EXPECT_TRUE(result.options.automatic);
        if (fate.newlyCleared) {
          EXPECT_EQ(made->NewImport, 1);
          EXPECT_EQ(made->AccountCleared, lines[i].Date.Packed());
        }
      } else {
        EXPECT_TRUE(created.insert(fate.transaction).second) << "created twice";
        madeInOrder.push_back(fate.transaction);
        EXPECT_EQ(made->AccountCleared, lines[i].Date.Packed());
      }
    }
    const std::vector<std::string> order = CheckLedgerOrder(Manager());
    EXPECT_TRUE(order.empty()) << order.front();
    ExpectPlacedOneByOne(madeInOrder);
  }

  // The created records stand exactly where placing them one after another, in the order they
  // were made, puts them: each walks down from the end of the others to just behind the first
  // one it does not sort before.
  void ExpectPlacedOneByOne(const std::vector<uint32_t>& made) {
    const std::set<uint32_t> madeSet(made.begin(), made.end());
    const TXStore& store = Manager().Store();
    std::vector<uint32_t> stored;
    std::vector<const TXRecord*> expected;
    std::map<uint32_t, const TXRecord*> madeRecords;
    for (uint32_t index = 1; index <= store.LastNonDead(); ++index) {
      const TXRecord& record = store.At(index);
      if (record.Flags == 0)
        continue;
      stored.push_back(record.Id);
      if (madeSet.count(record.Id) != 0)
        madeRecords[record.Id] = &record;
      else
        expected.push_back(&record);
    }
    const TXOrdering ordering(&Envelopes());
    for (uint32_t id : made) {
      const TXRecord& record = *madeRecords.at(id);
      size_t at = expected.size();
      while (at > 0 && ordering.Before(record, 1, *expected[at - 1], 0))
        --at;
      expected.insert(expected.begin() + static_cast<ptrdiff_t>(at), &record);
    }
    std::vector<uint32_t> expectedIds;
    for (const TXRecord* record : expected)
      expectedIds.push_back(record->Id);
    EXPECT_EQ(stored, expectedIds);
  }

  std::mt19937 random{424242};
  int seen[4] = {};  // by fate kind, and the adjusted amounts last
};

TEST_F(ImportModelTest, StatementsImportedBetweenEditsKeepTheBudgetSound) {
  for (int step = 0; step < 600; ++step) {
    if (Pick(5) == 0) {
      // Now and then a large statement, whose lines meet many entered on the same days.
      ImportSome(Pick(12) == 0 ? 1500 : 12);
    } else if (Pick(40) == 0) {
      Manager().ConfirmImports();
    } else {
      TypeSome();
    }
    ExpectSound();
    EXPECT_TRUE(Manager().SlotIndexCovers());
    ASSERT_FALSE(HasFailure()) << "step " << step;
  }
  EXPECT_GT(seen[static_cast<int>(TImportFate::Kind::Paired)], 20);
  EXPECT_GT(seen[static_cast<int>(TImportFate::Kind::Created)], 20);
  EXPECT_GT(seen[3], 2);
}

}  // namespace

// Random budgets that users keep typing into, clearing and splitting, with bank statements
// imported between the edits: after every step the budget must be sound, and every import must
// leave each statement line with its one promised effect.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "import/import_dialog_state.h"
#include "import/import_procedure.h"
#include "tests/transactions/budget_fixture.h"

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
    row->SetCellText(TXItem::kColDate, SomeDate().Format(TDateValue::kFullYear));
    if (Pick(2) == 0)
      row->SetCellText(TXItem::kColCode, std::to_string(Pick(6)));
    row->SetCellText(TXItem::kColPayableTo, "Typed");
    TypeAmount(*row, SomeCents());
    if (Pick(4) == 0)
      row->ToggleAccountCleared();
    if (Pick(8) == 0)
      TXTransfers::MakeMultiple(*row);
  }

  void ImportSome() {
    TImportBatch batch;
    for (int i = Pick(12); i > 0; --i) {
      TImportRecord line;
      line.Date = SomeDate();
      line.Amount = TAmount(SomeCents());
      line.CheckNumber = Pick(3) == 0 ? std::to_string(Pick(6)) : "";
      line.Name = "Bank";
      batch.Records.push_back(line);
    }
    const std::vector<TImportRecord> lines = batch.Records;
    const uint32_t account = Pick(3) == 0 ? savings : checking;
    const int options = Pick(64);
    user.ScriptAccountChoice(account);
    user.ScriptImportDialog([&](TImportDialogState& dialog) {
      dialog.SetAutomatic((options & 1) == 0);
      dialog.Options().ignoreCheckNumbers = (options & 2) != 0;
      dialog.SetOnlyNewer((options & 4) != 0);
      if (options & 8)
        dialog.Options().onlyNewerDate = SomeDate();
      return (options & 16) == 0 || lines.empty();
    });
    const TImportResult result = ImportRecords(batch, document, nullptr);
    user.Clear();
    if (!result.imported)
      return;
    ASSERT_EQ(result.fates.size(), lines.size());
    std::set<uint32_t> paired;
    for (size_t i = 0; i < lines.size(); ++i) {
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
      EXPECT_EQ(made->AccountId, account);
      if (made->IsLive()) {
        EXPECT_EQ(made->amount, ImportCents(lines[i].Amount));
      }
      if (fate.kind == TImportFate::Kind::Paired) {
        EXPECT_TRUE(paired.insert(fate.transaction).second) << "paired twice";
        EXPECT_TRUE(result.options.automatic);
        if (fate.newlyCleared) {
          EXPECT_EQ(made->NewImport, 1);
          EXPECT_EQ(made->AccountCleared, lines[i].Date.Packed());
        }
      } else {
        EXPECT_EQ(made->AccountCleared, lines[i].Date.Packed());
      }
    }
  }

  std::mt19937 random{424242};
  int seen[4] = {};  // by fate kind, and the adjusted amounts last
};

TEST_F(ImportModelTest, StatementsImportedBetweenEditsKeepTheBudgetSound) {
  for (int step = 0; step < 600; ++step) {
    if (Pick(5) == 0) {
      ImportSome();
    } else if (Pick(40) == 0) {
      Manager().ConfirmImports();
    } else {
      TypeSome();
    }
    ExpectSound();
    ASSERT_FALSE(HasFailure()) << "step " << step;
  }
  EXPECT_GT(seen[static_cast<int>(TImportFate::Kind::Paired)], 20);
  EXPECT_GT(seen[static_cast<int>(TImportFate::Kind::Created)], 20);
  EXPECT_GT(seen[3], 2);
}

}  // namespace

#include "import/import_procedure.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "core/setting_list.h"
#include "import/import_dialog_state.h"
#include "tests/transactions/budget_fixture.h"
#include "transactions/fixed_filters.h"

namespace {

using Kind = TImportFate::Kind;

struct TProcedureLine {
  TDateValue Date;
  TAmount Amount;
  std::string CheckNumber, Name, Memo;
};

TProcedureLine Line(TDateValue date, int64_t cents, std::string check = "", std::string name = "",
                    std::string memo = "") {
  return {date, TAmount::FromCents(cents), std::move(check), std::move(name), std::move(memo)};
}

class ImportProcedureTest : public BudgetTest {
 protected:
  /// Imports `lines` into Checking, the dialog worked by `dialog` (default: accepted as shown).
  TImportResult Import(const std::vector<TProcedureLine>& lines,
                       std::function<bool(TImportDialogState&)> dialog = Accept) {
    TImportBatch batch;
    for (const TProcedureLine& line : lines)
      batch.Add(line.Date, line.Amount, line.CheckNumber, line.Memo, line.Name);
    user.ScriptAccountChoice(checking);
    user.ScriptImportDialog(std::move(dialog));
    TImportResult result = ImportRecords(batch, document, &configuration);
    // Whatever the options dropped or moved, the statement comes back as it was handed in.
    EXPECT_EQ(batch.Size(), lines.size());
    for (size_t i = 0; i < lines.size() && i < batch.Size(); ++i) {
      const TImportRecord& after = batch[i];
      EXPECT_TRUE(after.Date == lines[i].Date && after.Amount == lines[i].Amount &&
                  batch.CheckNumber(after) == lines[i].CheckNumber &&
                  batch.Name(after) == lines[i].Name && batch.Memo(after) == lines[i].Memo)
          << i;
    }
    ExpectSound();
    EXPECT_EQ(document.AccountTotal(), document.EnvelopeTotal());
    return result;
  }
  static bool Accept(TImportDialogState&) { return true; }
  const TXRecord& Stored(uint32_t id) { return *Manager().FindRecord(id); }
  TImportOptions StoredOptions(uint32_t account) {
    return TImportOptions::Load(document, nullptr, account);
  }

  TSettingList configuration;
  const TDateValue mar1{1, 3, 2024}, mar3{3, 3, 2024}, mar6{6, 3, 2024}, mar9{9, 3, 2024},
      mar10{10, 3, 2024};
};

TEST_F(ImportProcedureTest, CheckNumberPairAdjustsTheAmountAndClearsOnTheBanksDate) {
  const uint32_t id = Type(checking, "03/01/2024", "Landlord", -5000, rent, "1042")->Id();
  const TImportResult result = Import({Line(mar9, -5500, "1042")});
  ASSERT_EQ(result.fates.size(), 1u);
  EXPECT_EQ(result.fates[0].kind, Kind::Paired);
  EXPECT_EQ(result.fates[0].transaction, id);
  EXPECT_TRUE(result.fates[0].adjusted);
  EXPECT_EQ(result.fates[0].enteredAmount, -5000);
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].caption, "Warning");
  EXPECT_EQ(user.Messages()[0].icon, TMessageIcon::Exclamation);
  EXPECT_EQ(user.Messages()[0].text,
            "The amount that posted at your bank for check 1042 is not the same as the amount "
            "you entered in Quenbrook. The bank posted $-55.00. You entered $-50.00. Quenbrook "
            "will adjust the amount.");
  EXPECT_EQ(Stored(id).amount, -5500);
  EXPECT_EQ(Stored(id).AccountCleared, mar9.Packed());
  EXPECT_EQ(Stored(id).NewImport, 1);
  EXPECT_EQ(Cleared(checking), -5500);
  EXPECT_EQ(EnvelopeBalance(rent), -5500);
  EXPECT_EQ(result.viewAccount, checking);
  // The statement's last date was 9 March: the next import looks back to 7 March.
  EXPECT_EQ(StoredOptions(checking).onlyNewerDate, TDateValue(7, 3, 2024));
}

TEST_F(ImportProcedureTest, UnpairedRecordsBecomeClearedNewTransactions) {
  const uint32_t kept = Type(checking, "03/01/2024", "Landlord", -5000, rent, "1042")->Id();
  const TImportResult result =
      Import({Line(mar9, -5500, "1042", "Bank Check"), Line(mar3, 1234, "", "Employer", "Salary"),
              Line(mar6, -300, "", "ATM"), Line(TDateValue(), -100, "", "No date")},
             [&](TImportDialogState& dialog) {
               dialog.Options().ignoreCheckNumbers = true;  // the check no longer pairs by number
               dialog.Options().envelope = groceries;
               dialog.Options().copyPayableTo = true;
               dialog.Options().onlyNewer = false;
               return true;
             });
  ASSERT_EQ(result.fates.size(), 4u);
  struct Expected {
    std::string_view code, payee, memo;
    uint32_t cleared;
  };
  const Expected expected[] = {{"1042", "", "Bank Check", mar9.Packed()},
                               {"credit", "", "Employer", mar3.Packed()},
                               {"debit", "", "ATM", mar6.Packed()},
                               {"debit", "", "No date", 0}};
  for (size_t i = 0; i < 4; ++i) {
    ASSERT_EQ(result.fates[i].kind, Kind::Created) << i;
    const TXRecord& made = Stored(result.fates[i].transaction);
    EXPECT_EQ(made.GetCode(), expected[i].code) << i;
    EXPECT_EQ(made.GetPayableTo(), expected[i].payee) << i;
    EXPECT_EQ(made.GetMemo(), expected[i].memo) << i;
    EXPECT_EQ(made.AccountCleared, expected[i].cleared) << i;
    EXPECT_EQ(made.Flags & ~kXUnsorted, kXImported) << i;
    EXPECT_EQ(made.EnvelopeId, groceries) << i;
    EXPECT_EQ(made.NewImport, 1) << i;
    EXPECT_EQ(made.created, clock.Today()) << i;
  }
  EXPECT_EQ(Stored(kept).AccountCleared, 0u);
  EXPECT_EQ(EnvelopeBalance(groceries), -5500 + 1234 - 300 - 100);
  EXPECT_TRUE(user.Messages().empty());
}

TEST_F(ImportProcedureTest, DateRulesPairingByDistanceAndTheDateFilter) {
  const uint32_t numbered = Type(checking, "03/01/2024", "Shop", -2000, 0, "1050")->Id();
  const uint32_t plain = Type(checking, "03/09/2024", "Shop", -2000)->Id();
  const TImportResult result = Import(
      {Line(TDateValue(28, 2, 2024), -2000, "", "Early"), Line(mar6, -2000), Line(mar10, -2000)},
      [&](TImportDialogState& dialog) {
        EXPECT_EQ(dialog.Options().onlyNewerDate, TDateValue(28, 2, 2024));  // proposal
        dialog.Options().onlyNewerDate = mar1;
        return true;
      });
  // 6 March is five days from the numbered one and three from the plain one, which the 10 March
  // record reaches at cost 2 first.
  EXPECT_EQ(result.fates[0].kind, Kind::Dropped);
  EXPECT_EQ(result.fates[1].kind, Kind::Created);
  EXPECT_EQ(result.fates[2].kind, Kind::Paired);
  EXPECT_EQ(result.fates[2].transaction, plain);
  EXPECT_TRUE(result.fates[2].newlyCleared);
  EXPECT_EQ(Stored(numbered).AccountCleared, 0u);
  EXPECT_EQ(Manager().Count(TAccountFilter(checking)), 3u);
}

TEST_F(ImportProcedureTest, NothingNewAndCancelling) {
  TXHold row = Type(checking, "03/01/2024", "Shop", -2000);
  row->SetAccountClearedDate(mar3);
  row.reset();
  user.Clear();
  // A paired transaction that was already cleared stays as it was.
  TImportResult result = Import({Line(mar3, -2000)});
  EXPECT_TRUE(result.fates[0].kind == Kind::Paired && !result.fates[0].newlyCleared);
  EXPECT_EQ(user.Texts(), std::vector<std::string>{kImportNothingNew});
  EXPECT_EQ(user.Messages()[0].caption, kImportNothingNewCaption);
  EXPECT_EQ(result.viewAccount, 0u);

  const size_t records = Records().size();
  // Cancelling the chooser changes nothing; cancelling the dialog keeps only the proposal.
  TImportBatch batch;
  batch.Add(TDateValue(2, 2, 2024), TAmount(-1));
  user.ScriptAccountChoice(std::nullopt);
  EXPECT_FALSE(ImportRecords(batch, document, &configuration).imported);
  EXPECT_FALSE(Import({Line(TDateValue(2, 2, 2024), -1)}, [](TImportDialogState&) {
                 return false;
               }).imported);
  EXPECT_EQ(Records().size(), records);
  EXPECT_EQ(StoredOptions(checking).onlyNewerDate, TDateValue(2, 2, 2024));
}

TEST_F(ImportProcedureTest, OptionsComeFromTheConfigurationOnceAndTravelWithTheDocument) {
  configuration.SetNumber(TImportOptions::kCopyPayableTo, 1, savings);
  configuration.SetText(TImportOptions::kCodeNegative, "withdrawal-with-a-long-name", savings);
  document.ClearModified();
  const TImportOptions loaded = TImportOptions::Load(document, &configuration, savings);
  EXPECT_TRUE(loaded.copyPayableTo);
  EXPECT_EQ(loaded.codeNegative, "withdrawal-with-a-l");
  EXPECT_EQ(loaded.envelope, Accounts().GetDefaultEnvelope(savings));
  EXPECT_TRUE(document.IsModified());
  configuration.SetNumber(TImportOptions::kCopyPayableTo, 0, savings);  // the document wins now
  EXPECT_EQ(TImportOptions::Load(document, &configuration, savings), loaded);

  TImportOptions changed;
  changed.automatic = false;
  changed.importAll = true;
  changed.onlyNewer = false;
  changed.onlyNewerDate = TDateValue(31, 12, 65535);
  changed.ignoreCheckNumbers = true;
  changed.envelope = 4000000000u;
  changed.codePositive = "in";
  changed.codeNegative = "";
  changed.Store(document, checking);
  EXPECT_EQ(StoredOptions(checking), changed);
  EXPECT_EQ(StoredOptions(savings), loaded);  // scopes kept apart
}

TEST_F(ImportProcedureTest, DialogSwitchesAccountsAndEnablesTheDate) {
  TImportOptions savingsOptions;
  savingsOptions.codePositive = "interest";
  savingsOptions.Store(document, savings);
  Import({Line(mar3, 700)}, [&](TImportDialogState& dialog) {
    EXPECT_EQ(dialog.AccountName(), "Checking");
    EXPECT_TRUE(dialog.DateEnabled());
    EXPECT_FALSE(dialog.SetOnlyNewer(false));
    EXPECT_FALSE(dialog.DateEnabled());
    EXPECT_TRUE(dialog.SetOnlyNewer(true));  // checking it moves the focus to the date
    user.ScriptAccountChoice(savings);
    EXPECT_TRUE(dialog.ChooseAccount(user));
    EXPECT_EQ(dialog.Options().codePositive, "interest");
    dialog.SetAutomatic(false);
    return true;
  });
  EXPECT_EQ(user.Dialogs().back().name, "Select Import Account");
  const TXRecord made = RecordsOf(TAccountFilter(savings)).at(0);
  EXPECT_EQ(made.GetCode(), "interest");
  EXPECT_TRUE(StoredOptions(savings).importAll);
  EXPECT_EQ(Balance(savings), 700);
}

TEST_F(ImportProcedureTest, MultiplesAndVanishedEnvelopesKeepTheBudgetBalanced) {
  TXHold row = Type(checking, "03/01/2024", "Market", -5000, groceries, "77");
  const uint32_t id = TXTransfers::MakeMultiple(*row);
  row.reset();
  ASSERT_TRUE(Stored(id).IsMultiple());
  TImportOptions options = StoredOptions(checking);
  options.envelope = 999;
  options.Store(document, checking);
  const TImportResult result = Import({Line(mar3, -5500, "77")});
  // The multiple cannot take the bank's amount alone: the line becomes a transaction of its own.
  EXPECT_EQ(result.fates[0].kind, Kind::Created);
  EXPECT_EQ(Stored(id).amount, -5000);
  EXPECT_EQ(Stored(result.fates[0].transaction).EnvelopeId,
            Accounts().GetDefaultEnvelope(checking));
}

}  // namespace

namespace {

// A line of 0.00 without a payee looks like an untouched ledger row, but it is a line the bank
// sent: it must be created, keep its own identifier, and not vanish on the next line's commit.
TEST_F(ImportProcedureTest, EveryCreatedLineExistsWithItsOwnIdentifierWhateverItHolds) {
  const TDateValue mar2{2, 3, 2024};
  const std::vector<std::vector<TProcedureLine>> statements = {
      {Line(mar2, 0), Line(mar3, -4567)},
      {Line(mar3, -4567), Line(mar2, 0)},
      std::vector<TProcedureLine>(40, Line(mar2, 0)),
  };
  for (const std::vector<TProcedureLine>& lines : statements) {
    const TImportResult result = Import(lines, [](TImportDialogState& dialog) {
      dialog.SetAutomatic(false);  // the earlier statements' lines would pair
      return true;
    });
    std::set<uint32_t> ids;
    for (size_t i = 0; i < lines.size(); ++i) {
      ASSERT_EQ(result.fates[i].kind, Kind::Created) << i;
      ids.insert(result.fates[i].transaction);
      const TXRecord* made = Manager().FindRecord(result.fates[i].transaction);
      ASSERT_NE(made, nullptr) << i;
      EXPECT_TRUE(made->IsLive()) << i;
      EXPECT_EQ(made->amount, lines[i].Amount.Cents()) << i;
      EXPECT_EQ(made->NewImport, 1) << i;
    }
    EXPECT_EQ(ids.size(), lines.size());
    // The newly imported view shows exactly these.
    std::set<uint32_t> shown;
    for (const TXRecord& record : RecordsOf(TAccountFilter(checking))) {
      if (record.NewImport != 0)
        shown.insert(record.Id);
    }
    EXPECT_EQ(shown, ids);
    Manager().ConfirmImports();
  }
  // Erasing one is still erasing: the blank record leaves once let go.
  const uint32_t zero = RecordsOf(TAccountFilter(checking)).front().Id;
  ASSERT_EQ(Stored(zero).amount, 0);
  TXHold item(Manager().Get(zero));
  item->SetNewImport();
  item->Erase();
  item.reset();
  EXPECT_EQ(Manager().FindRecord(zero), nullptr);
}

}  // namespace

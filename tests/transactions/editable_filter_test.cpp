#include "transactions/editable_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/account_list.h"
#include "core/account_node.h"
#include "core/clock.h"
#include "tests/support/recording_user_port.h"
#include "tests/support/sample_envelopes.h"
#include "tests/support/tree_nodes.h"
#include "tests/transactions/record_builder.h"

namespace {

// The sample envelopes, and the accounts Checking and Savings.
class EditableFilterTest : public ::testing::Test, protected TSampleEnvelopes {
 protected:
  EditableFilterTest() {
    savings = AddNode<TAccount>(accounts, accounts.Root(), "Savings").Id();
    checking = AddNode<TAccount>(accounts, accounts.Root(), "Checking").Id();
  }

  TEditableFilter Filter(uint32_t mode, uint32_t target) const {
    return TEditableFilter(mode, target, envelopes, accounts, clock);
  }

  // Puts `criteria` in force the way the user does: through the dialog.
  void Use(TEditableFilter& filter, const TFilterCriteria& criteria) {
    user.ScriptFilterDialog(criteria);
    ASSERT_TRUE(filter.EditWithDialog(user));
  }

  // A filter of `mode` on `target` with `set` applied to its defaults through the dialog.
  TEditableFilter With(uint32_t mode, uint32_t target,
                       const std::function<void(TFilterCriteria&)>& set) {
    TEditableFilter filter = Filter(mode, target);
    TFilterCriteria criteria = filter.Criteria();
    set(criteria);
    Use(filter, criteria);
    return filter;
  }

  TFilterCriteria Defaults(const TEditableFilter& filter) const {
    TEditableFilter fresh = Filter(filter.Mode(), filter.TargetId());
    return fresh.Criteria();
  }

  TFixedClock clock{TDateValue(15, 3, 2024)};
  TRecordingUserPort user;
  TAccountList accounts;
  uint32_t checking = 0;
  uint32_t savings = 0;
};

struct TRecordCase {
  std::string name;
  TXRecord record;
  bool accepted;
};

void ExpectCases(const TEditableFilter& filter, const std::vector<TRecordCase>& cases) {
  for (const TRecordCase& c : cases) {
    EXPECT_EQ(filter.Accepts(c.record), c.accepted) << c.name;
  }
}

// ---- construction, defaults and Reset -------------------------------------

TEST_F(EditableFilterTest, StartsInactiveWithTheDefaultsOfItsKind) {
  const TEditableFilter accountFilter = Filter(TEditableFilter::kAccountLedger, checking);
  const TFilterCriteria& c = accountFilter.Criteria();
  EXPECT_FALSE(accountFilter.IsActive());
  EXPECT_EQ(c.fromDate, TDateValue(1, 3, 2024));
  EXPECT_EQ(c.toDate, TDateValue(15, 3, 2024));
  EXPECT_EQ(c.fromAmount, -100.0);
  EXPECT_EQ(c.toAmount, 100.0);
  EXPECT_TRUE(c.anyDate && c.anyAmount && c.anyCode && c.anyState && c.anyPayee && c.anyMemo &&
              c.anyItem && c.anyImportState && c.normalView);
  EXPECT_FALSE(c.dateRange || c.deposit || c.payment || c.amountRange || c.numberOnly ||
               c.nonNumber || c.codeTextOn || c.codeExact || c.notClearedOrPending || c.cleared ||
               c.notCleared || c.payeeTextOn || c.payeeExact || c.memoTextOn || c.memoExact ||
               c.transfer || c.multiple || c.byItem || c.newImportOnly || c.reconcileView);
  EXPECT_TRUE(c.codeText.empty() && c.payeeText.empty() && c.memoText.empty());
  // Food is the first envelope in display order: envelopes come before bundles.
  EXPECT_EQ(c.itemId, food->Id());

  const TEditableFilter envelopeFilter = Filter(TEditableFilter::kEnvelopeLedger, rent->Id());
  EXPECT_EQ(envelopeFilter.Criteria().itemId, accounts.NthAccountId(1));
  EXPECT_NE(envelopeFilter.Criteria().itemId, 0u);
  for (TPredefinedFilter which :
       {TPredefinedFilter::AllUnreconciled, TPredefinedFilter::UnreconciledNonChecks,
        TPredefinedFilter::UnreconciledChecks, TPredefinedFilter::UnreconciledDeposits,
        TPredefinedFilter::NewlyImported}) {
    EXPECT_FALSE(accountFilter.Marker(which));
  }
  // Without envelopes or accounts there is no item to choose.
  const TEnvelopeList noEnvelopes;
  const TAccountList noAccounts;
  for (uint32_t mode : {TEditableFilter::kAccountLedger, TEditableFilter::kEnvelopeLedger})
    EXPECT_EQ(TEditableFilter(mode, 1, noEnvelopes, noAccounts, clock).Criteria().itemId, 0u);
}

TEST_F(EditableFilterTest, ResetRestoresTheDefaultsOfTheDayItRuns) {
  TEditableFilter filter = Filter(TEditableFilter::kAccountLedger, checking);
  filter.ApplyUnreconciledChecks(true);
  clock.SetToday(TDateValue(2, 4, 2024));
  filter.Reset();
  EXPECT_FALSE(filter.IsActive());
  EXPECT_FALSE(filter.Marker(TPredefinedFilter::UnreconciledChecks));
  EXPECT_EQ(filter.Criteria(), TFilterCriteria::Defaults(TDateValue(2, 4, 2024), food->Id()));
}

// ---- the dialog -------------------------------------------------------------

TEST_F(EditableFilterTest, DialogOkPutsTheCriteriaInForceAndClearsTheMarkers) {
  TEditableFilter filter = Filter(TEditableFilter::kAccountLedger, checking);
  filter.ApplyAllUnreconciled(true);
  TFilterCriteria chosen = filter.Criteria();
  chosen.anyPayee = false;
  chosen.payeeTextOn = true;
  chosen.payeeText = "Grocer";
  Use(filter, chosen);
  EXPECT_TRUE(filter.IsActive());
  EXPECT_FALSE(filter.Marker(TPredefinedFilter::AllUnreconciled));
  EXPECT_EQ(filter.Criteria(), chosen);
  ASSERT_EQ(user.FilterDialogs().size(), 1u);
  EXPECT_TRUE(user.FilterDialogs()[0].shown.notClearedOrPending);
}

TEST_F(EditableFilterTest, DialogCancelChangesNothing) {
  TEditableFilter filter = Filter(TEditableFilter::kAccountLedger, checking);
  filter.ApplyNewlyImported(true);
  const TFilterCriteria before = filter.Criteria();
  user.ScriptFilterDialog(std::nullopt);
  EXPECT_FALSE(filter.EditWithDialog(user));
  EXPECT_EQ(filter.Criteria(), before);
  EXPECT_TRUE(filter.IsActive());
  EXPECT_TRUE(filter.Marker(TPredefinedFilter::NewlyImported));
}

TEST_F(EditableFilterTest, DialogTextsAreCutToTheFieldsOfTheRecord) {
  const TEditableFilter filter = With(TEditableFilter::kAccountLedger, checking, [](auto& c) {
    c.codeText = std::string(25, 'c');
    c.payeeText = std::string(100, 'p');
    c.memoText = std::string(95, 'm');
  });
  EXPECT_EQ(filter.Criteria().codeText, std::string(19, 'c'));
  EXPECT_EQ(filter.Criteria().payeeText, std::string(89, 'p'));
  EXPECT_EQ(filter.Criteria().memoText, std::string(89, 'm'));
}

TEST_F(EditableFilterTest, DialogIsSetUpForTheKindOfFilter) {
  struct TCase {
    uint32_t mode;
    bool accountFilter;
    bool reportFilter;
    std::string groupTitle;
    std::string byItemLabel;
    std::string transferLabel;
  };
  const std::vector<TCase> cases = {
      {TEditableFilter::kAccountLedger, true, false, " Envelope ", "Envelope:", "Account Transfer"},
      {TEditableFilter::kAccountLedgerReport, true, true, " Envelope ",
       "Envelope:", "Account Transfer"},
      {TEditableFilter::kEnvelopeLedger, false, false, " Account ",
       "Account:", "Envelope Transfer"},
      {TEditableFilter::kEnvelopeLedgerReport, false, true, " Account ",
       "Account:", "Envelope Transfer"},
  };
  for (const TCase& c : cases) {
    const TEditableFilter filter = Filter(c.mode, 1);
    const TFilterDialogSetup setup = filter.DialogSetup();
    SCOPED_TRACE(c.mode);
    EXPECT_EQ(setup.accountFilter, c.accountFilter);
    EXPECT_EQ(setup.reportFilter, c.reportFilter);
    EXPECT_EQ(setup.itemGroupTitle, c.groupTitle);
    EXPECT_EQ(setup.byItemLabel, c.byItemLabel);
    EXPECT_EQ(setup.transferLabel, c.transferLabel);
    std::vector<std::string> names;
    for (const TItemChoice& choice : setup.choices)
      names.push_back(choice.name);
    if (c.accountFilter) {
      EXPECT_EQ(names, (std::vector<std::string>{"Food", "Rent", "Power"}));
    } else {
      EXPECT_EQ(names.size(), 2u);
      EXPECT_NE(std::find(names.begin(), names.end(), "Checking"), names.end());
      EXPECT_NE(std::find(names.begin(), names.end(), "Savings"), names.end());
    }
  }
}

// ---- predefined filters -------------------------------------------------------

TEST_F(EditableFilterTest, PredefinedFiltersSetTheirCriteriaAndTurnTheirGroupsAnyOff) {
  struct TCase {
    TPredefinedFilter which;
    void (TEditableFilter::*apply)(bool);
    std::function<void(TFilterCriteria&)> expected;
  };
  auto unreconciled = [](TFilterCriteria& c) {
    c.normalView = false;
    c.reconcileView = true;
    c.anyState = false;
    c.notClearedOrPending = true;
  };
  const std::vector<TCase> cases = {
      {TPredefinedFilter::AllUnreconciled, &TEditableFilter::ApplyAllUnreconciled, unreconciled},
      {TPredefinedFilter::UnreconciledDeposits, &TEditableFilter::ApplyUnreconciledDeposits,
       [&](TFilterCriteria& c) {
         unreconciled(c);
         c.anyAmount = false;
         c.deposit = true;
       }},
      {TPredefinedFilter::UnreconciledChecks, &TEditableFilter::ApplyUnreconciledChecks,
       [&](TFilterCriteria& c) {
         unreconciled(c);
         c.anyAmount = false;
         c.payment = true;
         c.anyCode = false;
         c.numberOnly = true;
       }},
      {TPredefinedFilter::UnreconciledNonChecks, &TEditableFilter::ApplyUnreconciledNonChecks,
       [&](TFilterCriteria& c) {
         unreconciled(c);
         c.anyAmount = false;
         c.payment = true;
         c.anyCode = false;
         c.nonNumber = true;
       }},
      {TPredefinedFilter::NewlyImported, &TEditableFilter::ApplyNewlyImported,
       [](TFilterCriteria& c) {
         c.normalView = false;
         c.reconcileView = true;
         c.anyImportState = false;
         c.newImportOnly = true;
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.which));
    TEditableFilter filter = Filter(TEditableFilter::kAccountLedger, checking);
    // Whatever was in force before is dropped first.
    TFilterCriteria earlier = filter.Criteria();
    earlier.anyMemo = false;
    earlier.memoTextOn = true;
    earlier.memoText = "rent";
    Use(filter, earlier);
    filter.ApplyAllUnreconciled(true);

    (filter.*c.apply)(true);
    TFilterCriteria expected = Defaults(filter);
    c.expected(expected);
    EXPECT_EQ(filter.Criteria(), expected);
    EXPECT_TRUE(filter.IsActive());
    EXPECT_TRUE(filter.IsReconcileView());
    for (const TCase& other : cases) {
      EXPECT_EQ(filter.Marker(other.which), other.which == c.which);
    }

    (filter.*c.apply)(false);
    EXPECT_EQ(filter.Criteria(), Defaults(filter));
    EXPECT_FALSE(filter.IsActive());
    EXPECT_FALSE(filter.IsReconcileView());
    EXPECT_FALSE(filter.Marker(c.which));
  }
}

TEST_F(EditableFilterTest, PredefinedFiltersTakeTheirRecords) {
  TEditableFilter checks = Filter(TEditableFilter::kAccountLedger, checking);
  checks.ApplyUnreconciledChecks(true);
  TEditableFilter nonChecks = Filter(TEditableFilter::kAccountLedger, checking);
  nonChecks.ApplyUnreconciledNonChecks(true);
  TEditableFilter deposits = Filter(TEditableFilter::kAccountLedger, checking);
  deposits.ApplyUnreconciledDeposits(true);
  TEditableFilter imports = Filter(TEditableFilter::kAccountLedger, checking);
  imports.ApplyNewlyImported(true);
  struct TCase {
    std::string name;
    TXRecord record;
    bool check, nonCheck, deposit, imported;
  };
  const uint32_t f = food->Id();
  const uint32_t confirmed = ConfirmedOn(1, 3, 2024);
  const std::vector<TCase> cases = {
      {"check 1042 open", Payment(checking, f, -4000).Code("1042"), true, false, false, false},
      {"check 1042 pending", Payment(checking, f, -4000).Code("1042").AccountCleared(1), true,
       false, false, false},
      {"check 1042 confirmed", Payment(checking, f, -4000).Code("1042").AccountCleared(confirmed),
       false, false, false, false},
      {"only the envelope side confirmed",
       Payment(checking, f, -4000).Code("1042").EnvelopeCleared(confirmed), true, false, false,
       false},
      {"payment coded DEBIT", Payment(checking, f, -4000).Code("DEBIT"), false, true, false, false},
      {"payment without code", Payment(checking, f, -4000), false, true, false, false},
      {"payment coded -5", Payment(checking, f, -4000).Code("-5"), false, false, false, false},
      {"confirmed payment coded ATM",
       Payment(checking, f, -4000).Code("ATM").AccountCleared(confirmed), false, false, false,
       false},
      {"deposit", Payment(checking, f, 4000), false, false, true, false},
      {"a deposit with a number", Payment(checking, f, 4000).Code("1042"), false, false, true,
       false},
      {"pending deposit", Payment(checking, f, 4000).AccountCleared(1), false, false, true, false},
      {"confirmed deposit", Payment(checking, f, 4000).AccountCleared(confirmed), false, false,
       false, false},
      {"a zero amount with a number", Payment(checking, f, 0).Code("1042"), false, false, false,
       false},
      {"new import", Payment(checking, f, -100).NewImport(), false, true, false, true},
      {"confirmed and cleared import",
       Payment(checking, f, -100).NewImport().AccountCleared(confirmed), false, false, false, true},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(checks.Accepts(c.record), c.check) << c.name;
    EXPECT_EQ(nonChecks.Accepts(c.record), c.nonCheck) << c.name;
    EXPECT_EQ(deposits.Accepts(c.record), c.deposit) << c.name;
    EXPECT_EQ(imports.Accepts(c.record), c.imported) << c.name;
  }
}

// ---- which records belong to the target ---------------------------------------

TEST_F(EditableFilterTest, AccountLedgerTakesItsAccountSideAndKeepsEmptyRows) {
  const TEditableFilter filter = With(TEditableFilter::kAccountLedger, checking, [](auto& c) {
    c.anyPayee = false;
    c.payeeTextOn = true;
    c.payeeText = "Grocer";
  });
  const uint32_t f = food->Id();
  ExpectCases(
      filter,
      {
          {"matching payee", Payment(checking, f, -100).Payee("Corner Grocer"), true},
          {"other payee", Payment(checking, f, -100).Payee("Landlord"), false},
          {"empty row", Payment(checking, f, 0).Blank(), true},
          {"empty row with a stale payee", Payment(checking, f, 0).Payee("Landlord").Blank(), true},
          {"empty row of another account", Payment(savings, f, 0).Blank(), false},
          {"other account", Payment(savings, f, -100).Payee("Grocer"), false},
          {"multiple", MultipleParent(checking, -100).Payee("Grocer"), true},
          {"part of a multiple", MultiplePart(checking, f, -100).Payee("Grocer"), false},
          {"account transfer half", AccountTransferHalf(checking, -100).Payee("Grocer"), true},
          {"envelope entry", EnvelopeEntry(f, -100).Payee("Grocer"), false},
          {"envelope-only record that names the account",
           EnvelopeEntry(f, -100).Account(checking).Payee("Grocer"), false},
      });
}

TEST_F(EditableFilterTest, ReportFiltersLeaveEmptyRowsOutAndTakeALaterTarget) {
  TEditableFilter accountReport = Filter(TEditableFilter::kAccountLedgerReport, 0);
  EXPECT_FALSE(accountReport.Accepts(Payment(checking, food->Id(), -100)));
  accountReport.SetTargetId(checking);
  EXPECT_TRUE(accountReport.Accepts(Payment(checking, food->Id(), -100)));
  EXPECT_FALSE(accountReport.Accepts(Payment(checking, food->Id(), 0).Blank()));
  const TEditableFilter envelopeReport = Filter(TEditableFilter::kEnvelopeLedgerReport, rent->Id());
  EXPECT_TRUE(envelopeReport.Accepts(EnvelopeEntry(rent->Id(), -100)));
  EXPECT_FALSE(envelopeReport.Accepts(EnvelopeEntry(rent->Id(), 0).Blank()));
}

TEST_F(EditableFilterTest, EnvelopeLedgerTakesItsEnvelopeAndItsOwnEmptyRows) {
  const TEditableFilter filter = Filter(TEditableFilter::kEnvelopeLedger, rent->Id());
  const uint32_t r = rent->Id();
  ExpectCases(filter, {
                          {"payment", Payment(checking, r, -100), true},
                          {"part of a multiple", MultiplePart(checking, r, -100), true},
                          {"envelope transfer half", EnvelopeTransferHalf(r, 100), true},
                          {"envelope entry", EnvelopeEntry(r, 100), true},
                          {"empty envelope row", EnvelopeEntry(r, 0).Blank(), true},
                          {"empty account row", Payment(checking, r, 0).Blank(), false},
                          {"other envelope", Payment(checking, food->Id(), -100), false},
                          {"envelope below is not this envelope",
                           Payment(checking, power->Id(), -1), false},
                          {"multiple", MultipleParent(checking, -100), false},
                          {"account transfer half", AccountTransferHalf(checking, -100), false},
                      });
}

TEST_F(EditableFilterTest, EnvelopeTreeReportTakesEverythingBelowItsNode) {
  struct TCase {
    std::string name;
    uint32_t target;
    TXRecord record;
    bool accepted;
  };
  const uint32_t root = envelopes.Root().Id();
  const std::vector<TCase> cases = {
      {"the bundle's envelope", home->Id(), Payment(checking, rent->Id(), -1), true},
      {"two levels down", home->Id(), Payment(checking, power->Id(), -1), true},
      {"outside the bundle", home->Id(), Payment(checking, food->Id(), -1), false},
      {"an inner bundle leaves its parent's envelopes", utilities->Id(),
       Payment(checking, rent->Id(), -1), false},
      {"an association gathers its aliases' envelopes", fixed->Id(),
       EnvelopeTransferHalf(rent->Id(), 5), true},
      {"an association leaves the rest", fixed->Id(), Payment(checking, power->Id(), -1), false},
      {"an envelope on its own", power->Id(), Payment(checking, power->Id(), -1), true},
      {"the root takes every envelope", root, Payment(checking, food->Id(), -1), true},
      // Records without an envelope side carry 0, which is no envelope even when the root's
      // identifier is 0: a multiple would otherwise count beside its own parts.
      {"the root leaves a multiple out", root, MultipleParent(checking, -1), false},
      {"the root leaves an account transfer out", root, AccountTransferHalf(checking, -1), false},
      {"the root takes the parts of a multiple", root, MultiplePart(checking, rent->Id(), -1),
       true},
      {"an unknown envelope named as the target", 99, EnvelopeEntry(99, 1), true},
      {"an unknown envelope elsewhere", home->Id(), EnvelopeEntry(99, 1), false},
  };
  ASSERT_EQ(root, 0u);
  for (const TCase& c : cases) {
    const TEditableFilter filter = Filter(TEditableFilter::kEnvelopeLedgerReport, c.target);
    EXPECT_EQ(filter.Accepts(c.record), c.accepted) << c.name;
  }
}

// ---- the criteria, one group at a time -----------------------------------------

TEST_F(EditableFilterTest, DateRangeIsInclusiveAndComparesWholeDates) {
  TEditableFilter filter = Filter(TEditableFilter::kAccountLedger, checking);
  filter.SetDateRange(TDateValue(1, 2, 2024), TDateValue(29, 2, 2024));
  filter.SetDateRangeActive(true);
  EXPECT_TRUE(filter.IsDateRangeActive());
  EXPECT_FALSE(filter.Criteria().anyDate);
  EXPECT_EQ(filter.GetFromDate(), TDateValue(1, 2, 2024));
  EXPECT_EQ(filter.GetToDate(), TDateValue(29, 2, 2024));
  struct TCase {
    TDateValue date;
    bool accepted;
  };
  const std::vector<TCase> cases = {
      {TDateValue(1, 2, 2024), true},  {TDateValue(29, 2, 2024), true},
      {TDateValue(15, 2, 2024), true}, {TDateValue(31, 1, 2024), false},
      {TDateValue(1, 3, 2024), false}, {TDateValue(15, 2, 2023), false},
      {TDateValue(0, 0, 2024), false},  // an empty date lies before the year's first day
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(filter.Accepts(Payment(checking, food->Id(), -1).Date(c.date)), c.accepted)
        << c.date.Format(TDateValue::kFullYear);
  }
  filter.SetDateRangeActive(false);
  EXPECT_TRUE(filter.Criteria().anyDate);
  EXPECT_TRUE(filter.Accepts(Payment(checking, food->Id(), -1).Date(TDateValue(1, 3, 2024))));
}

TEST_F(EditableFilterTest, AmountCriteria) {
  struct TCase {
    std::string name;
    std::function<void(TFilterCriteria&)> set;
    int32_t cents;
    bool accepted;
  };
  auto range = [](double from, double to) {
    return [from, to](TFilterCriteria& c) {
      c.anyAmount = false;
      c.amountRange = true;
      c.fromAmount = from;
      c.toAmount = to;
    };
  };
  auto deposit = [](TFilterCriteria& c) {
    c.anyAmount = false;
    c.deposit = true;
  };
  auto payment = [](TFilterCriteria& c) {
    c.anyAmount = false;
    c.payment = true;
  };
  const std::vector<TCase> cases = {
      {"deposit takes money in", deposit, 1, true},
      {"deposit leaves 0.00", deposit, 0, false},
      {"deposit leaves a payment", deposit, -1, false},
      {"payment takes money out", payment, -1, true},
      {"payment leaves 0.00", payment, 0, false},
      {"payment leaves a deposit", payment, 1, false},
      {"payment of 150.00 outside -100..100", range(-100.0, 100.0), -15000, false},
      {"payment of 100.00 on the bound", range(-100.0, 100.0), -10000, true},
      {"deposit of 100.00 on the bound", range(-100.0, 100.0), 10000, true},
      {"deposit of 100.01", range(-100.0, 100.0), 10001, false},
      {"zero inside", range(-100.0, 100.0), 0, true},
      {"bound 19.99 is 1999 cents", range(0.0, 19.99), 1999, true},
      {"just above 19.99", range(0.0, 19.99), 2000, false},
      {"half a cent rounds away from zero", range(-0.005, 0.005), 1, true},
      {"a bound of 20000000 units counts as 0", range(-20000000.0, 100.0), -5000, false},
      {"so the range starts at 0", range(-20000000.0, 100.0), 0, true},
      {"19999999.99 is still a bound", range(-19999999.99, 0.0), -1999999999, true},
      {"a range upside down takes nothing", range(100.0, -100.0), 0, false},
  };
  for (const TCase& c : cases) {
    const TEditableFilter filter = With(TEditableFilter::kAccountLedger, checking, c.set);
    EXPECT_EQ(filter.Accepts(Payment(checking, food->Id(), c.cents)), c.accepted) << c.name;
  }
}

TEST_F(EditableFilterTest, NumberOnlyAndNonNumberReadTheLeadingNumber) {
  struct TCase {
    std::string code;
    bool numberOnly;
    bool nonNumber;
  };
  const std::vector<TCase> cases = {
      {"1042", true, false},
      {"12abc", true, false},
      {"0042", true, false},
      {" 7", true, false},
      {"+3", true, false},
      {"1", true, false},
      {"DEBIT", false, true},
      {"", false, true},
      {"0", false, true},
      {"abc12", false, true},
      {"m.1042", false, true},
      {"-5", false, false},
      {"9999999999999999999", true, false}};  // the last one more than 64 bits hold
  const TEditableFilter numbers = With(TEditableFilter::kAccountLedger, checking, [](auto& c) {
    c.anyCode = false;
    c.numberOnly = true;
  });
  const TEditableFilter texts = With(TEditableFilter::kAccountLedger, checking, [](auto& c) {
    c.anyCode = false;
    c.nonNumber = true;
  });
  for (const TCase& c : cases) {
    const TXRecord record = Payment(checking, food->Id(), -1).Code(c.code);
    EXPECT_EQ(numbers.Accepts(record), c.numberOnly) << '"' << c.code << '"';
    EXPECT_EQ(texts.Accepts(record), c.nonNumber) << '"' << c.code << '"';
  }
}

TEST_F(EditableFilterTest, TextCriteriaMatchCaseAndStoredText) {
  enum class TField { Code, Payee, Memo };
  struct TCase {
    TField field;
    std::string text;
    bool exact;
    std::string value;
    bool accepted;
  };
  const std::vector<TCase> cases = {
      {TField::Payee, "Grocer", false, "Corner Grocer", true},
      {TField::Payee, "grocer", false, "Corner Grocer", false},
      {TField::Payee, "Grocer", true, "Corner Grocer", false},
      {TField::Payee, "Corner Grocer", true, "Corner Grocer", true},
      {TField::Payee, "", false, "Corner Grocer", true},
      {TField::Payee, "", false, "", true},
      {TField::Payee, "", true, "Corner Grocer", false},
      {TField::Payee, "", true, "", true},
      // Placeholders are matched as stored, never expanded.
      {TField::Payee, "~t", false, "Transfer to ~t", true},
      {TField::Payee, "Savings", false, "Transfer to ~t", false},
      {TField::Memo, "rent", false, "March rent", true},
      {TField::Memo, "Rent", false, "March rent", false},
      {TField::Memo, "March rent", true, "March rent", true},
      {TField::Memo, "", true, "x", false},
      {TField::Code, "10", false, "1042", true},
      {TField::Code, "10", true, "1042", false},
      {TField::Code, "ATM", true, "ATM", true},
      {TField::Code, "atm", true, "ATM", false},
  };
  using C = TFilterCriteria;
  struct TGroup {
    bool C::*any;
    bool C::*textOn;
    std::string C::*text;
    bool C::*exact;
    TRecordBuilder& (TRecordBuilder::*store)(std::string_view);
  };
  const TGroup groups[] = {
      {&C::anyCode, &C::codeTextOn, &C::codeText, &C::codeExact, &TRecordBuilder::Code},
      {&C::anyPayee, &C::payeeTextOn, &C::payeeText, &C::payeeExact, &TRecordBuilder::Payee},
      {&C::anyMemo, &C::memoTextOn, &C::memoText, &C::memoExact, &TRecordBuilder::Memo},
  };
  for (const TCase& c : cases) {
    const TGroup& g = groups[static_cast<int>(c.field)];
    const TEditableFilter filter = With(TEditableFilter::kAccountLedger, checking, [&](auto& f) {
      f.*g.any = false;
      f.*g.textOn = true;
      f.*g.text = c.text;
      f.*g.exact = c.exact;
    });
    TRecordBuilder record = Payment(checking, food->Id(), -1);
    (record.*g.store)(c.value);
    EXPECT_EQ(filter.Accepts(record), c.accepted)
        << static_cast<int>(c.field) << " '" << c.text << "' exact=" << c.exact << " in '"
        << c.value << "'";
  }
}

TEST_F(EditableFilterTest, ClearedStateLooksAtTheSideOfTheFilter) {
  enum class TState { NotClearedOrPending, Cleared, NotCleared };
  struct TCase {
    TState state;
    uint32_t mark;
    bool accepted;
    uint32_t otherSide;  // a mark that would give the other answer
  };
  const uint32_t confirmed = ConfirmedOn(1, 3, 2024);
  const std::vector<TCase> cases = {
      {TState::NotClearedOrPending, 0, true, confirmed},
      {TState::NotClearedOrPending, 1, true, confirmed},
      {TState::NotClearedOrPending, confirmed, false, 0},
      {TState::Cleared, 0, false, 1},
      {TState::Cleared, 1, true, 0},
      {TState::Cleared, confirmed, true, 0},
      {TState::NotCleared, 0, true, 1},
      {TState::NotCleared, 1, false, 0},
      {TState::NotCleared, confirmed, false, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "state " << static_cast<int>(c.state) << " mark " << c.mark);
    TEditableFilter accountFilter = Filter(TEditableFilter::kAccountLedger, checking);
    TEditableFilter envelopeFilter = Filter(TEditableFilter::kEnvelopeLedger, food->Id());
    TFilterCriteria criteria = accountFilter.Criteria();
    criteria.anyState = false;
    criteria.notClearedOrPending = c.state == TState::NotClearedOrPending;
    criteria.cleared = c.state == TState::Cleared;
    criteria.notCleared = c.state == TState::NotCleared;
    Use(accountFilter, criteria);
    Use(envelopeFilter, criteria);
    const TXRecord markOnAccount =
        Payment(checking, food->Id(), -1).AccountCleared(c.mark).EnvelopeCleared(c.otherSide);
    const TXRecord markOnEnvelope =
        Payment(checking, food->Id(), -1).EnvelopeCleared(c.mark).AccountCleared(c.otherSide);
    EXPECT_EQ(accountFilter.Accepts(markOnAccount), c.accepted);
    EXPECT_EQ(envelopeFilter.Accepts(markOnEnvelope), c.accepted);
    EXPECT_EQ(accountFilter.Accepts(markOnEnvelope), !c.accepted);
    EXPECT_EQ(envelopeFilter.Accepts(markOnAccount), !c.accepted);
  }
}

TEST_F(EditableFilterTest, TransferAndMultipleDependOnTheKindOfFilter) {
  enum class TCriterion { Transfer, Multiple };
  struct TCase {
    std::string name;
    TCriterion criterion;
    TXRecord record;
    bool byAccountLedger;
    bool byEnvelopeLedger;
  };
  const uint32_t r = rent->Id();
  // Every record lies in Checking and, where its kind has an envelope, in Rent. Two records of
  // a damaged file name Rent although their kind has no envelope: they pass the envelope
  // ledger's own test, so only the criterion can turn them away.
  const std::vector<TCase> cases = {
      {"account transfer half", TCriterion::Transfer, AccountTransferHalf(checking, -100), true,
       false},
      {"account transfer half naming Rent", TCriterion::Transfer,
       AccountTransferHalf(checking, -100).Envelope(r), true, false},
      {"envelope transfer half", TCriterion::Transfer, EnvelopeTransferHalf(r, -100), false, true},
      {"payment is no transfer", TCriterion::Transfer, Payment(checking, r, -100), false, false},
      {"multiple", TCriterion::Multiple, MultipleParent(checking, -100), true, false},
      {"multiple naming Rent", TCriterion::Multiple, MultipleParent(checking, -100).Envelope(r),
       true, false},
      {"part of a multiple", TCriterion::Multiple, MultiplePart(checking, r, -100), false, true},
      {"payment is no multiple", TCriterion::Multiple, Payment(checking, r, -100), false, false},
  };
  for (const TCase& c : cases) {
    TEditableFilter accountLedger = Filter(TEditableFilter::kAccountLedger, checking);
    TEditableFilter envelopeLedger = Filter(TEditableFilter::kEnvelopeLedger, r);
    TFilterCriteria criteria = accountLedger.Criteria();
    criteria.anyItem = false;
    criteria.transfer = c.criterion == TCriterion::Transfer;
    criteria.multiple = c.criterion == TCriterion::Multiple;
    Use(accountLedger, criteria);
    Use(envelopeLedger, criteria);
    EXPECT_EQ(accountLedger.Accepts(c.record), c.byAccountLedger) << c.name;
    EXPECT_EQ(envelopeLedger.Accepts(c.record), c.byEnvelopeLedger) << c.name;
  }
}

TEST_F(EditableFilterTest, ByItemChoosesAnEnvelopeOrAnAccount) {
  auto byItem = [&](uint32_t mode, uint32_t target, uint32_t item) {
    return With(mode, target, [item](auto& c) {
      c.anyItem = false;
      c.byItem = true;
      c.itemId = item;
    });
  };
  ExpectCases(byItem(TEditableFilter::kAccountLedger, checking, rent->Id()),
              {
                  {"chosen envelope", Payment(checking, rent->Id(), -1), true},
                  {"other envelope", Payment(checking, food->Id(), -1), false},
                  {"multiple has no envelope", MultipleParent(checking, -1), false},
                  {"account transfer has no envelope", AccountTransferHalf(checking, -1), false},
              });

  ExpectCases(
      byItem(TEditableFilter::kEnvelopeLedgerReport, home->Id(), savings),
      {
          {"chosen account", Payment(savings, power->Id(), -1), true},
          {"other account", Payment(checking, power->Id(), -1), false},
          {"envelope entry has no account", EnvelopeEntry(power->Id(), -1), false},
          {"part of a multiple of the account", MultiplePart(savings, rent->Id(), -1), true},
      });
}

TEST_F(EditableFilterTest, AnyButtonsSelectNothingByThemselves) {
  TEditableFilter filter = Filter(TEditableFilter::kAccountLedger, checking);
  TFilterCriteria criteria = filter.Criteria();
  // Every "any" button off, but no other button of the groups set: nothing is tested.
  criteria.anyDate = criteria.anyAmount = criteria.anyCode = criteria.anyState = false;
  criteria.anyPayee = criteria.anyMemo = criteria.anyItem = criteria.anyImportState = false;
  criteria.codeText = "nothing like it";
  criteria.payeeText = "nothing like it";
  criteria.fromDate = TDateValue(1, 1, 2030);
  Use(filter, criteria);
  EXPECT_TRUE(filter.Accepts(
      Payment(checking, food->Id(), -1).Code("1").AccountCleared(ConfirmedOn(1, 1, 2024))));
}

}  // namespace

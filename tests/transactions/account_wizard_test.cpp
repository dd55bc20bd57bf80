// The account wizard's model step: the account, its "Start" transaction and the balances.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/account_node.h"
#include "tests/transactions/budget_fixture.h"

namespace {

class AccountWizardTest : public BudgetTest {
 protected:
  TAccountWizard wizard{Manager()};
};

TEST_F(AccountWizardTest, AStartingBalanceBecomesAClearedStartTransactionInUnallocated) {
  TAccount* account = wizard.AddAccount({"Visa", "card", 5, -1234.56, TDateValue(1, 2, 2024)});
  ASSERT_NE(account, nullptr);
  EXPECT_EQ(account->Name(), "Visa");
  EXPECT_EQ(account->Type(), 5u);
  EXPECT_EQ(account->DefaultEnvelope(), unallocated);
  const std::vector<TXRecord> records = RecordsOf(TAccountFilter(account->Id()));
  ASSERT_EQ(records.size(), 1u);
  const TXRecord& start = records[0];
  EXPECT_EQ(start.Flags, kXLive | kXAccountSide);
  EXPECT_EQ(start.GetCode(), "Start");
  EXPECT_EQ(start.GetPayableTo(), "Starting Balance");
  EXPECT_EQ(start.EnvelopeId, unallocated);
  EXPECT_EQ(start.amount, -123456);
  EXPECT_EQ(start.date, TDateValue(1, 2, 2024));
  EXPECT_EQ(start.created, clock.Today());
  EXPECT_NE(start.AccountCleared, 0u);
  EXPECT_EQ(start.EnvelopeCleared, 0u);
  EXPECT_EQ(Balance(account->Id()), -123456);
  EXPECT_EQ(Cleared(account->Id()), -123456);
  EXPECT_EQ(EnvelopeBalance(unallocated), -123456);
  EXPECT_EQ(EnvelopeCleared(unallocated), 0);
  ExpectSound();
}

TEST_F(AccountWizardTest, StartingBalancesRoundToCentsWithinTheEntryLimit) {
  struct Case {
    double units;
    int32_t cents;
  };
  const std::vector<Case> cases = {{12.345, 1235}, {-12.345, -1235},          {0, 0},
                                   {0.004, 0},     {19999999.99, 1999999999}, {25000000, 0},
                                   {-20000000, 0}};
  int n = 0;
  for (const Case& c : cases) {
    TAccount* account = wizard.AddAccount(
        {"Account " + std::to_string(++n), "", 1, c.units, TDateValue(1, 1, 2024)});
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(Balance(account->Id()), c.cents) << c.units;
    EXPECT_EQ(RecordsOf(TAccountFilter(account->Id())).at(0).amount, c.cents) << c.units;
  }
  ExpectSound();
}

TEST_F(AccountWizardTest, ANameIsTakenOncePerRun) {
  ASSERT_NE(wizard.AddAccount({"Cash", "", 3, 10, TDateValue(1, 1, 2024)}), nullptr);
  EXPECT_EQ(wizard.AddAccount({"Cash", "", 3, 10, TDateValue(1, 1, 2024)}), nullptr);
  EXPECT_EQ(wizard.AddAccount({"", "", 3, 10, TDateValue(1, 1, 2024)}), nullptr);
  ASSERT_EQ(user.Messages().size(), 2u);
  EXPECT_EQ(user.Messages()[0].text,
            "Account name, \"Cash\" has already been used.  Please use a different account name.");
  EXPECT_EQ(user.Messages()[0].caption, "Error");
  EXPECT_EQ(user.Messages()[0].icon, TMessageIcon::Exclamation);
  EXPECT_EQ(user.Messages()[1].text,
            "Account name, \"\" has already been used.  Please use a different account name.");
  // Names compare exactly; another case is another name.
  EXPECT_NE(wizard.AddAccount({"cash", "", 3, 10, TDateValue(1, 1, 2024)}), nullptr);
  EXPECT_EQ(wizard.UsedNames().Count(), 2u);
  EXPECT_EQ(EnvelopeBalance(unallocated), 2000);
  ExpectSound();
}

TEST_F(AccountWizardTest, WithoutUnallocatedTheFirstEnvelopeTakesTheStart) {
  user.ScriptEnvelopeChoice(rent);
  ASSERT_TRUE(Envelopes().DeleteItem(*Envelopes().Envelope(unallocated), Accounts()));
  TAccount* account = wizard.AddAccount({"Brokerage", "", 6, 500, TDateValue(1, 1, 2024)});
  ASSERT_NE(account, nullptr);
  const uint32_t first = Envelopes().EnvelopeChoices().front().id;
  EXPECT_EQ(account->DefaultEnvelope(), first);
  EXPECT_EQ(EnvelopeBalance(first), 50000);
  ExpectSound();
}

TEST(AccountWizardEmptyTest, NoEnvelopeMeansNoAccount) {
  TRecordingUserPort user;
  TFixedClock clock(TDateValue(15, 3, 2024));
  TModelEnvironment environment{user, clock};
  TVorlaData document(environment);
  TAccountWizard wizard(TransactionsOf(document));
  EXPECT_EQ(wizard.AddAccount({"Checking", "", 1, 100, TDateValue(1, 1, 2024)}), nullptr);
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text, TAccountList::kNoEnvelopeMessage);
  EXPECT_EQ(document.Accounts().NumberOfAccounts(), 0u);
  EXPECT_EQ(wizard.UsedNames().Count(), 0u);
}

}  // namespace

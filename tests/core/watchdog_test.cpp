#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/envelope_list.h"
#include "core/idler.h"
#include "tests/support/fake_document.h"
#include "tests/support/tree_nodes.h"

namespace {

class WatchdogTest : public ::testing::Test {
 protected:
  void SetUp() override { list.SetContext(&document); }

  TEnv& NewEnv(TTreeItem& under, std::string name, float threshold, int32_t balance) {
    auto& env = AddNode<TEnv>(list, under, name);
    env.SetThreshold(threshold);
    env.ChangeBalance(balance);
    return env;
  }

  // Moves the balance to `balance` and lets the idle step run once.
  void LookAt(TEnv& env, int32_t balance) {
    env.ChangeBalance(balance - env.StoredBalance());
    TIdler::RunIdlers();
  }

  TFakeDocument document;
  TEnvelopeList list;
};

TEST_F(WatchdogTest, WarnsOncePerDropBelowTheThreshold) {
  TEnv& food = NewEnv(list.Root(), "Food", 50.0f, 6000);
  TIdler::RunIdlers();  // the first look only remembers
  struct Step {
    int32_t balance;
    const char* warning;  // null when none
  };
  for (Step step :
       {Step{6000, nullptr}, Step{4500, "Envelope \"Food\" is below its Threshold. (45.00)"},
        Step{4000, "Envelope \"Food\" is below its Threshold. (40.00)"}, Step{4200, nullptr},
        Step{4200, nullptr}, Step{3000, "Envelope \"Food\" is below its Threshold. (30.00)"},
        Step{3000, nullptr}, Step{5000, nullptr}, Step{7000, nullptr}}) {
    SCOPED_TRACE(step.balance);
    document.user.Clear();
    LookAt(food, step.balance);
    if (step.warning == nullptr) {
      EXPECT_TRUE(document.user.Messages().empty());
    } else {
      ASSERT_EQ(document.user.Messages().size(), 1u);
      EXPECT_EQ(document.user.Messages()[0].text, step.warning);
      EXPECT_EQ(document.user.Messages()[0].caption, "Quenbrook");
      EXPECT_EQ(document.user.Messages()[0].icon, TMessageIcon::Error);
    }
  }
}

TEST_F(WatchdogTest, FirstLookNeverWarns) {
  NewEnv(list.Root(), "Food", 50.0f, -100000);
  TIdler::RunIdlers();
  EXPECT_TRUE(document.user.Messages().empty());
}

TEST_F(WatchdogTest, ZeroThresholdSaysZero) {
  TEnv& env = NewEnv(list.Root(), "Fun Money", 0.0f, 100);
  TIdler::RunIdlers();
  LookAt(env, -5);
  EXPECT_EQ(document.user.Texts(),
            (std::vector<std::string>{"Envelope \"Fun Money\" is below Zero. (-0.05)"}));
}

TEST_F(WatchdogTest, BundleWatchesItsTotal) {
  auto& bundle =
      static_cast<TBundle&>(list.Root().AddChild(std::make_unique<TBundle>(list.NewId())));
  bundle.SetName("Home");
  bundle.SetThreshold(1000.0f);
  TEnv& rent = NewEnv(bundle, "Rent", 0.0f, 90000);
  NewEnv(bundle, "Power", 0.0f, 20000);
  TIdler::RunIdlers();
  LookAt(rent, 70000);
  EXPECT_EQ(document.user.Texts(),
            (std::vector<std::string>{"Bundle \"Home\" is below its Threshold. (900.00)"}));
}

TEST_F(WatchdogTest, SwitchedOffWatchdogKeepsTheLastBalance) {
  TEnv& env = NewEnv(list.Root(), "Food", 50.0f, 6000);
  TIdler::RunIdlers();
  env.SetWatchdog(false);
  LookAt(env, 4000);
  LookAt(env, 3000);
  EXPECT_TRUE(document.user.Messages().empty());
  // Switched on again, the balance is compared with the last one seen while it was on.
  env.SetWatchdog(true);
  LookAt(env, 4500);
  EXPECT_EQ(document.user.Texts(),
            (std::vector<std::string>{"Envelope \"Food\" is below its Threshold. (45.00)"}));
}

TEST_F(WatchdogTest, EnvelopeOutsideADocumentStaysQuiet) {
  TEnvelopeList loose;
  auto& env = static_cast<TEnv&>(loose.Root().AddChild(std::make_unique<TEnv>(1)));
  env.SetThreshold(50.0f);
  TIdler::RunIdlers();
  env.ChangeBalance(-100);
  TIdler::RunIdlers();
  EXPECT_TRUE(document.user.Messages().empty());
}

}  // namespace

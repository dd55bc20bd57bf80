// The payee index: prefix matches by most recent use, case-blind over 8-bit text, kept current
// through commits, deletions and imports, and the latest record of a payee per account.
#include "transactions/payee_index.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "tests/transactions/budget_fixture.h"

namespace {

using Texts = std::vector<std::string>;

class PayeeIndexTest : public BudgetTest {
 protected:
  Texts Matches(std::string_view prefix) { return Manager().Payees().Matches(prefix); }
  /// What an index built afresh from the store answers.
  Texts Fresh(std::string_view prefix) {
    TXPayeeIndex fresh;
    fresh.Build(Manager().Store());
    return fresh.Matches(prefix);
  }
};

TEST_F(PayeeIndexTest, MatchesPrefixMostRecentFirstCaseBlind) {
  Manager().Payees();  // built while empty, kept current from here on
  Type(checking, "2/1/2024", "Grocery Mart", -1000);
  Type(checking, "3/1/2024", "Green Grocer", -2000);
  Type(savings, "1/1/2024", "gas station", -500);
  Type(checking, "4/1/2024", "\xC9picerie Fine", -700);  // É
  Type(checking, "1/1/2024", "Rent", -90000);
  struct Case {
    const char* prefix;
    Texts expected;
  };
  const Case cases[] = {
      {"g", {"Green Grocer", "Grocery Mart", "gas station"}},
      {"GR", {"Green Grocer", "Grocery Mart"}},
      {"groc", {"Grocery Mart"}},
      {"\xE9pi", {"\xC9picerie Fine"}},  // é finds É
      {"Grocery Mart!", {}},
      {"x", {}},
      {"", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Matches(c.prefix), c.expected) << c.prefix;
}

TEST_F(PayeeIndexTest, FollowsCommitsAndDeletions) {
  Manager().Payees();
  TXHold old = Type(checking, "2/1/2024", "Grocery Mart", -1000);
  TXHold late = Type(checking, "5/1/2024", "grocery mart", -1000);
  Type(checking, "3/1/2024", "Green Grocer", -2000);
  struct Step {
    std::function<void()> act;
    Texts expected;
  };
  const Step steps[] = {
      // The latest use spells the payee and places it.
      {[] {}, {"grocery mart", "Green Grocer"}},
      // Its latest use moves before the other payee's.
      {[&] { late->SetColumnText(TXItem::kColDate, "1/1/2024"); },
       {"Green Grocer", "Grocery Mart"}},
      {[&] { Manager().Delete(late.release()); }, {"Green Grocer", "Grocery Mart"}},
      // The last use leaves: the payee disappears.
      {[&] { old->SetColumnText(TXItem::kColPayableTo, "Gas"); }, {"Green Grocer", "Gas"}},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    steps[i].act();
    EXPECT_EQ(Matches("g"), steps[i].expected) << "step " << i;
    EXPECT_EQ(Matches("g"), Fresh("g")) << "step " << i;
  }
  EXPECT_EQ(Manager().Payees().LatestRecord("grocery mart", 0), 0u);
}

TEST_F(PayeeIndexTest, LatestRecordPrefersTheAccount) {
  Manager().Payees();
  const uint32_t inChecking = Type(checking, "2/1/2024", "Grocery Mart", -1000)->Id();
  const uint32_t inSavings = Type(savings, "3/1/2024", "Grocery Mart", -1200)->Id();
  TXPayeeIndex& payees = Manager().Payees();
  EXPECT_EQ(payees.LatestRecord("GROCERY MART", checking), inChecking);
  EXPECT_EQ(payees.LatestRecord("Grocery Mart", savings), inSavings);
  EXPECT_EQ(payees.LatestRecord("Grocery Mart", 0), inSavings);
  EXPECT_EQ(payees.LatestRecord("Grocery", checking), 0u);
}

TEST_F(PayeeIndexTest, LeavesOutPartsTransferTextsAndBlankRows) {
  Manager().Payees();
  TXHold multiple = Type(checking, "2/1/2024", "Market", -500, groceries);
  ASSERT_NE(TXTransfers::MakeMultiple(*multiple), 0u);
  Manager()
      .Get(Manager().PartIds(multiple->Id()).front())
      ->SetColumnText(TXItem::kColPayableTo, "Milk");
  TXHold transfer = Type(checking, "2/1/2024", "", -100);
  ASSERT_TRUE(TransferTo(*transfer, savings));
  NewAccountRow(checking);
  EXPECT_EQ(Matches("m"), Texts{"Market"});
  EXPECT_EQ(Matches("t"), Texts{});
  EXPECT_EQ(Manager().Payees().PayeeCount(), 1u);
}

TEST_F(PayeeIndexTest, ImportsAndRandomEditsAgreeWithAFreshIndex) {
  Manager().Payees();
  {
    TXManager::TAddedInBulk bulk(Manager(), 40);
    for (int i = 0; i < 40; ++i)
      Type(i % 2 ? checking : savings, "1/" + std::to_string(i % 28 + 1) + "/2024",
           "Shop " + std::to_string(i % 7), -100 - i);
  }
  EXPECT_EQ(Matches("shop").size(), 7u);
  std::mt19937 random(7);
  for (int step = 0; step < 200; ++step) {
    const std::vector<TXRecord> records = Records();
    TXHold item = Manager().Get(records[random() % records.size()].Id);
    switch (random() % 4) {
      case 0:
        Manager().Delete(item.release());
        Type(checking, "3/2/2024", "Shop " + std::to_string(random() % 12), -5);
        break;
      case 1:
        item->SetColumnText(TXItem::kColPayableTo, "SHOP " + std::to_string(random() % 12));
        break;
      case 2:
        item->SetColumnText(TXItem::kColDate, "2/" + std::to_string(random() % 28 + 1) + "/2024");
        break;
      default:
        item->SetColumnText(TXItem::kColPayableTo, "");
        break;
    }
    item.reset();
    // "s" is shared by every payee and walked by recency; "shop 1" by three, sorted.
    for (const char* prefix : {"s", "shop 1"})
      ASSERT_EQ(Matches(prefix), Fresh(prefix)) << prefix << ", step " << step;
  }
  TXPayeeIndex fresh;
  fresh.Build(Manager().Store());
  for (const std::string& payee : fresh.Matches("s", 100)) {
    for (uint32_t account : {0u, checking, savings})
      EXPECT_EQ(Manager().Payees().LatestRecord(payee, account),
                fresh.LatestRecord(payee, account));
  }
}

}  // namespace

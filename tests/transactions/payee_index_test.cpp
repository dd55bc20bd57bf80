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

TEST_F(PayeeIndexTest, KeysAreWholeTextsFoldedOnlyForLetters) {
  // Long keys of one length that share their first 30 bytes, and the characters next to 'A'-'Z'
  // and 'a'-'z', which fold to nothing.
  const char* payees[] = {"Northwind Traders Limited of Leeds",
                          "Northwind Traders Limited of Luton",
                          "a@",
                          "a`",
                          "a[",
                          "a{",
                          "aZ",
                          "\xC0\xDE\xD7\x8A"};
  for (int built = 0; built < 2; ++built) {
    Manager().Payees();
    for (const char* payee : payees)
      Type(checking, "2/1/2024", payee, -100);
    if (built == 1)
      Manager().Compact();  // the next question builds the index from the store
    struct Case {
      const char* text;
      size_t matches;
      bool known;
    };
    const Case cases[] = {
        {"NORTHWIND TRADERS LIMITED OF LUTON", 1, true},
        {"northwind traders limited of l", 2, false},
        {"A", 5, false},
        {"A@", 1, true},
        {"A`", 1, true},
        {"A[", 1, true},
        {"A{", 1, true},
        {"Az", 1, true},
        {"\xE0\xFE\xD7\x9A", 1, true},  // but the multiplication sign has no small form
        {"\xE0\xFE\xF7", 0, false},
    };
    for (const Case& c : cases) {
      EXPECT_EQ(Matches(c.text).size(), c.matches) << c.text << ", built " << built;
      EXPECT_EQ(Manager().Payees().LatestRecord(c.text, 0) != 0, c.known) << c.text;
    }
    Manager().DeleteAll(TXAnyFilter());
  }
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
  // Built again from the store, so that the edits also meet the lists a build makes.
  Manager().Compact();
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

/// A damaged file may carry any identifier; the index keeps its memory to the records it holds.
TEST(PayeeIndexStoreTest, FarIdentifiersCostNoMemory) {
  TXStore store;
  const auto put = [&](uint32_t id, unsigned day, std::string_view payee) {
    TXRecord record{};
    record.Id = id;
    record.Flags = kXLive | kXAccountSide;
    record.AccountId = 1;
    record.date = TDateValue(day, 1, 2024);
    record.SetPayableTo(payee);
    store.Put(store.ClaimSlot(), record);
    return record;
  };
  put(1, 1, "Shop");
  TXRecord far = put(0xFFFFFFF0u, 2, "shop");
  TXPayeeIndex index;
  index.Build(store);
  EXPECT_EQ(index.Matches("s"), Texts{"shop"});
  EXPECT_EQ(index.LatestRecord("SHOP", 1), far.Id);
  EXPECT_LT(index.MemoryBytes(), size_t{1} << 20);
  far.SetPayableTo("Other");
  index.Note(far);
  EXPECT_EQ(index.Matches("s"), Texts{"Shop"});
  EXPECT_EQ(index.Matches("o"), Texts{"Other"});
  index.Forget(far.Id);
  EXPECT_EQ(index.PayeeCount(), 1u);
}

}  // namespace

// A new row filled from its payee's latest transaction: plain, multiple, transfer, another
// account, and rows that already hold something.
#include "transactions/remembered_fill.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/transactions/budget_fixture.h"

namespace {

class RememberedFillTest : public BudgetTest {
 protected:
  RememberedFillTest() { Manager().Payees(); }

  /// A payment with a memo and a code.
  TXHold Paid(uint32_t account, std::string_view date, std::string_view payee, int32_t cents,
              uint32_t envelope, std::string_view code, std::string_view memo) {
    TXHold row = Type(account, date, payee, cents, envelope, code);
    row->SetColumnText(TXItem::kColMemo, memo);
    return row;
  }
  /// The envelope, amount, memo and code of a record, and the envelopes and amounts of its
  /// parts, as one text.
  std::string Shape(const TXItem& item) {
    const TXRecord& r = item.Record();
    std::string text = Envelopes().NameOfEnvelope(r.EnvelopeId) + " " + std::to_string(r.amount) +
                       " '" + std::string(r.GetMemo()) + "' '" + std::string(r.GetCode()) + "'";
    for (uint32_t id : Manager().PartIds(r.Id)) {
      const TXRecord& part = *Manager().FindRecord(id);
      text += " [" + Envelopes().NameOfEnvelope(part.EnvelopeId) + " " +
              std::to_string(part.amount) + " " + std::string(part.GetPayableTo()) + "]";
    }
    return text;
  }
};

TEST_F(RememberedFillTest, NewRowsTakeThePayeesLatestTransaction) {
  Paid(checking, "1/5/2024", "Grocery Mart", -1000, dining, "ATM", "old");
  Paid(checking, "1/9/2024", "Grocery Mart", -4250, groceries, "ATM", "weekly");
  Paid(savings, "1/20/2024", "grocery mart", -9900, rent, "", "in savings");
  Paid(checking, "1/6/2024", "Corner Shop", -300, dining, "1042", "");
  Paid(savings, "1/7/2024", "Landlord", -80000, rent, "", "only in savings");
  TXHold market = Paid(checking, "1/8/2024", "Market", -1500, groceries, "", "split");
  ASSERT_NE(TXTransfers::MakeMultiple(*market), 0u);
  AddPart(*market, dining, "7.00")->SetColumnText(TXItem::kColPayableTo, "lunch");
  TXHold move = Type(checking, "1/4/2024", "Mover", -2000);
  ASSERT_TRUE(TransferTo(*move, savings));
  struct Case {
    const char* payee;
    bool filled;
    std::string shape;
  };
  const Case cases[] = {
      // The latest in this account, though savings has a later one; a code that is not a check
      // number comes along.
      {"grocery mart", true, "Groceries -4250 'weekly' 'ATM'"},
      // A check number is not repeated.
      {"Corner Shop", true, "Dining -300 '' ''"},
      // Known only in another account.
      {"Landlord", true, "Rent -80000 'only in savings' ''"},
      {"Market", true, "? -2200 'split' '' [Dining -700 lunch] [Groceries -1500 ]"},
      {"Mover", false, "Unallocated 0 '' ''"},
      {"Stranger", false, "Unallocated 0 '' ''"},
  };
  for (const Case& c : cases) {
    TXHold row = NewAccountRow(checking);
    EXPECT_EQ(TXRememberedFill::Fill(*row, c.payee), c.filled) << c.payee;
    EXPECT_EQ(row->Record().GetPayableTo(), c.payee);
    std::string shape = Shape(*row);
    if (row->Record().IsMultiple())
      shape.replace(0, shape.find(' '), "?");
    EXPECT_EQ(shape, c.shape) << c.payee;
    Manager().Delete(row.release());
  }
  ExpectSound();
}

TEST_F(RememberedFillTest, RowsHoldingAnythingAreNotFilled) {
  Paid(checking, "1/9/2024", "Grocery Mart", -4250, groceries, "ATM", "weekly");
  TXHold withAmount = NewAccountRow(checking);
  TypeAmount(*withAmount, -100);
  TXHold existing = Type(checking, "1/10/2024", "Someone", -700, dining);
  for (TXItem* row : {withAmount.get(), existing.get()}) {
    const int32_t amount = row->Record().amount;
    EXPECT_FALSE(TXRememberedFill::Fill(*row, "Grocery Mart"));
    EXPECT_EQ(row->Record().GetPayableTo(), "Grocery Mart");
    EXPECT_EQ(row->Record().amount, amount);
    EXPECT_EQ(row->Record().GetMemo(), "");
  }
  ExpectSound();
}

}  // namespace

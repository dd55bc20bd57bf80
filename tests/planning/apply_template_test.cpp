#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "planning/template_manager.h"
#include "presentation/xview_model.h"
#include "tests/transactions/budget_fixture.h"

namespace {

class ApplyTemplateTest : public BudgetTest {
 protected:
  enum class Start { Zero, Payment, TransferHalf, Multiple, Named };
  struct Item {
    uint32_t* envelope;  // null: an envelope that was deleted
    int32_t amount;
  };

  TXTemplate& Make(const std::vector<Item>& items) {
    TXTemplate& made = TemplatesOf(document).AddNew();
    made.SetName("Template " + std::to_string(made.Id()));
    made.SetPayableTo("Employer");
    made.SetMemo("Template memo");
    for (const Item& item : items)
      made.Items().Add(item.envelope != nullptr ? *item.envelope : 9999, item.amount, "Part ~e");
    return made;
  }

  TXHold Begin(Start start) {
    switch (start) {
      case Start::Zero:
        return NewAccountRow(checking);
      case Start::Payment:
        return Type(checking, "3/1", "", -1000, dining);
      case Start::Named:
        return Type(checking, "3/1", "Landlord", 0, dining);
      case Start::TransferHalf: {
        TXHold row = Type(checking, "3/1", "Move", -5000);
        EXPECT_TRUE(TransferTo(*row, savings));
        return row;
      }
      case Start::Multiple: {
        TXHold row = Type(checking, "3/1", "Shop", -3000, groceries);
        TXTransfers::MakeMultiple(*row);
        AddPart(*row, rent, "20.00");
        return row;
      }
    }
    return {};
  }
};

TEST_F(ApplyTemplateTest, EveryKindOfTransactionTakesTheTemplate) {
  using A = TMessageAnswer;
  const Item g{&groceries, -2500}, r{&rent, 40000}, d{&dining, -700}, gone{nullptr, -100};
  struct Case {
    const char* name;
    Start start;
    std::vector<Item> items;
    std::optional<A> question;  // the answer when the question must be asked
    bool chosen;                // a template is chosen, else the choice is cancelled
    int32_t amount;
    int parts;           // of a multiple; -1 for an ordinary result
    uint32_t* envelope;  // of an ordinary result
  };
  const std::vector<Case> cases = {
      {"one item, no amount", Start::Zero, {g}, {}, true, -2500, -1, &groceries},
      {"over an amount, No", Start::Payment, {g}, A::No, true, -1000, -1, &dining},
      {"over an amount, Yes", Start::Payment, {g}, A::Yes, true, -2500, -1, &groceries},
      {"choice cancelled", Start::Payment, {g}, A::Yes, false, -1000, -1, &dining},
      {"payee kept", Start::Named, {g}, {}, true, -2500, -1, &groceries},
      {"two items", Start::Zero, {g, r}, {}, true, 37500, 2, nullptr},
      {"two unresolvable", Start::Zero, {gone, gone}, {}, true, 0, 0, nullptr},
      {"one unresolvable", Start::Payment, {gone}, A::Yes, true, 0, -1, &unallocated},
      {"no items", Start::Zero, {}, {}, true, 0, -1, &unallocated},
      {"transfer half", Start::TransferHalf, {g}, A::Yes, true, -2500, -1, &groceries},
      {"multiple to multiple", Start::Multiple, {d, gone, r}, A::Yes, true, 39300, 2, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TXTemplate& tpl = Make(c.items);
    TXHold row = Begin(c.start);
    const std::string payee(row->Record().GetPayableTo());
    user.Clear();
    if (c.question)
      user.Script(*c.question);
    user.ScriptNameChoice(c.chosen ? std::optional<size_t>(TemplatesOf(document).Count() - 1)
                                   : std::nullopt);
    const bool changed = c.question != A::No && c.chosen;
    EXPECT_EQ(TemplatesOf(document).ApplyTemplate(*row), changed);
    EXPECT_EQ(user.Texts(), c.question ? std::vector<std::string>{"Overwrite current transaction?"}
                                       : std::vector<std::string>{});
    if (c.question != A::No) {
      EXPECT_EQ(user.Dialogs().back().name, "Choose Transaction Template");
    }
    const TXRecord record = *Manager().FindRecord(row->Id());
    EXPECT_EQ(record.amount, c.amount);
    EXPECT_EQ(record.IsMultiple(), c.parts >= 0);
    EXPECT_EQ(int(Manager().PartIds(record.Id).size()), std::max(c.parts, 0));
    if (c.envelope != nullptr) {
      EXPECT_EQ(record.EnvelopeId, *c.envelope);
    }
    // Texts already there stay; empty ones take the template's.
    EXPECT_EQ(std::string(record.GetPayableTo()), changed && payee.empty() ? "Employer" : payee);
    for (uint32_t part : Manager().PartIds(record.Id)) {
      EXPECT_EQ(std::string(Manager().FindRecord(part)->GetPayableTo()), "Part ~e");
      EXPECT_EQ(Manager().FindRecord(part)->GetMemo(), record.GetPayableTo());
    }
    // The other half of a transfer went with its money.
    EXPECT_EQ(Balance(savings), 0);
    ExpectSound();
    TemplatesOf(document).Remove(tpl.Id());
  }
}

TEST_F(ApplyTemplateTest, LedgerCommandNeedsATemplateAndOpensTheMultiple) {
  auto view = TXViewModel::ForAccount(Manager(), clock, checking);
  TXHold row = NewAccountRow(checking);
  EXPECT_FALSE(view->IsEnabled(kXCmdApplyTemplate, row.get()));
  Make({{&groceries, -2500}, {&rent, -100}});
  ASSERT_TRUE(view->IsEnabled(kXCmdApplyTemplate, row.get()));
  user.ScriptNameChoice(0);
  const TXViewCommandResult result = view->Run(kXCmdApplyTemplate, row.get(), 0);
  EXPECT_EQ(result.openMultiple, row->Id());
  EXPECT_EQ(row->Record().amount, -2600);
  ExpectSound();
}

}  // namespace

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "planning/template_manager.h"
#include "tests/transactions/budget_fixture.h"
#include "transactions/fixed_filters.h"
#include "transactions/xview_model.h"

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
  struct Case {
    const char* name;
    Start start;
    std::vector<Item> items;
    std::optional<TMessageAnswer> question;  // the answer when the question is asked
    std::optional<size_t> choice;            // the chosen template, or Cancel
    bool changed;
    bool multiple;
    int32_t amount;
    size_t parts;
    uint32_t* envelope;  // of an ordinary result
  };
  const std::vector<Case> cases = {
      {"one item, no amount",
       Start::Zero,
       {{&groceries, -2500}},
       {},
       0,
       true,
       false,
       -2500,
       0,
       &groceries},
      {"one item over an amount, No",
       Start::Payment,
       {{&groceries, -2500}},
       TMessageAnswer::No,
       {},
       false,
       false,
       -1000,
       0,
       &dining},
      {"one item over an amount, Yes",
       Start::Payment,
       {{&groceries, -2500}},
       TMessageAnswer::Yes,
       0,
       true,
       false,
       -2500,
       0,
       &groceries},
      {"choice cancelled",
       Start::Payment,
       {{&groceries, -2500}},
       TMessageAnswer::Yes,
       {},
       false,
       false,
       -1000,
       0,
       &dining},
      {"two items",
       Start::Zero,
       {{&groceries, -2500}, {&rent, 40000}},
       {},
       0,
       true,
       true,
       37500,
       2,
       nullptr},
      {"two unresolvable items",
       Start::Zero,
       {{nullptr, -2500}, {nullptr, -100}},
       {},
       0,
       true,
       true,
       0,
       0,
       nullptr},
      {"one unresolvable item",
       Start::Payment,
       {{nullptr, -2500}},
       TMessageAnswer::Yes,
       0,
       true,
       false,
       0,
       0,
       &unallocated},
      {"no items", Start::Zero, {}, {}, 0, true, false, 0, 0, &unallocated},
      {"transfer half",
       Start::TransferHalf,
       {{&groceries, -2500}},
       TMessageAnswer::Yes,
       0,
       true,
       false,
       -2500,
       0,
       &groceries},
      {"multiple into multiple",
       Start::Multiple,
       {{&dining, -700}, {&rent, -300}},
       TMessageAnswer::Yes,
       0,
       true,
       true,
       -1000,
       2,
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TXTemplate& tpl = Make(c.items);
    TXHold row = Begin(c.start);
    const uint32_t id = row->Id();
    user.Clear();
    if (c.question)
      user.Script(*c.question);
    if (c.question != TMessageAnswer::No)
      user.ScriptNameChoice(c.choice ? std::optional<size_t>(TemplatesOf(document).Count() - 1)
                                     : std::nullopt);
    EXPECT_EQ(TemplatesOf(document).ApplyTemplate(*row), c.changed);
    EXPECT_EQ(user.Texts(), c.question ? std::vector<std::string>{"Overwrite current transaction?"}
                                       : std::vector<std::string>{});
    const TXRecord record = *Manager().FindRecord(id);
    EXPECT_EQ(record.IsMultiple(), c.multiple);
    EXPECT_EQ(record.amount, c.amount);
    EXPECT_EQ(Manager().PartIds(id).size(), c.parts);
    if (c.envelope != nullptr) {
      EXPECT_EQ(record.EnvelopeId, *c.envelope);
    }
    EXPECT_FALSE(record.IsTransferHalf());
    if (c.changed) {
      EXPECT_EQ(record.GetMemo(), c.start == Start::Zero ? "Template memo" : record.GetMemo());
      EXPECT_EQ(user.Dialogs().back().name, "Choose Transaction Template");
    }
    for (uint32_t part : Manager().PartIds(id)) {
      const TXRecord* stored = Manager().FindRecord(part);
      EXPECT_EQ(std::string(stored->GetPayableTo()), "Part ~e");
      EXPECT_EQ(std::string(stored->GetMemo()), std::string(record.GetPayableTo()));
    }
    // The other half of a transfer is gone with its money.
    EXPECT_EQ(Balance(savings), 0);
    ExpectSound();
    TemplatesOf(document).Remove(tpl.Id());
  }
}

TEST_F(ApplyTemplateTest, ThePayeeTypedAlreadyStays) {
  Make({{&groceries, -2500}});
  TXHold row = Begin(Start::Named);
  user.ScriptNameChoice(0);
  ASSERT_TRUE(TemplatesOf(document).ApplyTemplate(*row));
  EXPECT_EQ(std::string(row->Record().GetPayableTo()), "Landlord");
  EXPECT_EQ(std::string(row->Record().GetMemo()), "Template memo");
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

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/pstream.h"
#include "planning/template_manager.h"
#include "tests/support/byte_builder.h"
#include "tests/transactions/budget_fixture.h"

namespace {

struct TStoredItem {
  uint32_t envelope;
  int32_t amount;
  std::string label;
};

// One template as a stream holds it, in the given format version and item-list version.
TByteBuilder& Template(TByteBuilder& b, uint32_t id, uint32_t format, uint32_t listVersion,
                       const std::vector<TStoredItem>& items, std::string_view name) {
  b.Word32(id).Word32(format).Word32(1).Word32(listVersion).Word32(uint32_t(items.size()));
  // Another list version has its count but no items a reader could know.
  for (size_t i = 0; listVersion == 1 && i < items.size(); ++i)
    b.Word32(items[i].envelope).Word32(uint32_t(items[i].amount)).String(items[i].label);
  if (format > 1)
    b.Word32(6);  // quarterly
  b.String(name);
  if (format > 2)
    b.String("Employer").String("Pay day");
  return b;
}

// The template block of a document: count, the templates, the identifier list.
std::vector<uint8_t> Block(const std::function<void(TByteBuilder&)>& templates, uint32_t count) {
  TByteBuilder b;
  b.Header().Word32(count);
  templates(b);
  // Identifier 1 in use, the others free (even the 2 that the templates below have).
  return b.Word32(1).Word32(10).Word32(10).Bytes({0, 1, 0, 0, 0, 0, 0, 0, 0, 0}).Get();
}

class TemplateTest : public BudgetTest {
 protected:
  TXTemplateManager& Templates() { return TemplatesOf(document); }
  TXTemplate& Make(std::string_view name, const std::vector<TStoredItem>& items = {}) {
    TXTemplate& made = Templates().AddNew();
    made.SetName(name);
    for (const TStoredItem& item : items)
      made.Items().Add(item.envelope, item.amount, item.label);
    return made;
  }
  static std::vector<int32_t> Amounts(const TXTemplateList& list) {
    std::vector<int32_t> amounts;
    for (size_t i = 1; i <= list.Count(); ++i)
      amounts.push_back(list.At(i)->Amount());
    return amounts;
  }
};

TEST_F(TemplateTest, EveryStoredFormatReadsAndFormatThreeIsWritten) {
  const std::vector<TStoredItem> items = {{2, -12345, "Allocate to ~e"}, {0, 500, ""}};
  struct Case {
    uint32_t format;
    uint32_t listVersion;
    size_t items;
    uint32_t period;
    const char* payableTo;
  };
  for (const Case& c : {Case{1, 1, 2, kPeriodMonthly, ""}, Case{2, 1, 2, 6, ""},
                        Case{3, 1, 2, 6, "Employer"}, Case{3, 2, 0, 6, "Employer"}}) {
    SCOPED_TRACE(c.format * 10 + c.listVersion);
    const std::vector<uint8_t> bytes = Block(
        [&](TByteBuilder& b) { Template(b, 2, c.format, c.listVersion, items, "Salary"); }, 1);
    TXTemplateManager read;
    ipstream is(bytes);
    read.ReadTemplates(is);
    ASSERT_TRUE(is.Good());
    ASSERT_EQ(read.Count(), 1u);
    const TXTemplate& tpl = *read.At(1);
    EXPECT_EQ(tpl.Id(), 2u);
    EXPECT_EQ(tpl.Name(), "Salary");
    EXPECT_TRUE(tpl.IncludeInPlan());
    EXPECT_EQ(tpl.Period(), c.period);
    EXPECT_EQ(tpl.PayableTo(), c.payableTo);
    EXPECT_EQ(tpl.Memo(), c.format > 2 ? "Pay day" : "");
    ASSERT_EQ(tpl.Items().Count(), c.items);
    if (c.items > 0) {
      EXPECT_EQ(tpl.Items().At(1)->Amount(), -12345);
      EXPECT_EQ(tpl.Items().At(1)->Label(), "Allocate to ~e");
    }
    if (c.format == 3 && c.listVersion == 1) {
      opstream os;
      read.WriteTemplates(os);
      EXPECT_EQ(os.Bytes(), bytes);
    }
    // The list calls 2 free, but a template holds it: a new template never shares it.
    EXPECT_EQ(read.AddNew().Id(), 3u);
  }
}

TEST_F(TemplateTest, ImpossibleCountsAndLengthsFailTheStream) {
  const std::string longLabel(90, 'x');
  const std::string longName(128, 'n');
  const std::vector<std::function<void(TByteBuilder&)>> damaged = {
      [](TByteBuilder& b) { b.Word32(1).Word32(3).Word32(0).Word32(1).Word32(0x7fffffff); },
      [&](TByteBuilder& b) {
        Template(b, 1, 3, 1, {{1, 5, longLabel}}, "Rent");
      },
      [&](TByteBuilder& b) { Template(b, 1, 3, 1, {}, longName); },
  };
  for (size_t i = 0; i <= damaged.size(); ++i) {
    // The last case: a template count beyond the bytes.
    const std::vector<uint8_t> bytes =
        i < damaged.size() ? Block(damaged[i], 1) : Block([](TByteBuilder&) {}, 50000000);
    TXTemplateManager read;
    ipstream is(bytes);
    read.ReadTemplates(is);
    EXPECT_FALSE(is.Good()) << i;
  }
}

// Inside a document the same damage refuses the whole file.
TEST_F(TemplateTest, ADamagedTemplateRefusesTheDocument) {
  Make("Rent", {{rent, -90000, "Monthly rent"}});
  opstream os;
  os.WriteObject(&document);
  std::vector<uint8_t> damaged = os.Bytes();
  const std::string label = "Monthly rent";
  auto at = std::search(damaged.begin(), damaged.end(), label.begin(), label.end());
  ASSERT_NE(at, damaged.end());
  *(at - 4) = 0xff;  // the label claims more characters than the file has left
  ipstream bad(damaged);
  bad.SetEnvironment(&environment);
  auto refused = bad.ReadOwned<TVorlaData>();
  EXPECT_FALSE(bad.Good());
}

TEST_F(TemplateTest, CopiesAreNamedAfterTheOriginal) {
  struct Case {
    std::vector<std::string> existing;
    std::string copied;
    std::string expected;
  };
  const std::string longName(125, 'L');
  for (const Case& c : std::vector<Case>{
           {{"Rent"}, "Rent", "copy of Rent"},
           {{"Rent", "copy of Rent", "copy 2 of Rent"}, "Rent", "copy 3 of Rent"},
           {{"Rent", "copy of Rent"}, "copy of Rent", "copy of copy of Rent"},
           // The comparison is exact: another case is another name.
           {{"Rent", "Copy of Rent"}, "Rent", "copy of Rent"},
           // Cut to 127 characters, and never equal to a name once cut.
           {{longName, ("copy of " + longName).substr(0, 127)},
            longName,
            ("copy 2 of " + longName).substr(0, 127)},
       }) {
    TXTemplateManager templates;
    for (const std::string& name : c.existing)
      templates.AddNew().SetName(name);
    TXTemplate& original = *templates.FindByName(c.copied);
    original.SetPeriod(kPeriodWeekly);
    original.Items().Add(groceries, -100, "x");
    const TXTemplate* copy = templates.Copy(original.Id());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Name(), c.expected);
    EXPECT_EQ(copy->Id(), c.existing.size() + 1);
    EXPECT_EQ(copy->Period(), kPeriodWeekly);
    EXPECT_EQ(Amounts(copy->Items()), std::vector<int32_t>{-100});
  }
  Make("Rent");
  document.ClearModified();
  Templates().Copy(Templates().FindByName("rent")->Id());
  EXPECT_TRUE(document.IsModified());
}

TEST_F(TemplateTest, LabelsShowWhatThePlaceholdersStandFor) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Allocate to ~e", "Allocate to Groceries"},
      {"~x~p~a~c~r", "<transaction id><transaction position><account><creation date>"},
      {"Pay ~~i now", "Pay <instances> now"},
      {"~t and ~q", "error and error"},
      {"~ilast", "<instances>last"},
  };
  for (const auto& [label, shown] : cases)
    EXPECT_EQ(TXTemplateItem::ShowLabel(label, "Groceries"), shown) << label;
  TXTemplate& tpl = Make("Rent", {{groceries, 0, "Allocate to ~e"}, {999, 0, "Allocate to ~e"}});
  EXPECT_EQ(tpl.Items().At(1)->ColumnText(TXTemplateItem::kColDescription),
            "Allocate to Groceries");
  EXPECT_EQ(tpl.Items().At(2)->ColumnText(TXTemplateItem::kColDescription), "Allocate to None");
  EXPECT_EQ(tpl.Items().At(2)->ColumnText(TXTemplateItem::kColEnvelope), "None");
}

TEST_F(TemplateTest, TypedAmountsFollowTheHalfCentAndSizeRules) {
  struct Case {
    int column;
    const char* text;
    int32_t expected;  // the amount after typing into an item of 777 cents
    bool refused;
  };
  TXTemplate& tpl = Make("Rent", {{groceries, 777, ""}});
  TXTemplateItem& item = *tpl.Items().At(1);
  for (const Case& c : {
           Case{TXTemplateItem::kColPayment, "-12.345", 1235, false},
           Case{TXTemplateItem::kColPayment, "12.345", -1235, false},
           Case{TXTemplateItem::kColDeposit, "0.004", 0, false},
           Case{TXTemplateItem::kColDeposit, "(10+5)*2", 3000, false},
           Case{TXTemplateItem::kColDeposit, "19,999,999.99", 1999999999, false},
           Case{TXTemplateItem::kColDeposit, "19999999.995", 777, true},
           Case{TXTemplateItem::kColPayment, "-20000000", 777, true},
           Case{TXTemplateItem::kColDeposit, "ten", 777, true},
       }) {
    item.SetAmount(777);
    user.Clear();
    item.SetColumnText(c.column, c.text);
    EXPECT_EQ(item.Amount(), c.expected) << c.text;
    EXPECT_EQ(user.Messages().size(), c.refused ? 1u : 0u) << c.text;
  }
  item.SetColumnText(TXTemplateItem::kColDeposit, "-2.50");
  EXPECT_EQ(item.ColumnText(TXTemplateItem::kColPayment), "2.50");
  EXPECT_EQ(item.ColumnText(TXTemplateItem::kColDeposit), "0.00");
  item.SetColumnText(TXTemplateItem::kColEnvelope, "no such envelope");
  EXPECT_EQ(item.EnvelopeId(), 0u);
  EXPECT_EQ(tpl.Items().TotalAmount(), TAmount());
}

TEST_F(TemplateTest, PagingKeepsEmptyRowsOnlyOnThePage) {
  std::vector<TStoredItem> items;
  for (int32_t i = 1; i <= 200; ++i)
    items.push_back({groceries, i, ""});
  TXTemplateList& list = Make("Big", items).Items();
  auto firstRow = [&list] { return static_cast<TXTemplateItem*>(list.Item(1))->Amount(); };
  struct Step {
    std::function<int()> action;
    int result;
    int32_t firstAmount;
    int live;
    size_t count;
  };
  const std::vector<Step> steps = {
      {[&] { return list.LoadFromTop(), 0; }, 0, 1, 150, 200},
      {[&] { return list.LoadAtEnd(), 0; }, 0, 76, 125, 225},
      {[&] { return list.LoadPrevious(10); }, 10, 66, 135, 215},
      {[&] { return list.LoadNext(10); }, 10, 76, 125, 225},
      {[&] { return list.GoToPosition(1); }, TLedgerList::kAtFirst, 76, 125, 225},
      {[&] { return list.GoToPosition(50); }, TLedgerList::kReloaded, 50, 150, 200},
      {[&] { return list.GoToPosition(201); }, TLedgerList::kPastLast, 0, 0, 200},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].action(), steps[i].result) << i;
    if (list.PageInUse()) {
      EXPECT_EQ(firstRow(), steps[i].firstAmount) << i;
    }
    EXPECT_EQ(list.LiveCount(), steps[i].live) << i;
    EXPECT_EQ(list.Count(), steps[i].count) << i;
  }
  // Empty rows that scroll off the top leave the list.
  TXTemplateList& small = Make("Small", {{groceries, 1, ""}, {groceries, 2, ""}}).Items();
  small.LoadFromTop();
  EXPECT_EQ(small.LoadNext(5), 5);
  EXPECT_EQ(small.Count(), 152u);
  EXPECT_EQ(small.LiveCount(), 0);
}

TEST_F(TemplateTest, CompactDropsEmptyRowsAndSortsByEnvelopeTree) {
  TXTemplateList& list =
      Make("Mixed",
           {{rent, 1, ""}, {groceries, 2, ""}, {0, 3, ""}, {dining, 4, ""}, {groceries, 5, ""}})
          .Items();
  list.LoadFromTop();
  // A new row starts in the first envelope of the tree, the one added last.
  list.Item(7)->SetColumnText(TXTemplateItem::kColDeposit, "0.07");
  EXPECT_EQ(static_cast<TXTemplateItem*>(list.Item(7))->EnvelopeId(), rent);
  list.Compact();
  EXPECT_FALSE(list.PageInUse());
  EXPECT_EQ(Amounts(list), (std::vector<int32_t>{3, 1, 7, 4, 2, 5}));
  EXPECT_EQ(list.TotalAmount(), TAmount(19));
  EXPECT_EQ(list.AmountForEnvelope(groceries), TAmount(7));
}

TEST_F(TemplateTest, DeletingAnEnvelopeMovesTemplateItemsToItsReplacement) {
  TXTemplate& tpl = Make("Split", {{groceries, -100, ""}, {dining, -200, ""}, {groceries, -5, ""}});
  user.ScriptEnvelopeChoice(rent);
  ASSERT_TRUE(Envelopes().DeleteItem(*Envelopes().Envelope(groceries), Accounts()));
  EXPECT_EQ(tpl.Items().AmountForEnvelope(rent), TAmount(-105));
  EXPECT_EQ(tpl.Items().AmountForEnvelope(groceries), TAmount());
  tpl.SetPeriod(kPeriodWeekly);
  EXPECT_EQ(tpl.PlanAmountForEnvelope(dining, kPeriodAnnual), TAmount(-200 * 52));
}

}  // namespace

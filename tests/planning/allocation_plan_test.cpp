// The allocation plan over a real document: loading from templates and envelopes, editing cells
// and columns, writing back, and the new-budget wizard with incomes or a plan file.
#include "planning/allocation_plan.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/vorla_data.h"
#include "planning/template_manager.h"
#include "planning/xtemplate.h"
#include "tests/support/recording_user_port.h"
#include "tests/support/temp_folder.h"

namespace {

using P = TAllocationPlanItem;

class AllocationPlanTest : public ::testing::Test {
 protected:
  TXTemplateManager& Templates() { return TemplatesOf(document); }
  TXTemplate& Template(std::string_view name) {
    TXTemplate* found = Templates().FindByName(name);
    EXPECT_NE(found, nullptr) << name;
    return *found;
  }
  TXTemplate& AddTemplate(std::string name, uint32_t period, bool inPlan = true) {
    auto made = std::make_unique<TXTemplate>();
    made->SetName(name);
    made->SetPeriod(period);
    made->SetIncludeInPlan(inPlan);
    return Templates().Add(std::move(made));
  }
  uint32_t Envelope(std::string_view name) { return document.Envelopes().EnvelopeIdOfName(name); }
  uint32_t AddEnvelope(std::string_view name) {
    return document.Envelopes().AddEnvelope(document.Envelopes().Root(), name, true)->Id();
  }
  // The row of the plan named `name`.
  TAllocationPlanItem& Row(TAllocationPlan& plan, std::string_view name) {
    for (size_t r = 0; r < plan.RowsHeld(); ++r) {
      if (plan.Row(r).Name() == name)
        return plan.Row(r);
    }
    ADD_FAILURE() << "no row " << name;
    return plan.Row(plan.RowsHeld() - 1);
  }
  // Runs the wizard; `look` sees the plan in the editor, which then saves.
  bool Wizard(const std::string& planFile, std::function<void(TAllocationPlan&)> look) {
    user.ScriptPlanEditor([look](TAllocationPlan& plan) {
      look(plan);
      return true;
    });
    return TAllocationPlan(document).RunIncomeWizard(planFile);
  }

  TRecordingUserPort user;
  TFixedClock clock{TDateValue(15, 3, 2024)};
  TModelEnvironment environment{user, clock};
  TVorlaData document{environment};
  TTempFolder temp;
};

TEST_F(AllocationPlanTest, IncomeWizardBrackets) {
  struct TCase {
    std::array<float, 4> incomes;
    std::vector<std::string> columns;  // the ten column names, trailing free ones left out
    std::vector<std::tuple<std::string, int, const char*>> cells;  // row, column, shown text
  };
  const TCase cases[] = {
      {{2000, 1000, 0, 0},
       {"First", "Second"},
       {{"Housing", 0, "600.00"},
        {"Misc.", 0, "240.00"},
        {"Charity", 0, "60.00"},
        {"Housing", 1, "300.00"}}},
      // Yearly 35,000 is still bracket 0, 65,000 still bracket 1.
      {{2916.6667f, 0, 0, 0}, {"First"}, {{"Housing", 0, "991.67"}, {"Savings", 0, "145.83"}}},
      {{5416.6667f, 0, 0, 0}, {"First"}, {{"Housing", 0, "1,625.00"}, {"School", 0, "270.83"}}},
      {{6000, 0, 0, 0}, {"First"}, {{"Housing", 0, "1,380.00"}}},
      // Only the second source: the first column stays free.
      {{0, 1500, 0, 0}, {"", "Second"}, {{"Housing", 1, "510.00"}, {"Fun", 1, "60.00"}}},
  };
  for (const TCase& c : cases) {
    TVorlaData fresh(environment);
    user.ScriptMonthlyIncome(c.incomes);
    bool looked = false;
    user.ScriptPlanEditor([&](TAllocationPlan& plan) {
      looked = true;
      for (int col = 0; col < TAllocationPlan::kColumns; ++col) {
        const size_t at = static_cast<size_t>(col);
        const std::string expected = at < c.columns.size() ? c.columns[at] : "";
        EXPECT_EQ(plan.ColumnName(col), expected) << col;
      }
      EXPECT_EQ(plan.Row(11).Name(), "Charity");
      for (const auto& [name, col, text] : c.cells)
        EXPECT_EQ(Row(plan, name).ColumnText(P::kFirstAmount + col), text) << name << col;
      if (!plan.IsColumnUsed(0)) {  // a free first column is the one "Create Template" fills
        user.ScriptString(std::string("Extra"));
        plan.CreateTemplate();
        EXPECT_EQ(plan.ColumnName(0), "Extra");
      }
      return false;
    });
    EXPECT_FALSE(TAllocationPlan(fresh).RunIncomeWizard(""));
    EXPECT_TRUE(looked);
    // Cancelled: nothing written, but "Unallocated" is there as the wizard promises.
    EXPECT_EQ(fresh.Envelopes().NumberOfEnvelopes(), 1u);
    EXPECT_EQ(TemplatesOf(fresh).Count(), 0u);
  }
}

TEST_F(AllocationPlanTest, PlanFiles) {
  const std::string ordinary = (temp.Path() / "ordinary.xml").string();
  std::ofstream(ordinary) << "<label>Pay</label><label>pay</label><label/><label/>"
                             "<label>Rent</label><amount>700</amount><amount>50.5</amount>"
                             "<label>Food</label><amount/><amount>25</amount><amount>9</amount>";
  ASSERT_TRUE(Wizard(ordinary, [&](TAllocationPlan& plan) {
    EXPECT_EQ(plan.ColumnName(0), "Pay");
    EXPECT_EQ(plan.ColumnPeriod(2), kPeriodMonthly);
    EXPECT_EQ(plan.Row(0).ColumnText(P::kFirstAmount + 1), "50.50");
    EXPECT_EQ(plan.Row(1).ColumnText(P::kColTotal), "25.00") << "free columns hold nothing";
  }));
  EXPECT_EQ(Template("Pay").Items().AmountForEnvelope(Envelope("Rent")), TAmount(70000));
  // Two columns whose names differ in case are two templates: neither replaces the other.
  ASSERT_EQ(Templates().Count(), 2u);
  EXPECT_EQ(Templates().At(2)->Name(), "pay");
  EXPECT_EQ(Templates().At(2)->Items().AmountForEnvelope(Envelope("Food")), TAmount(2500));

  // More rows than a new plan holds: the first ones are taken.
  const std::string many = (temp.Path() / "many.xml").string();
  {
    std::ofstream out(many);
    out << "<label>A</label><label/><label/><label/>";
    for (int i = 0; i < 300; ++i)
      out << "<label>E" << i << "</label><amount>1</amount>";
  }
  TVorlaData fresh(environment);
  user.ScriptPlanEditor([](TAllocationPlan& plan) {
    EXPECT_EQ(plan.NamedRows(), TAllocationPlan::kBlankRows);
    return true;
  });
  ASSERT_TRUE(TAllocationPlan(fresh).RunIncomeWizard(many));
  EXPECT_EQ(fresh.Envelopes().NumberOfEnvelopes(), TAllocationPlan::kBlankRows + 1);

  // A file that cannot be read: the user hears why and the editor still opens on an empty plan.
  user.Clear();
  TVorlaData third(environment);
  user.ScriptPlanEditor([](TAllocationPlan& plan) {
    EXPECT_EQ(plan.UsedColumns(), 0);
    return true;
  });
  EXPECT_TRUE(TAllocationPlan(third).RunIncomeWizard((temp.Path() / "none.xml").string()));
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_NE(user.Messages()[0].text.find("none.xml"), std::string::npos);
  EXPECT_EQ(third.Envelopes().NumberOfEnvelopes(), 1u);
}

TEST_F(AllocationPlanTest, RoundTripIntoTemplatesAndEnvelopeFlags) {
  const uint32_t rent = AddEnvelope("Rent");
  const uint32_t old = AddEnvelope("Old");
  AddEnvelope("Food");
  TXTemplate& pay = AddTemplate("Pay", kPeriodWeekly);
  pay.Items().AddAllocation(rent, TAmount(10000));
  pay.Items().AddAllocation(old, TAmount(500));
  AddTemplate("Other", kPeriodMonthly, false);

  TAllocationPlan plan(document);
  user.ScriptPlanEditor([&](TAllocationPlan& p) {
    EXPECT_EQ(p.HeaderText(P::kFirstAmount), "Pay");
    EXPECT_EQ(Row(p, "Rent").ColumnText(P::kFirstAmount), "433.33") << "weekly 100 monthly";
    Row(p, "Old").SetColumnText(P::kColName, "  ");
    Row(p, "Food").SetColumnText(P::kFirstAmount, "50");
    p.Row(p.NamedRows()).SetColumnText(P::kColName, "New one");
    p.Row(p.NamedRows() - 1).SetColumnText(P::kFirstAmount, "12*2");
    return true;
  });
  ASSERT_TRUE(plan.Edit());
  EXPECT_FALSE(plan.IsLoaded());
  EXPECT_TRUE(document.IsModified());
  EXPECT_FALSE(document.Envelopes().InAllocationPlan(old));
  const uint32_t added = Envelope("New one");
  ASSERT_NE(added, 0u);
  EXPECT_TRUE(document.Envelopes().InAllocationPlan(added));
  EXPECT_EQ(pay.Items().AmountForEnvelope(old), TAmount());
  EXPECT_EQ(pay.Items().AmountForEnvelope(Envelope("Food")), TAmount(1154));  // 50 a month weekly
  EXPECT_EQ(pay.Items().AmountForEnvelope(added), TAmount(554));
  EXPECT_EQ(pay.Items().Count(), 3u);
  EXPECT_EQ(Template("Other").IncludeInPlan(), false);

  // Loaded again, the plan shows what was written.
  user.ScriptPlanEditor([&](TAllocationPlan& p) {
    EXPECT_EQ(p.NamedRows(), 3u);
    EXPECT_EQ(Row(p, "New one").ColumnText(P::kFirstAmount), "24.01");
    return false;
  });
  EXPECT_FALSE(plan.Edit());
}

TEST_F(AllocationPlanTest, CellsPeriodsAndRefusals) {
  AddEnvelope("Rent");
  user.ScriptBundleDialog(TBundleProperties{"Home", "", 0});
  document.Envelopes().AddBundle(document.Envelopes().Root());
  AddTemplate("Groceries and more", kPeriodWeekly);
  TAllocationPlan plan(document);
  plan.Load();
  TAllocationPlanItem& rent = Row(plan, "Rent");
  rent.SetColumnText(P::kFirstAmount, "100.00");
  EXPECT_EQ(rent.Amount(0), TAmount(2308));
  EXPECT_EQ(rent.ColumnText(P::kFirstAmount), "100.01");
  plan.SetViewPeriod(kPeriodAnnual);
  EXPECT_EQ(rent.ColumnText(P::kFirstAmount), "1,200.16");
  EXPECT_EQ(rent.Amount(0), TAmount(2308));
  EXPECT_EQ(plan.HeaderText(P::kFirstAmount), "Groceri...");
  EXPECT_EQ(plan.FooterText(P::kColName), "Total");
  EXPECT_EQ(plan.FooterText(P::kColTotal), "1,200.16");
  EXPECT_EQ(plan.FooterText(P::kFirstAmount + 1), "");

  // Refused amounts and names keep the row; a free column takes no amount.
  for (const char* text : {"abc", "20000000", "1e9"})
    rent.SetColumnText(P::kFirstAmount, text);
  rent.SetColumnText(P::kFirstAmount + 1, "5");
  rent.SetColumnText(P::kColName, "home");
  EXPECT_EQ(rent.Amount(0), TAmount(2308));
  EXPECT_EQ(rent.Amount(1), TAmount());
  EXPECT_EQ(rent.Name(), "Rent");
  ASSERT_EQ(user.Messages().size(), 4u);
  EXPECT_EQ(user.Messages()[3].caption, "Envelope Name");
  // Typed weekly, 19,000,000 fits the weekly column; typed annually it is a small weekly amount.
  plan.SetViewPeriod(kPeriodWeekly);
  rent.SetColumnText(P::kFirstAmount, "19000000");
  EXPECT_EQ(rent.Amount(0), TAmount(1900000000));
  rent.SetColumnText(P::kFirstAmount, "");
  EXPECT_EQ(rent.Amount(0), TAmount());

  rent.SetColumnText(P::kFirstAmount, "3");
  rent.SetColumnText(P::kColName, "");
  EXPECT_EQ(rent.Amount(0), TAmount()) << "a cleared name clears the amounts";
  EXPECT_EQ(rent.ColumnText(P::kColTotal), "");
}

TEST_F(AllocationPlanTest, CreatingAndRemovingColumns) {
  TXTemplate& rent = AddTemplate("Rent", kPeriodWeekly, false);
  rent.Items().AddAllocation(AddEnvelope("Flat"), TAmount(100));
  AddTemplate("Pay", kPeriodMonthly);
  TAllocationPlan plan(document);
  user.ScriptPlanEditor([&](TAllocationPlan& p) {
    for (const char* name : {"Rent", "PAY", "  rent  "})
      user.ScriptString(std::string(name));
    for (int i = 0; i < 3; ++i)
      p.CreateTemplate();
    EXPECT_EQ(p.ColumnName(1), "rent");
    EXPECT_EQ(p.ColumnPeriod(1), kPeriodMonthly);
    Row(p, "Flat").SetColumnText(P::kFirstAmount + 1, "40");
    return true;
  });
  ASSERT_TRUE(plan.Edit());
  EXPECT_EQ(user.Texts(), (std::vector<std::string>{"A Template with that name already exists.",
                                                    "A Template with that name already exists."}));
  // "rent" was written into "Rent", which now states monthly amounts.
  EXPECT_EQ(Templates().Count(), 2u);
  EXPECT_EQ(rent.IncludeInPlan(), true);
  EXPECT_EQ(rent.Period(), kPeriodMonthly);
  EXPECT_EQ(rent.Items().AmountForEnvelope(Envelope("Flat")), TAmount(4000));

  // Ten columns are the limit; removing one shifts the later ones left.
  user.Clear();
  plan.Load();
  for (int c = plan.FirstFreeColumn(); c >= 0; c = plan.FirstFreeColumn())
    plan.SetColumn(c, "T" + std::to_string(c), kPeriodMonthly);
  plan.Row(0).SetAmount(2, TAmount(7));
  plan.CreateTemplate();
  EXPECT_EQ(user.Texts(),
            std::vector<std::string>{"There is a limit of 10 Templates in the Allocation Plan."});
  user.ScriptNameChoice(1);
  plan.RemoveTemplate();
  EXPECT_EQ(plan.ColumnName(1), "T2");
  EXPECT_EQ(plan.Row(0).Amount(1), TAmount(7));
  EXPECT_EQ(plan.FirstFreeColumn(), 9);
  EXPECT_EQ(plan.ColumnPeriod(9), kPeriodNone);
  plan.Save();  // not modified: nothing written
  EXPECT_EQ(Templates().Count(), 2u);
}

TEST_F(AllocationPlanTest, AtMostTenTemplatesBecomeColumns) {
  const uint32_t rent = AddEnvelope("Rent");
  for (int i = 0; i < 12; ++i)
    AddTemplate("T" + std::to_string(i), kPeriodMonthly).Items().AddAllocation(rent, TAmount(i));
  TAllocationPlan plan(document);
  user.ScriptPlanEditor([](TAllocationPlan& p) {
    EXPECT_EQ(p.ColumnName(9), "T9");
    return true;
  });
  ASSERT_TRUE(plan.Edit());
  EXPECT_EQ(Template("T9").IncludeInPlan(), true);
  EXPECT_EQ(Template("T10").IncludeInPlan(), false);
  EXPECT_EQ(Template("T11").Items().AmountForEnvelope(rent), TAmount(11)) << "items stay";
}

}  // namespace

#include "planning/plan_file.h"

#include <gtest/gtest.h>

#include "planning/income_wizard.h"

namespace {

struct TElementCase {
  const char* text;
  const char* tag;
  std::optional<std::string> value;
  size_t end;  // where the search continues
};

TEST(PlanFileTest, ElementSearch) {
  const TElementCase cases[] = {
      {"<label>Rent</label>x", "label", "Rent", 19},
      {"ab<label/>", "label", "", 10},
      // The empty form before a full element is the element found.
      {"<amount/><amount>5</amount>", "amount", "", 9},
      {"<amount>5</amount><amount/>", "amount", "5", 18},
      // A closing mark before the opening one does not hide the element.
      {"</label><label>A</label>", "label", "A", 24},
      {"<label>never closed", "label", std::nullopt, 0},
      {"<labelx>a</labelx>", "label", std::nullopt, 0},
      {"", "amount", std::nullopt, 0},
  };
  for (const TElementCase& c : cases) {
    size_t position = 0;
    EXPECT_EQ(FindPlanElement(c.text, position, c.tag), c.value) << c.text;
    EXPECT_EQ(position, c.end) << c.text;
  }
}

TEST(PlanFileTest, Amounts) {
  const std::pair<const char*, double> cases[] = {
      {"650.00", 650.0}, {" +12.5 ", 12.5}, {"-3", -3.0}, {"12abc", 12.0}, {"abc", 0.0},
      {"", 0.0},         {"1e400", 0.0},    {"nan", 0.0}, {"1e15", 0.0},   {"1e3", 1000.0},
  };
  for (const auto& [text, units] : cases)
    EXPECT_DOUBLE_EQ(PlanFileAmount(text), units) << text;
}

TEST(PlanFileTest, ColumnsRowsAndMissingAmounts) {
  const std::string text =
      "<label>First</label><label>Second</label><label/><label>Fourth</label>"
      "<label>  Rent\t</label><amount>650</amount><amount>100</amount><amount/><amount>1</amount>"
      // Two amounts only: the next row's amounts stay the next row's.
      "<label>Food</label><amount>200.5</amount><amount>2</amount>"
      "<label>Fun</label><amount>30</amount>"
      "<label>A very long envelope name that goes on</label>";
  const TPlanFile plan = ParsePlanFile(text, 10);
  EXPECT_EQ(plan.columns, (std::vector<std::string>{"First", "Second", "", "Fourth"}));
  ASSERT_EQ(plan.rows.size(), 4u);
  EXPECT_EQ(plan.rows[0].label, "Rent");
  EXPECT_EQ(plan.rows[0].amounts, (std::array<double, 4>{650, 100, 0, 1}));
  EXPECT_EQ(plan.rows[1].amounts, (std::array<double, 4>{200.5, 2, 0, 0}));
  EXPECT_EQ(plan.rows[2].amounts, (std::array<double, 4>{30, 0, 0, 0}));
  EXPECT_EQ(plan.rows[3].label, "A very long envelope name that");
}

TEST(IncomeWizardTableTest, BracketsAndShares) {
  EXPECT_EQ(IncomeBracket(35000.0), 0);
  EXPECT_EQ(IncomeBracket(35000.01), 1);
  EXPECT_EQ(IncomeBracket(65000.0), 1);
  EXPECT_EQ(IncomeBracket(65000.01), 2);
  // Incomes as the dialog hands them over (32-bit floats) still make whole yearly cents.
  EXPECT_EQ(YearlyIncomeCents({2916.6667f, 0, 0, 0}), 3500000);
  EXPECT_EQ(YearlyIncomeCents({2000, 1000, 0, 0}), 3600000);
  for (int bracket = 0; bracket < 3; ++bracket) {
    int sum = 0;
    for (const TIncomeWizardRow& row : IncomeWizardRows())
      sum += row.percent[static_cast<size_t>(bracket)];
    EXPECT_EQ(sum, 100) << bracket;
  }
  EXPECT_EQ(IncomeShareCents(1234.56f, 34), 41975);
  EXPECT_EQ(IncomeShareCents(0, 34), 0);
  EXPECT_EQ(IncomeShareCents(-5, 34), 0);
  EXPECT_EQ(IncomeShareCents(1e12f, 50), 0);
}

}  // namespace

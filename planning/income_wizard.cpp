#include "planning/income_wizard.h"

#include "core/amount.h"

const std::array<TIncomeWizardRow, 12>& IncomeWizardRows() {
  static const std::array<TIncomeWizardRow, 12> kRows = {{
      {"Housing", {34, 30, 23}},
      {"Misc.", {11, 12, 15}},
      {"Transport", {8, 10, 9}},
      {"Food", {8, 9, 9}},
      {"School", {8, 5, 5}},
      {"Debts", {5, 5, 5}},
      {"Insurance", {5, 5, 5}},
      {"Medical", {5, 4, 4}},
      {"Savings", {5, 7, 10}},
      {"Clothing", {4, 5, 6}},
      {"Fun", {4, 5, 6}},
      {"Charity", {3, 3, 3}},
  }};
  return kRows;
}

int IncomeBracket(double yearlyIncome) {
  if (yearlyIncome <= 35000.0)
    return 0;
  if (yearlyIncome <= 65000.0)
    return 1;
  return 2;
}

int64_t YearlyIncomeCents(const std::array<float, 4>& monthlyIncomes) {
  double sum = 0;
  for (float income : monthlyIncomes)
    sum += static_cast<double>(income);
  return TAmount::FromUnits(sum * 12.0).Cents();
}

int32_t IncomeShareCents(float monthlyIncome, int percent) {
  if (!(monthlyIncome > 0))
    return 0;
  return CentsFromEntry(static_cast<double>(monthlyIncome) * percent / 100.0);
}

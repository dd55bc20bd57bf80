#pragma once

#include <array>
#include <cstdint>

/// The fixed table behind the income wizard: which share of a monthly income a first plan gives
/// to each of twelve starter envelopes, by the size of the yearly income.
struct TIncomeWizardRow {
  const char* envelope;
  /// Percent of the income for brackets 0, 1 and 2; each bracket's column adds up to 100.
  std::array<int, 3> percent;
};

/// The table's rows in plan order.
const std::array<TIncomeWizardRow, 12>& IncomeWizardRows();

/// The names the wizard gives the columns of incomes 1 to 4.
constexpr std::array<const char*, 4> kIncomeColumnNames = {"First", "Second", "Third", "Fourth"};

/// The bracket of a yearly income: 0 up to 35,000, 1 up to 65,000, 2 above (in currency units).
int IncomeBracket(double yearlyIncome);

/// The yearly income of four monthly incomes, in cents: their sum times twelve, rounded to the
/// cent as money is, so that incomes typed in cents fall into the bracket their sum says.
int64_t YearlyIncomeCents(const std::array<float, 4>& monthlyIncomes);

/// A monthly income's share for one table row and bracket, in cents (0 for an income of 0 or
/// less, and for shares no budget amount can hold).
int32_t IncomeShareCents(float monthlyIncome, int percent);

// The new-budget wizard of the allocation plan: a first plan from monthly incomes or from a plan
// file.
#include "core/file_bytes.h"
#include "core/user_port.h"
#include "core/vorla_data.h"
#include "planning/allocation_plan.h"
#include "planning/income_wizard.h"
#include "planning/plan_file.h"

bool TAllocationPlan::RunIncomeWizard(const std::string& planFile) {
  if (planFile.empty()) {
    std::array<float, 4> incomes{};
    if (User().EnterMonthlyIncome(incomes))
      ApplyIncomes(incomes);
  } else {
    const TResult<std::string> bytes = ReadRegularFile(planFile, kMaxPlanFileBytes);
    if (bytes) {
      Load();
      ApplyPlanFile(ParsePlanFile(*bytes, RowsHeld()));
    } else {
      // The editor still opens, so the user can make the plan by hand; but a plan file that
      // quietly did nothing would look like a file without content.
      User().Tell("Quenbrook", "The plan file could not be used (" + bytes.Error() + ").",
                  TMessageIcon::Exclamation);
    }
  }
  document_.AddStarterEnvelope();
  return Edit();
}

void TAllocationPlan::ApplyIncomes(const std::array<float, 4>& incomes) {
  Load();
  const int bracket = IncomeBracket(static_cast<double>(YearlyIncomeCents(incomes)) / 100.0);
  for (int i = 0; i < 4; ++i) {
    if (incomes[static_cast<size_t>(i)] > 0)
      SetColumn(i, kIncomeColumnNames[static_cast<size_t>(i)], kPeriodMonthly);
  }
  const auto& table = IncomeWizardRows();
  for (size_t r = 0; r < table.size() && r < rows_.size(); ++r) {
    TAllocationPlanItem& row = *rows_[r];
    row.SetName(table[r].envelope);
    for (int i = 0; i < 4; ++i) {
      const float income = incomes[static_cast<size_t>(i)];
      if (income > 0) {
        row.SetAmount(
            i, TAmount(IncomeShareCents(income, table[r].percent[static_cast<size_t>(bracket)])));
      }
    }
  }
  Changed();
}

void TAllocationPlan::ApplyPlanFile(const TPlanFile& file) {
  Load();
  for (size_t c = 0; c < file.columns.size() && c < 4; ++c)
    columnNames_[c] = file.columns[c];
  for (size_t c = 0; c < 4; ++c)
    columnPeriods_[c] = kPeriodMonthly;
  for (size_t r = 0; r < file.rows.size() && r < rows_.size(); ++r) {
    TAllocationPlanItem& row = *rows_[r];
    row.SetName(file.rows[r].label);
    // A row without a name, or a free column, holds no amounts: totals count every column.
    for (int c = 0; c < 4; ++c) {
      const bool counts = !row.Name().empty() && IsColumnUsed(c);
      row.SetAmount(
          c, TAmount(counts ? CentsFromEntry(file.rows[r].amounts[static_cast<size_t>(c)]) : 0));
    }
  }
  Changed();
}

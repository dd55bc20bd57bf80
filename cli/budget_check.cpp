#include "cli/budget_check.h"

#include "transactions/budget_invariants.h"

TBudgetCheckResult CheckBudget(const TVorlaData& document) {
  TBudgetCheckResult result;
  result.differences = CheckBudgetBalances(document);
  result.status = result.differences.empty() ? 0 : 1;
  return result;
}

#pragma once

#include <string>
#include <vector>

class TVorlaData;

/// The verdict of `quenbrook-cli check`: the exit status (0 when the budget is sound, 1 when it
/// is not) and one line per difference found.
struct TBudgetCheckResult {
  int status = 0;
  std::vector<std::string> differences;
};

/// Checks that the account total equals the envelope total and that every stored balance and
/// cleared balance of every account and envelope equals the sum over its records.
TBudgetCheckResult CheckBudget(const TVorlaData& document);

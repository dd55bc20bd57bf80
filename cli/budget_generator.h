#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/result.h"

class TVorlaData;

/// Makes realistic budgets for scripts, tests and benchmarks: account groups with accounts of
/// every type and starting balances, bundles of envelopes, an association with aliases, and
/// transactions of every kind (payments, deposits allocated to envelopes, account and envelope
/// transfers, multiples with parts, envelope entries, new imports, cleared and confirmed ones,
/// a few deleted). Everything is made through the model's own operations, as a user would make
/// it, so the budget is consistent. The same seed gives the same budget.
class TBudgetGenerator {
 public:
  explicit TBudgetGenerator(uint64_t seed);
  ~TBudgetGenerator();
  TBudgetGenerator(const TBudgetGenerator&) = delete;
  TBudgetGenerator& operator=(const TBudgetGenerator&) = delete;

  /// Adds transactions until the store holds at least `count` records.
  void AddTransactions(uint64_t count);
  TVorlaData& Document();

 private:
  class TImpl;
  std::unique_ptr<TImpl> impl_;
};

/// Writes a generated budget of at least `transactions` records to `path`.
TResult<void> GenerateBudgetFile(const std::string& path, uint64_t transactions, uint64_t seed);

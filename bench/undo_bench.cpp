// The undo history at 10^4 to 10^6 transactions: undoing and redoing a typed cell, and the
// memory one such step holds.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "bench/generated_budget.h"
#include "core/account_list.h"
#include "core/clock.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "transactions/undo_history.h"
#include "transactions/xfilter.h"
#include "transactions/xmanager.h"

namespace {

TUnattendedUserPort user;
TFixedClock clock_(TDateValue(1, 6, 2030));
TModelEnvironment environment{user, clock_};

TVorlaData& Document(int64_t transactions) {
  static std::map<int64_t, std::unique_ptr<TVorlaData>> open;
  auto& document = open[transactions];
  if (!document)
    document = bench::OpenBudget(bench::Budget(transactions), environment);
  return *document;
}

// Each iteration undoes and redoes one typed amount in the last payment of the first account.
void BM_UndoRedoTypedCell(benchmark::State& state) {
  TVorlaData& document = Document(state.range(0));
  TXManager& manager = TransactionsOf(document);
  TUndoHistory history(document);
  const uint32_t account = document.Accounts().NthAccountId(1);
  {
    TUndoHistory::TStep step(&history, "Typing");
    TXHold row = manager.Last(TAccountFilter(account));
    row->SetColumnText(TXItem::kColPayment, "12.34");
  }
  state.counters["step_bytes"] = static_cast<double>(history.MemoryUsed());
  for (auto _ : state) {
    if (!history.Undo() || !history.Redo())
      state.SkipWithError("the history refused");
  }
}

BENCHMARK(BM_UndoRedoTypedCell)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

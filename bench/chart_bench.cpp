// The series of the four charts on generated budgets of 10,000, 100,000 and 1,000,000
// transactions, each over all time in one walk over the store: the goal is 150 ms for every
// chart at a million.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

#include "bench/generated_budget.h"
#include "core/account_list.h"
#include "core/clock.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "reports/balance_history.h"
#include "reports/income_spending_chart.h"
#include "reports/spending_chart.h"

namespace {

TUnattendedUserPort user;
TFixedClock clock_(TDateValue(1, 6, 2030));
TModelEnvironment environment{user, clock_};
const TDateValue kFrom(1, 1, 2020);
const TDateValue kTo(31, 12, 2099);

void RunChart(benchmark::State& state,
              const std::function<TResult<TChartSeries>(const TVorlaData&)>& make) {
  const std::unique_ptr<TVorlaData> document =
      bench::OpenBudget(bench::Budget(state.range(0)), environment);
  size_t rows = 0;
  for (auto _ : state) {
    const TResult<TChartSeries> series = make(*document);
    if (!series) {
      state.SkipWithError(series.Error().c_str());
      return;
    }
    rows = series->rows.size();
    benchmark::DoNotOptimize(series->lines.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["rows"] = static_cast<double>(rows);
}

void BM_SpendingByEnvelope(benchmark::State& state) {
  RunChart(state,
           [](const TVorlaData& document) { return SpendingByEnvelope(document, 0, kFrom, kTo); });
}

// The root and every envelope line the chart allows, at each month's end.
void BM_EnvelopeBalances(benchmark::State& state) {
  RunChart(state, [](const TVorlaData& document) {
    std::vector<uint32_t> nodes = {0};
    for (const TItemChoice& choice : document.Envelopes().EnvelopeChoices()) {
      if (nodes.size() < kMaxBalanceLines)
        nodes.push_back(choice.id);
    }
    return EnvelopeBalances(document, nodes, kFrom, kTo, TChartStep::Month);
  });
}

void BM_IncomeAndSpending(benchmark::State& state) {
  RunChart(state,
           [](const TVorlaData& document) { return IncomeAndSpending(document, 0, kFrom, kTo); });
}

void BM_AccountBalances(benchmark::State& state) {
  RunChart(state, [](const TVorlaData& document) {
    std::vector<uint32_t> nodes;
    for (const TItemChoice& choice : document.Accounts().AccountChoices())
      nodes.push_back(choice.id);
    nodes.resize(std::min(nodes.size(), kMaxBalanceLines));
    return AccountBalances(document, nodes, kFrom, kTo, TChartStep::Month);
  });
}

BENCHMARK(BM_SpendingByEnvelope)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnvelopeBalances)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IncomeAndSpending)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AccountBalances)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

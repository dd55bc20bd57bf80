// The allocation plan of a large budget: 500 envelopes by 10 income templates of different
// periods. Loading it (rows from the templates), showing every cell in another period, and
// writing it back into the templates and envelopes must each stay within a frame (16 ms).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "planning/allocation_plan.h"
#include "planning/template_manager.h"
#include "planning/xtemplate.h"

namespace {

constexpr int kEnvelopes = 500;
constexpr int kTemplates = 10;

// Saves every plan the editor shows, as "Save and Close" would.
class TSavingPort final : public TUnattendedUserPort {
 public:
  bool EditAllocationPlan(TAllocationPlan&) override { return true; }
};

TSavingPort user;
TFixedClock clock_(TDateValue(1, 6, 2030));
TModelEnvironment environment{user, clock_};

std::unique_ptr<TVorlaData> MakeBudget() {
  auto document = std::make_unique<TVorlaData>(environment);
  TEnvelopeList& envelopes = document->Envelopes();
  std::vector<uint32_t> ids;
  for (int e = 0; e < kEnvelopes; ++e)
    ids.push_back(
        envelopes.AddEnvelope(envelopes.Root(), "Envelope " + std::to_string(e), true)->Id());
  for (int t = 0; t < kTemplates; ++t) {
    auto income = std::make_unique<TXTemplate>();
    income->SetName("Income " + std::to_string(t));
    income->SetPeriod(static_cast<uint32_t>(t % 8 + 1));
    income->SetIncludeInPlan(true);
    for (int e = 0; e < kEnvelopes; ++e)
      income->Items().AddAllocation(ids[static_cast<size_t>(e)], TAmount(1000 + e + t));
    TemplatesOf(*document).Add(std::move(income));
  }
  return document;
}

void BM_LoadPlan(benchmark::State& state) {
  auto document = MakeBudget();
  TAllocationPlan plan(*document);
  for (auto _ : state) {
    plan.Load();
    benchmark::DoNotOptimize(plan.RowsHeld());
    state.PauseTiming();
    plan.Save();  // not modified: only discards the rows
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadPlan)->Unit(benchmark::kMillisecond);

// Every cell, row total and column total as the grid paints them after the view period changed.
void BM_ShowPlanInAnotherPeriod(benchmark::State& state) {
  auto document = MakeBudget();
  TAllocationPlan plan(*document);
  plan.Load();
  uint32_t period = kPeriodWeekly;
  for (auto _ : state) {
    plan.SetViewPeriod(period);
    period = period % kPeriodAnnual + 1;
    size_t characters = 0;
    for (size_t r = 0; r < plan.RowsHeld(); ++r) {
      for (int column = 1; column <= 2 + TAllocationPlan::kColumns; ++column)
        characters += plan.Row(r).ColumnText(column).size();
    }
    for (int column = 1; column <= 2 + TAllocationPlan::kColumns; ++column)
      characters += plan.FooterText(column).size();
    benchmark::DoNotOptimize(characters);
  }
}
BENCHMARK(BM_ShowPlanInAnotherPeriod)->Unit(benchmark::kMillisecond);

void BM_SavePlan(benchmark::State& state) {
  auto document = MakeBudget();
  TAllocationPlan plan(*document);
  for (auto _ : state) {
    state.PauseTiming();
    plan.Load();
    plan.SetModified(true);
    state.ResumeTiming();
    plan.Save();
  }
}
BENCHMARK(BM_SavePlan)->Unit(benchmark::kMillisecond);

// The whole editor round: load, show in another period, save.
void BM_EditPlan(benchmark::State& state) {
  auto document = MakeBudget();
  TAllocationPlan plan(*document);
  for (auto _ : state) {
    plan.SetViewPeriod(kPeriodAnnual);
    benchmark::DoNotOptimize(plan.Edit());
  }
}
BENCHMARK(BM_EditPlan)->Unit(benchmark::kMillisecond);

}  // namespace

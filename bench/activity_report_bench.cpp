// The envelope activity report over all time on generated budgets of 10,000, 100,000 and
// 1,000,000 transactions: one walk over the store for the whole envelope tree, with the peak
// resident memory of the run beside the time.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/generated_budget.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "reports/envelope_activity_report.h"

namespace {

TUnattendedUserPort user;
TFixedClock clock_(TDateValue(1, 6, 2030));
TModelEnvironment environment{user, clock_};

std::unique_ptr<TVorlaData> Open(int64_t transactions) {
  return bench::OpenBudget(bench::Budget(transactions), environment);
}

double PeakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes
}

void BM_EnvelopeActivityAllTime(benchmark::State& state) {
  const std::unique_ptr<TVorlaData> document = Open(state.range(0));
  // A read budget gives its root an identifier of its own; the whole tree is the root's subtree.
  const TEnvelopeActivityOptions options{
      document->Envelopes().Root().Id(), TDateValue(1, 1, 1900), TDateValue(31, 12, 2100),
      kActivityDefaultColumns | kActivityTransIn | kActivityTransOut};
  size_t rows = 0;
  for (auto _ : state) {
    const TEnvelopeActivityReport report(*document, clock_, options);
    rows = report.Rows().size();
    benchmark::DoNotOptimize(report.Rows().data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["peak_rss_MB"] = PeakResidentMegabytes();
}

BENCHMARK(BM_EnvelopeActivityAllTime)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

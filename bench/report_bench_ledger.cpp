// The account ledger report of the busiest account over all time, on generated budgets of
// 10,000, 100,000 and 1,000,000 transactions: gathering the rows and totals, and building the
// whole export text. Peak memory is the process's maximum resident size, its high-water mark
// reset once the budget is open (generating a budget peaks far higher than reading one); the
// resident size with the budget open is given beside it. The resident size hardly moves, since
// the export reuses pages the generator freed; the heap in use by the report and its text while
// the text exists is the report's own peak.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "bench/generated_budget.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "reports/account_ledger_report.h"
#include "reports/report_options.h"

namespace {

TUnattendedUserPort user;
TFixedClock clock_(TDateValue(1, 6, 2030));
TModelEnvironment environment{user, clock_};

double MaxRssMegabytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Bytes the heap has handed out and not taken back.
double HeapMegabytes() {
  const struct mallinfo2 info = ::mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

// Linux lets a process reset its resident high-water mark; elsewhere the peak includes what
// came before.
void ResetPeakRss() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

double CurrentRssMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) /
         (1024.0 * 1024.0);
}

std::unique_ptr<TVorlaData> Open(int64_t transactions) {
  return bench::OpenBudget(bench::Budget(transactions), environment);
}

TLedgerReportOptions AllOfChecking(const TVorlaData& document) {
  TLedgerReportOptions options;
  options.id = document.Accounts().IdOfName("Checking");
  return options;  // no dates: any date
}

void BM_AccountLedgerGather(benchmark::State& state) {
  const std::unique_ptr<TVorlaData> document = Open(state.range(0));
  const TLedgerReportOptions options = AllOfChecking(*document);
  size_t rows = 0;
  for (auto _ : state) {
    const TAccountLedgerReport report(*document, clock_, options);
    rows = report.Count();
    benchmark::DoNotOptimize(report.NetTotal());
  }
  state.counters["rows"] = static_cast<double>(rows);
}

void BM_AccountLedgerExport(benchmark::State& state) {
  const std::unique_ptr<TVorlaData> document = Open(state.range(0));
  const TLedgerReportOptions options = AllOfChecking(*document);
  const double documentRss = CurrentRssMegabytes();
  ResetPeakRss();
  size_t rows = 0;
  size_t bytes = 0;
  double reportHeap = 0;
  for (auto _ : state) {
    const double before = HeapMegabytes();
    const TAccountLedgerReport report(*document, clock_, options);
    const std::string text = report.ExportText();
    reportHeap = HeapMegabytes() - before;
    rows = report.Count();
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["export_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
  // What the report and its text hold while the text exists: the report's own peak.
  state.counters["report_heap_MB"] = reportHeap;
  state.counters["budget_rss_MB"] = documentRss;
  state.counters["max_rss_MB"] = MaxRssMegabytes();
}

}  // namespace

// The export first: its peak-memory counter must not see a larger budget loaded before it.
BENCHMARK(BM_AccountLedgerExport)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AccountLedgerGather)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

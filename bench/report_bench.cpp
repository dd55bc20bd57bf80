// Printed reports: building the pages of a ledger-like report (45 rows by 7 columns a page) and
// writing them as one PDF, at 10, 100 and 1,000 pages so that growth shows. The engine keeps
// one page at a time, so memory should stay flat while time grows linearly.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/page_player.h"
#include "reports/form_engine_imp.h"
#include "tests/support/ledger_like_report.h"

namespace {

double PeakRssMiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;  // Linux gives kilobytes
}

void BM_BuildPages(benchmark::State& state) {
  TLedgerLikeReport report(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CFWEngineImp engine(report);
    size_t records = 0;
    for (int page = 1; page <= report.GetPageCount(); ++page) {
      int result = 0;
      records += engine.Page(page, result)->records.size();
    }
    benchmark::DoNotOptimize(records);
  }
  state.counters["peak_rss_MiB"] = PeakRssMiB();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildPages)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_WritePdf(benchmark::State& state) {
  TLedgerLikeReport report(static_cast<int>(state.range(0)));
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("quenbrook-report-bench-" + std::to_string(::getpid()) + ".pdf"))
                               .string();
  std::uintmax_t bytes = 0;
  for (auto _ : state) {
    const TResult<void> written = WriteReportPdf(report, path);
    if (!written) {
      state.SkipWithError(written.Error().c_str());
      break;
    }
    bytes = std::filesystem::file_size(path);
  }
  std::filesystem::remove(path);
  state.counters["peak_rss_MiB"] = PeakRssMiB();
  state.counters["pdf_MiB"] = bytes / 1048576.0;
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WritePdf)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Text needs the graphical libraries; no display is needed for files.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

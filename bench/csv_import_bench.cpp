// CSV statements at size: a 100,000-line export read, its columns guessed and its rows mapped
// to records; and the whole import of that statement into generated budgets of 10,000 and
// 1,000,000 transactions, from the file's bytes to the new transactions in ledger order.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "bench/generated_budget.h"
#include "bench/import_port.h"
#include "core/account_list.h"
#include "core/clock.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "import/csv_mapping.h"
#include "import/csv_table.h"
#include "import/import_dialog_state.h"
#include "import/import_procedure.h"
#include "transactions/xmanager.h"

namespace {

bench::TImportPort user;
TFixedClock clock_(TDateValue(1, 6, 2030));
TModelEnvironment environment{user, clock_};

// An export as US banks write it: a header, quoted texts (some with commas), a debit and a
// credit column and the running balance, a hundred lines a day from `from` on.
std::string Export(size_t lines, TDateValue from) {
  std::mt19937 random(9);
  std::string text =
      "\"Posting Date\",\"Description\",\"Memo\",\"Debit\",\"Credit\",\"Balance\"\r\n";
  text.reserve(lines * 80);
  TDateValue date = from;
  for (size_t i = 0; i < lines; ++i) {
    if (i % 100 == 99)
      date = date.NextDay();
    const unsigned cents = 100 + random() % 99900;
    const std::string amount = std::to_string(cents / 100) + "." + std::to_string(10 + cents % 90);
    const bool credit = random() % 10 == 0;
    text += "\"" + date.Format(TDateValue::kFullYear) + "\",\"SHOP " +
            std::to_string(random() % 5000) + ", MAIN ST\",\"card " +
            std::to_string(random() % 100) + "\",\"" + (credit ? "" : amount) + "\",\"" +
            (credit ? amount : "") + "\",\"1,234.56\"\r\n";
  }
  return text;
}

size_t ReadAndMap(const std::string& bytes, TImportBatch& batch) {
  const TResult<TCsvTable> table = ReadCsvTable(bytes);
  if (!table)
    return 0;
  return ReadCsvRecords(*table, GuessCsvMapping(*table), batch).read;
}

void BM_CsvReadAndMap(benchmark::State& state) {
  const std::string bytes = Export(static_cast<size_t>(state.range(0)), TDateValue(1, 1, 2030));
  size_t read = 0;
  for (auto _ : state) {
    TImportBatch batch;
    read = ReadAndMap(bytes, batch);
    benchmark::DoNotOptimize(batch.Size());
  }
  state.counters["records"] = static_cast<double>(read);
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_CsvImport(benchmark::State& state) {
  const auto& path = bench::Budget(state.range(0));
  const size_t lines = static_cast<size_t>(state.range(1));
  size_t created = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TVorlaData> document = bench::OpenBudget(path, environment);
    user.account = document->Accounts().AccountChoices().front().id;
    std::string bytes = Export(lines, TDateValue(1, 1, 2030));
    state.ResumeTiming();

    TImportBatch batch;
    ReadAndMap(bytes, batch);
    std::string().swap(bytes);
    const TImportResult result = ImportRecords(batch, *document, nullptr);

    state.PauseTiming();
    created = 0;
    for (const TImportFate& fate : result.fates)
      created += fate.kind == TImportFate::Kind::Created;
    document.reset();
    state.ResumeTiming();
  }
  state.counters["created"] = static_cast<double>(created);
}

}  // namespace

BENCHMARK(BM_CsvReadAndMap)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvImport)
    ->Args({10000, 100000})
    ->Args({1000000, 100000})
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

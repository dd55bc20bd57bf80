// Import at size: the matcher pairing 5,000 statement lines with 100,000 entered transactions
// (ordinary amounts, and the worst case where every amount is the same), with the bytes its
// tables take against the cells a records-by-candidates table would need; whole statements of
// 10,000 lines imported into generated budgets of 10,000 to 1,000,000 transactions; and QIF
// statements of 10,000 to 4,400,000 new lines read and imported, with their peak memory.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/generated_budget.h"
#include "bench/import_port.h"
#include "cli/budget_generator.h"
#include "core/account_list.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "import/import_dialog_state.h"
#include "import/import_matcher.h"
#include "import/import_procedure.h"
#include "import/qif_reader.h"
#include "transactions/xmanager.h"

namespace {

namespace fs = std::filesystem;

bench::TImportPort user;
TFixedClock clock_(TDateValue(1, 6, 2030));
TModelEnvironment environment{user, clock_};

TDateValue DayOf(int day) {
  TDateValue date(1, 1, 2027);
  for (int i = 0; i < day; ++i)
    date = date.NextDay();
  return date;
}

// Entered transactions over three years; a third carry check numbers. Kind 1 gives them all the
// same amount; kind 2 also the same day, so that every line ties with every one of them.
std::vector<TMatchCandidate> Candidates(size_t count, int kind) {
  std::mt19937 random(5);
  std::vector<TDateValue> days;
  for (int day = 0; day < 1100; ++day)
    days.push_back(DayOf(day));
  std::vector<TMatchCandidate> candidates;
  for (size_t j = 0; j < count; ++j) {
    const int32_t cents = kind != 0 ? -2000 : -static_cast<int32_t>(random() % 50000);
    const int64_t check = kind != 2 && random() % 3 == 0 ? static_cast<int64_t>(1000 + j) : 0;
    const TDateValue date = kind == 2 ? days[0] : days[random() % days.size()];
    candidates.push_back({static_cast<uint32_t>(j + 1), cents, date, check});
  }
  return candidates;
}

// Statement lines: half of them entered already (posted up to three days later, some by check
// number), half new.
TImportBatch Lines(const std::vector<TMatchCandidate>& candidates, size_t count,
                   bool allEntered = false) {
  std::mt19937 random(6);
  TImportBatch lines;
  for (size_t i = 0; i < count; ++i) {
    const TMatchCandidate& entered = candidates[random() % candidates.size()];
    TDateValue date = entered.date;
    if (allEntered || i % 2 == 0) {
      for (unsigned shift = allEntered ? 0 : random() % 4; shift > 0; --shift)
        date = date.NextDay();
      lines.Add(date, TAmount(entered.amount),
                entered.checkNumber > 0 ? std::to_string(entered.checkNumber) : "");
    } else {
      lines.Add(date, TAmount(-static_cast<int32_t>(random() % 50000)));
    }
  }
  return lines;
}

void BM_Match(benchmark::State& state) {
  const size_t records = static_cast<size_t>(state.range(0));
  const size_t candidateCount = static_cast<size_t>(state.range(1));
  const int kind = static_cast<int>(state.range(2));
  const std::vector<TMatchCandidate> candidates = Candidates(candidateCount, kind);
  const TImportBatch lines = Lines(candidates, records, kind == 2);
  TImportMatcher matcher;
  size_t paired = 0;
  for (auto _ : state) {
    const std::vector<size_t> pairs = matcher.Match(lines, lines.Size(), candidates, false);
    paired = 0;
    for (size_t pair : pairs)
      paired += pair != TImportMatcher::kUnpaired;
    benchmark::DoNotOptimize(paired);
  }
  state.counters["paired"] = static_cast<double>(paired);
  state.counters["pairs_weighed"] = static_cast<double>(matcher.PairsWeighed());
  state.counters["peak_bytes"] = static_cast<double>(matcher.PeakBytes());
  state.counters["table_bytes"] = static_cast<double>(records * candidateCount * 4);
}

using bench::Budget;

// The budget read afresh for one round; null (the benchmark told why) when it cannot be read.
std::unique_ptr<TVorlaData> ReadBudget(benchmark::State& state, const fs::path& path) {
  TResult<std::unique_ptr<TVorlaData>> document = ReadDocumentFile(path.string(), environment);
  if (!document) {
    state.SkipWithError(document.Error().c_str());
    return nullptr;
  }
  return std::move(document).Value();
}

// A 10,000-line statement of the budget's busiest account, with the candidates the import will
// see: half its lines are transactions already there.
void BM_ImportStatement(benchmark::State& state) {
  const fs::path& path = Budget(state.range(0));
  size_t candidateCount = 0, created = 0, paired = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TVorlaData> document = ReadBudget(state, path);
    if (!document)
      return;
    TXManager& manager = TransactionsOf(*document);
    std::map<uint32_t, size_t> perAccount;
    for (uint32_t index = 1; index <= manager.Store().Count(); ++index)
      ++perAccount[manager.Store().At(index).AccountId];
    perAccount.erase(0);
    user.account = perAccount.begin()->first;
    for (const auto& [account, count] : perAccount) {
      if (count > perAccount[user.account])
        user.account = account;
    }
    std::vector<TMatchCandidate> candidates =
        ImportCandidates(manager, user.account, TDateValue(1, 1, 1900));
    candidateCount = candidates.size();
    TImportBatch batch = Lines(candidates, 10000);
    state.ResumeTiming();

    const TImportResult result = ImportRecords(batch, *document, nullptr);

    state.PauseTiming();
    created = paired = 0;
    for (const TImportFate& fate : result.fates) {
      created += fate.kind == TImportFate::Kind::Created;
      paired += fate.kind == TImportFate::Kind::Paired;
    }
    document.reset();
    state.ResumeTiming();
  }
  state.counters["candidates"] = static_cast<double>(candidateCount);
  state.counters["paired"] = static_cast<double>(paired);
  state.counters["created"] = static_cast<double>(created);
}

// A line of /proc/self/status in bytes ("VmRSS", "VmHWM").
double StatusBytes(const char* name) {
  std::FILE* file = std::fopen("/proc/self/status", "r");
  char line[256];
  double kib = 0;
  while (file != nullptr && std::fgets(line, sizeof line, file) != nullptr) {
    if (std::strncmp(line, name, std::strlen(name)) == 0 && line[std::strlen(name)] == ':')
      kib = std::atof(line + std::strlen(name) + 1);
  }
  if (file != nullptr)
    std::fclose(file);
  return kib * 1024;
}

// Starts counting the peak memory afresh (VmHWM) from what the process holds now.
void ResetPeakMemory() {
  if (std::FILE* file = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", file);
    std::fclose(file);
  }
}

// A QIF statement of new lines as a bank writes one: a hundred a day from a month before the
// budget's last day on, payees and memos of everyday length, the newest first (as many banks
// list them) or the oldest first.
std::string NewLines(size_t count, TDateValue from, bool newestFirst) {
  std::mt19937 random(8);
  std::vector<std::string> records(count);
  TDateValue date = from;
  for (size_t i = 0; i < count; ++i) {
    if (i % 100 == 99)
      date = date.NextDay();
    const unsigned cents = 100 + random() % 99900;
    records[i] = "D" + date.Format(TDateValue::kFullYear) + "\nT-" + std::to_string(cents / 100) +
                 "." + std::to_string(10 + cents % 90) + "\nPSHOP " +
                 std::to_string(random() % 5000) + "\nMcard " + std::to_string(random() % 100) +
                 "\n^\n";
  }
  if (newestFirst)
    std::reverse(records.begin(), records.end());
  std::string text = "!Type:Bank\n";
  text.reserve(count * 60);
  for (const std::string& record : records)
    text += record;
  return text;
}

// Whole imports of new lines into generated budgets, read from the statement's bytes as the
// command-line tool does: the time, and the peak memory above the budget's own (its memory
// before the import plus the new records' slots) in units of the statement's size.
void BM_ImportNewLines(benchmark::State& state) {
  const fs::path& path = Budget(state.range(0));
  const size_t lines = static_cast<size_t>(state.range(1));
  size_t created = 0, statementBytes = 0;
  double budgetBytes = 0, peakBytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TVorlaData> document = ReadBudget(state, path);
    if (!document)
      return;
    TXManager& manager = TransactionsOf(*document);
    TDateValue last;
    for (uint32_t index = 1; index <= manager.Store().Count(); ++index) {
      if (manager.Store().At(index).date.Packed() > last.Packed())
        last = manager.Store().At(index).date;
    }
    for (int day = 0; day < 30; ++day)
      last = last.PreviousDay();
    user.account = document->Accounts().AccountChoices().front().id;
    std::string statement = NewLines(lines, last, state.range(2) != 0);
    statementBytes = statement.size();
    // What earlier runs freed goes back to the system, so that the process holds the budget,
    // the statement and little else.
    malloc_trim(0);
    budgetBytes = StatusBytes("VmRSS") - static_cast<double>(statementBytes);
    ResetPeakMemory();
    state.ResumeTiming();

    TImportBatch batch;
    ReadQifText(statement, batch, 2030);
    // The statement's bytes go once it is read, as the command-line tool lets them go.
    std::string().swap(statement);
    const TImportResult result = ImportRecords(batch, *document, nullptr);

    state.PauseTiming();
    peakBytes = StatusBytes("VmHWM");
    created = 0;
    for (const TImportFate& fate : result.fates)
      created += fate.kind == TImportFate::Kind::Created;
    document.reset();
    state.ResumeTiming();
  }
  const double grown = budgetBytes + static_cast<double>(created) * sizeof(TXRecord);
  state.counters["created"] = static_cast<double>(created);
  state.counters["statement_MB"] = static_cast<double>(statementBytes) / 1e6;
  state.counters["budget_MB"] = grown / 1e6;
  state.counters["peak_MB"] = peakBytes / 1e6;
  state.counters["over_budget_x_statement"] =
      (peakBytes - grown) / static_cast<double>(statementBytes);
}

}  // namespace

BENCHMARK(BM_Match)
    ->Args({5000, 100000, 0})
    ->Args({5000, 100000, 1})
    ->Args({5000, 100000, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportStatement)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportNewLines)
    ->ArgsProduct({{10000, 1000000}, {10000, 100000, 1000000}, {1}})
    ->Args({1000000, 100000, 0})
    ->Args({10000, 4400000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

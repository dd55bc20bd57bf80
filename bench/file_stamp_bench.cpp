// What knowing a budget's stamp costs: the hash of its bytes is taken while a budget is read and
// written, so its share of opening and saving is the hash of the file's bytes, measured here in
// the same run as the open and the save themselves.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench/generated_budget.h"
#include "core/clock.h"
#include "core/file_stamp.h"
#include "core/unattended_user_port.h"

namespace {

TUnattendedUserPort user;
TFixedClock clock_{TDateValue(7, 12, 2026)};
const TModelEnvironment environment{user, clock_};

void BM_OpenBudget(benchmark::State& state) {
  const auto& path = bench::Budget(state.range(0));
  for (auto _ : state)
    benchmark::DoNotOptimize(bench::OpenBudget(path, environment));
}

void BM_SaveBudget(benchmark::State& state) {
  const auto& path = bench::Budget(state.range(0));
  std::unique_ptr<TVorlaData> document = bench::OpenBudget(path, environment);
  const std::string target = (bench::Folder() / "saved.vrl").string();
  for (auto _ : state) {
    if (!WriteDocumentFile(target, *document))
      state.SkipWithError("the save failed");
  }
}

// The bytes hashed in the pieces the file streams use, each from memory it was just copied
// into, as while reading.
void BM_HashBudgetBytes(benchmark::State& state) {
  std::ifstream in(bench::Budget(state.range(0)), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  constexpr size_t kPiece = size_t{256} << 10;
  std::vector<uint8_t> piece(kPiece);
  for (auto _ : state) {
    TContentHash hash;
    std::chrono::duration<double> hashing{0};
    for (size_t at = 0; at < bytes.size(); at += kPiece) {
      const size_t size = std::min(kPiece, bytes.size() - at);
      std::memcpy(piece.data(), bytes.data() + at, size);
      const auto start = std::chrono::steady_clock::now();
      hash.Add(piece.data(), size);
      hashing += std::chrono::steady_clock::now() - start;
    }
    benchmark::DoNotOptimize(hash.Value());
    state.SetIterationTime(hashing.count());
  }
}

}  // namespace

BENCHMARK(BM_OpenBudget)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveBudget)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HashBudgetBytes)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The payee index on stores of 10,000 to 1,000,000 records with 50,000 payees at most: building
// it (time, and its bytes as a counter), a keystroke's lookup, and on the generated budgets the
// fill of a new row and opening a budget with and without building the index.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>
#include <string>

#include "bench/generated_budget.h"
#include "core/account_list.h"
#include "core/clock.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "transactions/payee_index.h"
#include "transactions/remembered_fill.h"
#include "transactions/xmanager.h"
#include "transactions/xstore.h"

namespace {

TUnattendedUserPort user;
TFixedClock clock_(TDateValue(1, 6, 2030));
TModelEnvironment environment{user, clock_};

/// A store of `count` live payments over 20 accounts, each paid to one of min(count / 20,
/// 50,000) payees named like people's payees ("Payee 123 Market"), on random days of ten years.
const TXStore& Store(int64_t count) {
  static std::map<int64_t, std::unique_ptr<TXStore>> made;
  auto found = made.find(count);
  if (found != made.end())
    return *found->second;
  auto store = std::make_unique<TXStore>();
  store->MakeRoomFor(static_cast<size_t>(count));
  std::mt19937 random(1);
  const uint32_t payees = static_cast<uint32_t>(std::min<int64_t>(count / 20, 50000));
  for (int64_t i = 0; i < count; ++i) {
    const uint32_t index = store->ClaimSlot();
    TXRecord record{};
    record.Id = store->At(index).Id;
    record.Flags = kXLive | kXAccountSide;
    record.AccountId = 1 + random() % 20;
    record.date = TDateValue(1 + random() % 28, 1 + random() % 12, 2020 + random() % 10);
    record.amount = -static_cast<int32_t>(random() % 100000);
    record.SetPayableTo("Payee " + std::to_string(random() % payees) + " Market");
    store->Put(index, record);
  }
  return *made.emplace(count, std::move(store)).first->second;
}

void BM_BuildIndex(benchmark::State& state) {
  const TXStore& store = Store(state.range(0));
  size_t bytes = 0;
  size_t payees = 0;
  for (auto _ : state) {
    TXPayeeIndex index;
    index.Build(store);
    bytes = index.MemoryBytes();
    payees = index.PayeeCount();
  }
  state.counters["MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
  state.counters["payees"] = static_cast<double>(payees);
}

/// One keystroke each: the first letter (every payee matches), then longer prefixes.
void BM_Lookup(benchmark::State& state) {
  TXPayeeIndex index;
  index.Build(Store(state.range(0)));
  const char* prefixes[] = {"p", "Payee 1", "payee 12", "Payee 123"};
  size_t next = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(index.Matches(prefixes[next++ % 4]));
}

/// The fill of a new row on a generated budget, whose few payees each have very many records:
/// the per-account search walks all of a payee's records.
void BM_Fill(benchmark::State& state) {
  std::unique_ptr<TVorlaData> document =
      bench::OpenBudget(bench::Budget(state.range(0)), environment);
  TXManager& manager = TransactionsOf(*document);
  manager.Payees();
  const std::vector<std::string> payees = manager.Payees().Matches("c", 1);
  const uint32_t account = document->Accounts().IdOfName("Checking");
  for (auto _ : state) {
    TXRecord row{};
    row.Flags = kXAccountSide;
    row.AccountId = account;
    row.EnvelopeId = document->Accounts().GetDefaultEnvelope(account);
    row.date = clock_.Today();
    TXHold item = manager.Create(row);
    benchmark::DoNotOptimize(TXRememberedFill::Fill(*item, payees.front()));
    state.PauseTiming();
    manager.Delete(item.release());
    state.ResumeTiming();
  }
}

void BM_Open(benchmark::State& state) {
  const bool withIndex = state.range(1) != 0;
  for (auto _ : state) {
    std::unique_ptr<TVorlaData> document =
        bench::OpenBudget(bench::Budget(state.range(0)), environment);
    if (withIndex)
      benchmark::DoNotOptimize(TransactionsOf(*document).Payees().PayeeCount());
  }
}

}  // namespace

BENCHMARK(BM_BuildIndex)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lookup)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fill)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Open)
    ->ArgsProduct({{10000, 100000, 1000000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The transaction manager on budgets made by the generator at 10,000, 100,000 and 1,000,000
// transactions: opening and saving against plain file reads and writes of the same bytes, the
// ledger's walk from the end of one account, deleting an account, the next check number and one
// typed amount.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/generated_budget.h"
#include "cli/budget_generator.h"
#include "core/account_list.h"
#include "core/account_node.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "transactions/xfilter.h"
#include "transactions/xmanager.h"

namespace {

namespace fs = std::filesystem;

/// Answers Yes to the question before an account is deleted.
class TYesPort final : public TUnattendedUserPort {
 public:
  TMessageAnswer Show(const TMessage&) override { return TMessageAnswer::Yes; }
};

TYesPort user;
TFixedClock clock_(TDateValue(1, 6, 2030));
TModelEnvironment environment{user, clock_};

using bench::Budget;
using bench::Folder;

std::unique_ptr<TVorlaData> Open(const fs::path& path) {
  return bench::OpenBudget(path, environment);
}

TXManager& Manager(TVorlaData& document) {
  return TransactionsOf(document);
}

uint32_t AccountNamed(TVorlaData& document, const char* name) {
  return document.Accounts().IdOfName(name);
}

void BytesProcessed(benchmark::State& state, const fs::path& path) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(fs::file_size(path)));
}

// ---- Opening and saving against plain file calls ----

// The same bytes read into new memory with plain file calls, as the store must take new memory
// for its slots.
void BM_PlainRead(benchmark::State& state) {
  const fs::path& path = Budget(state.range(0));
  const size_t size = fs::file_size(path);
  for (auto _ : state) {
    std::unique_ptr<char[]> buffer(new char[size]);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    size_t read = std::fread(buffer.get(), 1, size, file);
    std::fclose(file);
    benchmark::DoNotOptimize(read);
    benchmark::DoNotOptimize(buffer.get());
  }
  BytesProcessed(state, path);
}

void BM_Open(benchmark::State& state) {
  const fs::path& path = Budget(state.range(0));
  for (auto _ : state) {
    auto document = Open(path);
    benchmark::DoNotOptimize(document.get());
    state.PauseTiming();
    document.reset();
    state.ResumeTiming();
  }
  BytesProcessed(state, path);
}

// Written the way a save writes: a new file beside the target, forced to disk, renamed over it.
void BM_PlainWrite(benchmark::State& state) {
  const fs::path& path = Budget(state.range(0));
  std::vector<char> bytes(fs::file_size(path));
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (std::fread(bytes.data(), 1, bytes.size(), in) != bytes.size())
    std::abort();
  std::fclose(in);
  const fs::path target = Folder() / "plain.vrl";
  const fs::path temporary = Folder() / "plain.vrl.tmp";
  for (auto _ : state) {
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
    ::fsync(::fileno(file));
    std::fclose(file);
    fs::rename(temporary, target);
  }
  BytesProcessed(state, path);
}

void BM_Save(benchmark::State& state) {
  const fs::path& path = Budget(state.range(0));
  auto document = Open(path);
  const fs::path target = Folder() / "saved.vrl";
  for (auto _ : state) {
    if (!WriteDocumentFile(target.string(), *document))
      std::abort();
  }
  BytesProcessed(state, path);
}

// ---- Ledger work ----

// How an account ledger opens: the last live transaction of the account, then up to 124 before
// it, all held as the ledger's window holds them.
void BM_LoadAtEnd(benchmark::State& state) {
  auto document = Open(Budget(state.range(0)));
  TXManager& manager = Manager(*document);
  const TAccountFilter filter(AccountNamed(*document, "Checking"));
  const TXBlankFilter live(filter);
  for (auto _ : state) {
    std::vector<TXHold> window;
    TXHold item = manager.Last(live);
    while (item && window.size() < 125) {
      TXHold previous = manager.Prev(*item, filter);
      window.push_back(std::move(item));
      item = std::move(previous);
    }
  }
}

void BM_DeleteAccount(benchmark::State& state) {
  const fs::path& path = Budget(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto document = Open(path);
    TAccount* account = document->Accounts().Account(AccountNamed(*document, "Visa"));
    state.ResumeTiming();
    if (!document->Accounts().DeleteItem(*account))
      std::abort();
    state.PauseTiming();
    document.reset();
    state.ResumeTiming();
  }
}

void BM_NextCheckNumber(benchmark::State& state) {
  auto document = Open(Budget(state.range(0)));
  TXManager& manager = Manager(*document);
  const uint32_t checking = AccountNamed(*document, "Checking");
  for (auto _ : state)
    benchmark::DoNotOptimize(manager.NextCheckNumber(checking));
}

// One amount typed into a row the ledger holds: the last payment of the account.
void BM_TypeAmountIntoHeldRow(benchmark::State& state) {
  auto document = Open(Budget(state.range(0)));
  TXManager& manager = Manager(*document);
  const TAccountFilter filter(AccountNamed(*document, "Checking"));
  const TXHold row = manager.Last(TXBlankFilter(filter));
  bool flip = false;
  for (auto _ : state) {
    row->SetColumnText(TXItem::kColDeposit, (flip = !flip) ? "12.34" : "43.21");
  }
}

// The same for a row in the middle of the store, taken, typed into and let go each time: the
// record keeps its place, so letting go of it costs no walk over the store.
void BM_TypeAmountIntoMiddleRow(benchmark::State& state) {
  auto document = Open(Budget(state.range(0)));
  TXManager& manager = Manager(*document);
  const TXStore& store = manager.Store();
  uint32_t id = 0;
  for (uint32_t index = store.Count() / 2; index <= store.Count() && id == 0; ++index) {
    if (store.At(index).IsPayment() && store.At(index).IsLive() &&
        store.At(index).AccountCleared == 0) {
      id = store.At(index).Id;
    }
  }
  bool flip = false;
  for (auto _ : state) {
    const TXHold row = manager.Get(id);
    row->SetColumnText(TXItem::kColPayment, (flip = !flip) ? "12.34" : "43.21");
  }
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}
void SizesMicro(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_PlainRead)->Apply(Sizes);
BENCHMARK(BM_Open)->Apply(Sizes);
BENCHMARK(BM_PlainWrite)->Apply(Sizes);
BENCHMARK(BM_Save)->Apply(Sizes);
BENCHMARK(BM_LoadAtEnd)->Apply(SizesMicro);
BENCHMARK(BM_DeleteAccount)->Apply(Sizes)->Iterations(3);
BENCHMARK(BM_NextCheckNumber)->Apply(SizesMicro);
BENCHMARK(BM_TypeAmountIntoHeldRow)->Apply(SizesMicro);
BENCHMARK(BM_TypeAmountIntoMiddleRow)->Apply(SizesMicro);

}  // namespace

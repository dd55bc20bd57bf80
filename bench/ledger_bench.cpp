// Ledger windows on budgets made by the generator at 10,000, 100,000 and 1,000,000 transactions:
// opening an account ledger at its end, the ledger of an account with few records, the reconcile
// view and an envelope ledger; a page down, a drop of the scroll box in the middle, and one
// typed amount with two ledgers open. Each must stay within a frame (16 ms) at a million.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "cli/budget_generator.h"
#include "core/account_list.h"
#include "core/account_node.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/envelope_list.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "presentation/xview_list.h"
#include "presentation/xview_model.h"
#include "transactions/account_wizard.h"
#include "transactions/xmanager.h"

namespace {

namespace fs = std::filesystem;

TUnattendedUserPort user;
TFixedClock clock_(TDateValue(1, 6, 2030));
TModelEnvironment environment{user, clock_};

/// A generated budget of a size with one more account, "Sparse", that holds its starting balance
/// and a handful of payments near the start of the store: the ledger whose records lie furthest
/// apart. Written once to a file and read back, so that the store is compacted as after opening.
const fs::path& Budget(int64_t transactions) {
  static std::map<int64_t, fs::path> made;
  auto found = made.find(transactions);
  if (found != made.end())
    return found->second;
  const fs::path folder =
      fs::temp_directory_path() / ("quenbrook-ledger-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path path = folder / ("budget-" + std::to_string(transactions) + ".vrl");
  TBudgetGenerator generator(1);
  generator.AddTransactions(static_cast<uint64_t>(transactions));
  TVorlaData& document = generator.Document();
  auto& manager = TransactionsOf(document);
  TAccountWizard wizard(manager);
  const uint32_t sparse = wizard.AddAccount({"Sparse", "", 1, 100, TDateValue(1, 1, 2020)})->Id();
  for (int i = 0; i < 5; ++i) {
    TXRecord row{};
    row.Flags = kXAccountSide;
    row.AccountId = sparse;
    row.EnvelopeId = document.Accounts().GetDefaultEnvelope(sparse);
    row.date = TDateValue(static_cast<unsigned>(2 + i), 1, 2020);
    const TXHold item = manager.Create(row);
    item->SetColumnText(TXItem::kColPayableTo, "Rare payee");
    item->SetColumnText(TXItem::kColPayment, "1.00");
  }
  const TResult<void> written = WriteDocumentFile(path.string(), document);
  if (!written) {
    std::fprintf(stderr, "%s\n", written.Error().c_str());
    std::abort();
  }
  return made.emplace(transactions, path).first->second;
}

/// One open budget per size, shared by the benchmarks of that size.
TVorlaData& Document(int64_t transactions) {
  static std::map<int64_t, std::unique_ptr<TVorlaData>> open;
  auto found = open.find(transactions);
  if (found != open.end())
    return *found->second;
  TResult<std::unique_ptr<TVorlaData>> document =
      ReadDocumentFile(Budget(transactions).string(), environment);
  if (!document) {
    std::fprintf(stderr, "%s\n", document.Error().c_str());
    std::abort();
  }
  return *open.emplace(transactions, std::move(document).Value()).first->second;
}

TXManager& Manager(TVorlaData& document) {
  return TransactionsOf(document);
}

std::unique_ptr<TXViewModel> AccountView(TVorlaData& document, const char* name,
                                         unsigned flags = 0) {
  return TXViewModel::ForAccount(Manager(document), clock_, document.Accounts().IdOfName(name),
                                 flags);
}

/// Opens a view and lays its window out as the grid does, then closes it (its empty rows go).
void OpenAndClose(benchmark::State& state,
                  const std::function<std::unique_ptr<TXViewModel>()>& make) {
  for (auto _ : state) {
    auto view = make();
    if (view->TopMode()) {
      view->Rows().LoadFromTop();
    } else {
      view->Rows().LoadAtEnd();
    }
    benchmark::DoNotOptimize(view->StatusValue());
  }
}

void BM_OpenAccountLedger(benchmark::State& state) {
  TVorlaData& document = Document(state.range(0));
  OpenAndClose(state, [&] { return AccountView(document, "Checking"); });
}

void BM_OpenSparseLedger(benchmark::State& state) {
  TVorlaData& document = Document(state.range(0));
  OpenAndClose(state, [&] { return AccountView(document, "Sparse"); });
}

void BM_OpenReconcileView(benchmark::State& state) {
  TVorlaData& document = Document(state.range(0));
  OpenAndClose(state,
               [&] { return AccountView(document, "Checking", TXViewModel::kOpenReconcile); });
}

void BM_OpenEnvelopeLedger(benchmark::State& state) {
  TVorlaData& document = Document(state.range(0));
  const uint32_t envelope = document.Envelopes().EnvelopeIdOfName("Groceries");
  OpenAndClose(state,
               [&] { return TXViewModel::ForEnvelope(Manager(document), clock_, envelope); });
}

// Pages of 40 rows down a ledger from its top; back to the top now and then, so that every
// page brings records rather than empty rows.
void BM_PageDown(benchmark::State& state) {
  TVorlaData& document = Document(state.range(0));
  auto view = AccountView(document, "Checking");
  view->Rows().LoadFromTop();
  int pages = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(view->Rows().LoadNext(40));
    if (++pages % 20 == 0) {
      state.PauseTiming();
      view->Rows().LoadFromTop();
      state.ResumeTiming();
    }
  }
}

void BM_DropScrollBoxInTheMiddle(benchmark::State& state) {
  TVorlaData& document = Document(state.range(0));
  auto view = AccountView(document, state.range(1) == 0 ? "Checking" : "Sparse");
  view->Rows().LoadAtEnd();
  const uint32_t middle = (view->Rows().PositionOfFirst() + view->Rows().PositionOfLast()) / 2;
  for (auto _ : state)
    benchmark::DoNotOptimize(view->Rows().GoToPosition(middle));
}

// An amount typed into a row that an account ledger and an envelope ledger both show.
void BM_TypeAmountWithTwoViews(benchmark::State& state) {
  TVorlaData& document = Document(state.range(0));
  auto account = AccountView(document, "Checking");
  account->Rows().LoadAtEnd();
  TXViewList& rows = account->Rows();
  TXItem* row = rows.TransactionAt(rows.LiveCount());
  while (!row->Record().IsPayment() || row->Record().AccountCleared != 0)
    row = rows.TransactionAt(rows.RowOf(*row) - 1);
  auto envelope = TXViewModel::ForEnvelope(Manager(document), clock_, row->Record().EnvelopeId);
  envelope->Rows().LoadAtEnd();
  bool flip = false;
  for (auto _ : state) {
    row->SetColumnText(TXItem::kColPayment, (flip = !flip) ? "12.34" : "43.21");
    benchmark::DoNotOptimize(account->StatusValue() + envelope->StatusValue());
  }
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_OpenAccountLedger)->Apply(Sizes);
BENCHMARK(BM_OpenSparseLedger)->Apply(Sizes);
BENCHMARK(BM_OpenReconcileView)->Apply(Sizes);
BENCHMARK(BM_OpenEnvelopeLedger)->Apply(Sizes);
BENCHMARK(BM_PageDown)->Apply(Sizes);
BENCHMARK(BM_DropScrollBoxInTheMiddle)
    ->ArgsProduct({{10000, 100000, 1000000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeAmountWithTwoViews)->Apply(Sizes);

}  // namespace

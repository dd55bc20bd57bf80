// The undo history at 10^4 to 10^6 transactions: undoing and redoing a typed cell, an account
// transfer, the deletion of the envelope with the most transactions and an import of 10,000
// new lines, with the memory each step holds; and what a user's gesture that changes nothing
// costs (every key press and click opens one).
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>

#include "bench/generated_budget.h"
#include "core/account_list.h"
#include "core/account_transfer_values.h"
#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "import/import_procedure.h"
#include "transactions/transfers.h"
#include "transactions/undo_history.h"
#include "transactions/xfilter.h"
#include "transactions/xmanager.h"

namespace {

// The user of the benchmarked steps: fills the transfer dialog, names the replacement envelope
// and the import's account, and accepts the import's options.
class TStepsPort final : public TUnattendedUserPort {
 public:
  uint32_t account = 0;
  uint32_t transferTo = 0;
  bool EditAccountTransfer(TActXferValues& values, const std::vector<TItemChoice>&,
                           const std::vector<TItemChoice>&) override {
    values.toAccount = transferTo;
    values.amount = 12.5;
    return true;
  }
  bool ChooseReplacementEnvelope(const std::vector<TItemChoice>& choices,
                                 uint32_t& chosen) override {
    chosen = choices.front().id;
    return true;
  }
  bool ChooseAccount(const std::string&, const std::vector<TItemChoice>&,
                     uint32_t& chosen) override {
    chosen = account;
    return true;
  }
  bool EditImportOptions(TImportDialogState&) override { return true; }
};

TStepsPort user;
TFixedClock clock_(TDateValue(1, 6, 2030));
TModelEnvironment environment{user, clock_};

TVorlaData& Document(int64_t transactions) {
  static std::map<int64_t, std::unique_ptr<TVorlaData>> open;
  auto& document = open[transactions];
  if (!document)
    document = bench::OpenBudget(bench::Budget(transactions), environment);
  return *document;
}

// Makes `change` one step, then each iteration undoes and redoes it.
template <class Change>
void UndoRedo(benchmark::State& state, Change change) {
  TVorlaData& document = Document(state.range(0));
  TUndoHistory history(document);
  {
    TUndoHistory::TStep step(&history, "Step");
    change(document);
  }
  if (!history.CanUndo()) {
    state.SkipWithError("the step changed nothing");
    return;
  }
  state.counters["step_bytes"] = static_cast<double>(history.MemoryUsed());
  for (auto _ : state) {
    if (!history.Undo() || !history.Redo())
      state.SkipWithError("the history refused");
  }
}

// One typed amount in the last payment of the first account.
void BM_UndoRedoTypedCell(benchmark::State& state) {
  UndoRedo(state, [](TVorlaData& document) {
    TXHold row = TransactionsOf(document).Last(TAccountFilter(document.Accounts().NthAccountId(1)));
    row->SetColumnText(TXItem::kColPayment, "12.34");
  });
}

// The last payment of the first account made an account transfer into the second.
void BM_UndoRedoTransfer(benchmark::State& state) {
  UndoRedo(state, [](TVorlaData& document) {
    user.transferTo = document.Accounts().NthAccountId(2);
    TXHold row = TransactionsOf(document).Last(TAccountFilter(document.Accounts().NthAccountId(1)));
    TXTransfers::CreateAccountTransfer(*row);
  });
}

// The envelope with the most transactions deleted, its transactions given to another.
void BM_UndoRedoDeletedEnvelope(benchmark::State& state) {
  size_t moved = 0;
  UndoRedo(state, [&moved](TVorlaData& document) {
    const TXStore& store = TransactionsOf(document).Store();
    std::map<uint32_t, size_t> perEnvelope;
    for (uint32_t index = 1; index <= store.Count(); ++index) {
      if (store.At(index).IsLive())
        ++perEnvelope[store.At(index).EnvelopeId];
    }
    uint32_t busiest = 0;
    for (const auto& [envelope, count] : perEnvelope) {
      if (document.Envelopes().Envelope(envelope) != nullptr && count > moved) {
        busiest = envelope;
        moved = count;
      }
    }
    document.Envelopes().DeleteItem(*document.Envelopes().FindNode(busiest), document.Accounts());
  });
  state.counters["transactions"] = static_cast<double>(moved);
}

// 10,000 new statement lines imported into the first account.
void BM_UndoRedoImport(benchmark::State& state) {
  UndoRedo(state, [](TVorlaData& document) {
    user.account = document.Accounts().NthAccountId(1);
    std::mt19937 random(3);
    TImportBatch batch;
    TDateValue date(1, 1, 2030);
    for (int line = 0; line < 10000; ++line) {
      if (line % 50 == 0)
        date = date.NextDay();
      batch.Add(date, TAmount(-static_cast<int32_t>(random() % 50000)));
    }
    ImportRecords(batch, document, nullptr);
  });
}

// A key press or click that changes nothing: the gesture's step is opened and closed.
void BM_EmptyGesture(benchmark::State& state) {
  TVorlaData& document = Document(state.range(0));
  TUndoHistory history(document);
  for (auto _ : state) {
    history.BeginGesture("Typing");
    history.EndStep();
  }
  if (history.CanUndo())
    state.SkipWithError("an empty gesture made a step");
}

// Fixed iterations: each step is made once on the shared budget of its size, where a second
// run of the benchmark would find it made already.
BENCHMARK(BM_UndoRedoTypedCell)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EmptyGesture)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoRedoTransfer)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoRedoDeletedEnvelope)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedoImport)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

}  // namespace

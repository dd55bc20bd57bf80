// Long random sequences of what users do in ledgers, after each of which the budget must be
// sound: every balance equals the sum over its records, the totals agree, every link holds and
// every reference is accounted for. At the end the budget saved, reopened and saved again gives
// the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/account_list.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/model_environment.h"
#include "core/pstream.h"
#include "core/vorla_data.h"
#include "planning/template_manager.h"
#include "presentation/xview_model.h"
#include "reports/balance_history.h"
#include "tests/support/recording_user_port.h"
#include "transactions/account_wizard.h"
#include "transactions/budget_invariants.h"
#include "transactions/transfers.h"
#include "transactions/undo_history.h"
#include "transactions/xmanager.h"

namespace {

/// The rows open ledgers hold between operations: held items that a delete takes away through
/// the removed notice, as a ledger's row source does.
class THeldRows final : public TXList {
 public:
  explicit THeldRows(TXManager& manager) : TXList(manager, nullptr) {}
  void Changed(TXItem&) override {}
  void Removed(TXItem& item) override { std::erase(items, &item); }
  void Added(TXItem&) override {}
  void LetGo() override { ReleaseAll(); }
  bool HoldsAnyMatching(const TXFilter&) const override { return false; }
  bool Holds(const TXItem& item) const override {
    return std::find(items.begin(), items.end(), &item) != items.end();
  }
  void ReleaseAll() {
    while (!items.empty()) {
      TXItem* item = items.back();
      items.pop_back();
      Manager()->Release(item);
    }
  }
  std::vector<TXItem*> items;
};

/// An open ledger window as far as the model sees it: the view model, closed at once when a
/// notice says its subject goes, as the window does.
struct TOpenView final : TXViewListener {
  TOpenView(TXManager& manager, std::unique_ptr<TXViewModel> view)
      : manager(manager), model(std::move(view)) {
    manager.AddView(*this);
  }
  ~TOpenView() override { Close(); }
  void Notify(TXViewNotice notice, uint32_t id) override {
    if (model && model->ClosesOn(notice, id))
      Close();
  }
  void Repaint() override {}
  void Close() {
    if (model)
      manager.RemoveView(*this);
    model.reset();
  }
  TXManager& manager;
  std::unique_ptr<TXViewModel> model;
};

class TModelRun {
 public:
  /// A budget with five envelopes and three accounts that has been saved and opened once, as
  /// every budget a user works on has (a new budget's envelope root gets its identifier then).
  TModelRun(uint64_t seed, uint32_t crowdLimit, bool withHistory = false)
      : random_(seed), crowdLimit_(crowdLimit) {
    document_ = std::make_unique<TVorlaData>(environment_);
    document_->AddStarterEnvelope();
    for (const char* name : {"Groceries", "Dining", "Rent", "Fuel"})
      AddEnvelope(name);
    for (int i = 0; i < 3; ++i)
      AddAccount();
    document_ = Reopen(Save(*document_));
    rows_ = std::make_unique<THeldRows>(Manager());
    if (withHistory) {
      history_ = std::make_unique<TUndoHistory>(*document_);
      start_ = Save(*document_);
    }
  }
  ~TModelRun() {
    views_.clear();
    if (rows_)
      rows_->ReleaseAll();
    rows_.reset();
    history_.reset();
  }

  TXManager& Manager() { return TransactionsOf(*document_); }
  TXTemplateManager& Templates() { return TemplatesOf(*document_); }

  /// One random operation; the name of what was done comes back for the failure report.
  std::string Step() {
    user_.Clear();
    std::erase_if(views_, [](const std::unique_ptr<TOpenView>& view) { return !view->model; });
    const bool crowded = Manager().Count(TXAnyFilter()) > crowdLimit_;
    struct Operation {
      const char* name;
      double weight;
      std::function<void()> run;
    };
    const std::vector<Operation> operations = {
        {"type transaction", crowded ? 2.0 : 20.0, [this] { TypeTransaction(); }},
        {"type envelope entry", crowded ? 1.0 : 6.0, [this] { TypeEnvelopeEntry(); }},
        {"edit amount", 10, [this] { EditAmount(); }},
        {"edit date", 6, [this] { EditDate(); }},
        {"edit texts", 3, [this] { EditTexts(); }},
        {"toggle account cleared", 6, [this] { ToggleCleared(true); }},
        {"toggle envelope cleared", 4, [this] { ToggleCleared(false); }},
        {"account transfer", 6, [this] { AccountTransfer(); }},
        {"envelope transfer", 4, [this] { EnvelopeTransfer(); }},
        {"make multiple", 5, [this] { MakeMultiple(); }},
        {"add part", 4, [this] { AddPart(); }},
        {"select envelope", 4, [this] { SelectEnvelope(); }},
        {"erase", 4, [this] { Erase(); }},
        {"delete", crowded ? 30.0 : 5.0, [this] { Delete(); }},
        {"hold row", 4, [this] { HoldRow(); }},
        {"release row", 4, [this] { ReleaseRow(); }},
        {"type into held row", 4, [this] { TypeIntoHeldRow(); }},
        {"today", 1, [this] { Today(); }},
        {"confirm cleared", 0.5, [this] { Manager().ConfirmCleared(); }},
        {"delete account", 0.3, [this] { DeleteAccount(); }},
        {"add account", 0.3, [this] { AddAccount(); }},
        {"delete envelope", 0.3, [this] { DeleteEnvelope(); }},
        {"add envelope", 0.3, [this] { AddEnvelope("Envelope " + std::to_string(++names_)); }},
        {"zero envelopes", 0.3, [this] { ZeroEnvelopes(); }},
        {"open view", views_.size() < 3 ? 2.0 : 0.0, [this] { OpenView(); }},
        {"type into view", 5, [this] { TypeIntoView(); }},
        {"scroll view", 3, [this] { ScrollView(); }},
        {"view command", 4, [this] { ViewCommand(); }},
        {"close view", 1, [this] { CloseView(); }},
        {"make template", Templates().Count() < 6 ? 1.0 : 0.0, [this] { MakeTemplate(); }},
        {"edit template", 1, [this] { EditTemplate(); }},
        {"copy or delete template", 0.5, [this] { CopyOrDeleteTemplate(); }},
        {"apply template", 4, [this] { ApplyTemplate(); }},
        {"undo", history_ ? 6.0 : 0.0, [this] { Cross(true); }},
        {"redo", history_ ? 3.0 : 0.0, [this] { Cross(false); }},
    };
    // Looking at records changes nothing a user would take back; what it does to the store
    // happens between the steps.
    static const std::vector<std::string> kNoSteps = {"hold row",    "release row", "open view",
                                                      "scroll view", "undo",        "redo"};
    double total = 0;
    for (const Operation& operation : operations)
      total += operation.weight;
    double pick = std::uniform_real_distribution<double>(0, total)(random_);
    for (const Operation& operation : operations) {
      pick -= operation.weight;
      if (pick <= 0 || &operation == &operations.back()) {
        const std::string name = operation.name;
        const bool step = std::find(kNoSteps.begin(), kNoSteps.end(), name) == kNoSteps.end();
        // As in the program, looking about and half the changes come as a user's gestures,
        // which are steps only when they changed the budget. The confirmations mark nothing
        // modified; the program gives them a step of their own.
        const bool gesture = history_ && name != "undo" && name != "redo" &&
                             name != "confirm cleared" && (!step || Chance(0.5));
        if (gesture)
          history_->BeginGesture(name);
        {
          TUndoHistory::TStep scope(step && !gesture ? history_.get() : nullptr, name);
          operation.run();
        }
        if (gesture)
          history_->EndStep();
        return name;
      }
    }
    return "nothing";
  }

  /// Everything that must hold after every operation; empty when it does.
  std::vector<std::string> Problems() {
    std::vector<std::string> problems = CheckBudgetBalances(*document_);
    if (!refusal_.empty())
      problems.push_back(refusal_);
    for (std::string& link : CheckTransactionLinks(Manager()))
      problems.push_back(link);
    if (!Manager().Store().CheckConsistency())
      problems.push_back("store bookkeeping");
    for (std::string& order : CheckLedgerOrder(Manager()))
      problems.push_back(order);
    // Walks keyed on an account or envelope pass over blocks of the store and must find what
    // plain walks find.
    if (!Manager().SlotIndexCovers())
      problems.push_back("the block index misses a record");
    for (uint32_t id : AccountIds()) {
      if (Manager().Count(TXKeyedFilter(TAccountFilter(id), TXWalkKey::Account, id)) !=
          Manager().Count(TAccountFilter(id)))
        problems.push_back("keyed walk over account " + std::to_string(id));
    }
    // The balance chart walks back from today's balances: at a date before every transaction
    // each envelope held nothing, and at the end of the latest year it holds its balance.
    const std::vector<uint32_t> envelopes = EnvelopeIds();
    for (size_t at = 0; at < envelopes.size(); at += kMaxBalanceLines) {
      const std::vector<uint32_t> some(
          envelopes.begin() + static_cast<ptrdiff_t>(at),
          envelopes.begin() +
              static_cast<ptrdiff_t>(std::min(envelopes.size(), at + kMaxBalanceLines)));
      const TResult<TChartSeries> chart =
          EnvelopeBalances(*document_, some, TDateValue(1, 1, 1990),
                           TDateValue(31, 12, LatestYear()), TChartStep::Month);
      for (size_t line = 0; line < some.size(); ++line) {
        if (!chart || chart->lines[line].values.front() != 0 ||
            chart->lines[line].values.back() !=
                document_->Envelopes().FindNode(some[line])->Balance().Cents())
          problems.push_back("balance chart of envelope " + std::to_string(some[line]));
      }
    }
    // Every reference is one the held rows or the open views own, or one a held part owns on
    // its multiple. A loaded window holds 250 distinct rows that are in the store.
    std::vector<TXItem*> holders = rows_->items;
    for (const std::unique_ptr<TOpenView>& view : views_) {
      TXViewList* window = view->model ? &view->model->Rows() : nullptr;
      for (int row = 1; window && window->Loaded() && row <= TXViewList::kWindowRows; ++row) {
        TXItem* item = window->TransactionAt(row);
        const TXRecord* stored = item ? Manager().FindRecord(item->Id()) : nullptr;
        if (!stored || (stored->Flags & kXHidden) || window->RowOf(*item) != row)
          problems.push_back(view->model->Caption() + ": row " + std::to_string(row));
        if (item)
          holders.push_back(item);
      }
      if (view->model && view->model->Multiple())
        holders.push_back(view->model->Multiple());
    }
    std::map<TXItem*, int> expected;
    for (TXItem* item : holders)
      ++expected[item];
    for (const auto& [item, count] : std::map<TXItem*, int>(expected)) {
      if (item->ParentItem() != nullptr)
        ++expected[item->ParentItem()];
    }
    if (Manager().HeldItems() != expected.size()) {
      problems.push_back("held items " + std::to_string(Manager().HeldItems()) + ", expected " +
                         std::to_string(expected.size()));
    }
    for (const auto& [item, count] : expected) {
      if (item->ReferenceCount() != count)
        problems.push_back("references of " + std::to_string(item->Id()));
    }
    // Deleting an envelope hands its template items to the replacement: no item may be left
    // on a retired identifier.
    for (size_t t = 1; t <= Templates().Count(); ++t) {
      const TXTemplateList& items = Templates().At(t)->Items();
      for (size_t i = 1; i <= items.Count(); ++i) {
        const uint32_t envelope = items.At(i)->EnvelopeId();
        if (envelope != 0 && envelope != kGoneEnvelope &&
            document_->Envelopes().Envelope(envelope) == nullptr)
          problems.push_back("template item on retired envelope " + std::to_string(envelope));
      }
    }
    return problems;
  }

  /// Closes every ledger and undoes every step: the budget must save as it did when the run began,
  /// and redoing every step must give it back as it was before.
  std::vector<std::string> UndoAndRedoEverything() {
    // A last step leaves nothing to redo. The empty rows that ledgers hold are in the store
    // while they are open, and were not when the run began.
    {
      TUndoHistory::TStep step(history_.get(), "type transaction");
      TypeTransaction();
    }
    views_.clear();
    rows_->ReleaseAll();
    const std::vector<uint8_t> before = Save(*document_);
    std::vector<std::string> problems;
    auto crossAll = [&](bool undo, const std::vector<uint8_t>& expected, const char* what) {
      while (undo ? history_->CanUndo() : history_->CanRedo()) {
        Cross(undo);
        for (std::string& problem : Problems())
          problems.push_back(
              std::string(what) + ": " + problem + " (after " +
              (undo ? "undoing " + history_->RedoName() : "redoing " + history_->UndoName()) + ")");
        if (!problems.empty())
          return;
      }
      if (Save(*document_) != expected)
        problems.push_back(std::string(what) + " does not give the budget's bytes back");
    };
    crossAll(true, start_, "undoing everything");
    if (problems.empty())
      crossAll(false, before, "redoing everything");
    return problems;
  }

  /// Lets go of every row, saves, reopens and saves again; the two saves must be equal and the
  /// reopened budget sound.
  std::vector<std::string> SaveReopenSave() {
    views_.clear();
    rows_->ReleaseAll();
    const std::vector<uint8_t> bytes = Save(*document_);
    std::unique_ptr<TVorlaData> reopened = Reopen(bytes);
    if (!reopened)
      return {"the saved budget does not read back"};
    std::vector<std::string> problems = CheckBudgetBalances(*reopened);
    const std::vector<uint8_t> again = Save(*reopened);
    if (again != bytes) {
      size_t at = 0;
      while (at < bytes.size() && at < again.size() && bytes[at] == again[at])
        ++at;
      problems.push_back("the second save differs from the first at byte " + std::to_string(at) +
                         " of " + std::to_string(bytes.size()));
    }
    return problems;
  }

 private:
  // ---- Random choices ----
  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }

  std::vector<uint32_t> AccountIds() {
    std::vector<uint32_t> ids;
    for (const TItemChoice& choice : document_->Accounts().AccountChoices())
      ids.push_back(choice.id);
    return ids;
  }
  unsigned LatestYear() {
    unsigned year = clock_.Today().Year();
    const TXStore& store = Manager().Store();
    for (uint32_t index = 1; index <= store.LastNonDead(); ++index)
      year = std::max(year, store.At(index).date.Year());
    return year;
  }
  std::vector<uint32_t> EnvelopeIds() {
    std::vector<uint32_t> ids;
    for (const TItemChoice& choice : document_->Envelopes().EnvelopeChoices())
      ids.push_back(choice.id);
    return ids;
  }
  template <class T>
  T PickOf(const std::vector<T>& values) {
    return values[static_cast<size_t>(Uniform(0, static_cast<int>(values.size()) - 1))];
  }
  uint32_t RandomAccount() { return PickOf(AccountIds()); }
  uint32_t RandomEnvelope() { return PickOf(EnvelopeIds()); }

  // Balances are 32-bit cents and wrap beyond 21,474,836.47, as the stored format has them;
  // with at most a few thousand records of at most 5,000.00 no balance comes near that.
  int32_t RandomCents() {
    if (Chance(0.05))
      return 0;
    if (Chance(0.02))
      return Uniform(-500000, 500000);
    return Uniform(-20000, 20000);
  }
  std::string AmountText(int32_t cents) {
    const int64_t size = cents < 0 ? -int64_t{cents} : cents;
    std::string text = std::to_string(size / 100) + "." + std::to_string(size % 100 / 10) +
                       std::to_string(size % 10);
    if (Chance(0.1))
      text = "(" + text + ")+0";
    return text;
  }
  void TypeAmount(TXItem& item, int32_t cents) {
    item.SetColumnText(cents < 0 ? TXItem::kColPayment : TXItem::kColDeposit, AmountText(cents));
  }
  std::string RandomDate() {
    std::string text = std::to_string(Uniform(1, 12)) + "/" + std::to_string(Uniform(1, 28));
    if (Chance(0.3))
      text += "/" + std::to_string(Uniform(20, 25));
    if (Chance(0.03))
      text = "garbage";
    return text;
  }
  TMessageAnswer RandomAnswer() { return Chance(0.7) ? TMessageAnswer::Yes : TMessageAnswer::No; }

  /// A random existing record that `accepts`, held; none when a few tries find nothing.
  TXHold PickRecord(const std::function<bool(const TXRecord&)>& accepts) {
    const TXStore& store = Manager().Store();
    for (int attempt = 0; attempt < 30 && store.LastNonDead() > 0; ++attempt) {
      const uint32_t index =
          static_cast<uint32_t>(Uniform(1, static_cast<int>(store.LastNonDead())));
      const TXRecord& record = store.At(index);
      if (record.Flags == 0 || (record.Flags & kXHidden) != 0 || !accepts(record))
        continue;
      return Manager().Get(record.Id);
    }
    return TXHold();
  }
  static bool AnyLive(const TXRecord& record) { return record.IsLive(); }

  // ---- Operations ----
  void Cross(bool undo) {
    for (int depth = Uniform(1, 4); depth > 0; --depth) {
      if (!(undo ? history_->CanUndo() : history_->CanRedo()))
        return;
      const TResult<void> done = undo ? history_->Undo() : history_->Redo();
      if (!done)
        refusal_ = done.Error();
    }
  }

  TXHold NewRow(uint32_t account) {
    TXRecord row{};
    row.Flags = kXAccountSide;
    row.AccountId = account;
    row.EnvelopeId = document_->Accounts().GetDefaultEnvelope(account);
    row.date = TDateValue(0, 0, clock_.Today().Year());
    row.created = clock_.Today();
    return Manager().Create(row);
  }

  void TypeTransaction() {
    TXHold row = NewRow(RandomAccount());
    row->SetColumnText(TXItem::kColDateWithYear, RandomDate());
    if (Chance(0.3))
      row->SetColumnText(TXItem::kColCode, std::to_string(Uniform(100, 999)));
    if (Chance(0.9))
      row->SetColumnText(TXItem::kColPayableTo, "Payee " + std::to_string(Uniform(1, 40)));
    if (Chance(0.5)) {
      row->SetColumnText(TXItem::kColEnvelope,
                         document_->Envelopes().NameOfEnvelope(RandomEnvelope()));
    }
    TypeAmount(*row, RandomCents());
    if (Chance(0.3))
      row->ToggleAccountCleared();
    if (Chance(0.2))
      row->ToggleEnvelopeCleared();
    if (Chance(0.2))
      rows_->items.push_back(row.release());
  }

  void TypeEnvelopeEntry() {
    TXRecord row{};
    row.Flags = kXEnvelopeOnly;
    row.EnvelopeId = RandomEnvelope();
    row.date = TDateValue(0, 0, clock_.Today().Year());
    TXHold entry(Manager().Create(row));
    if (Chance(0.7))
      entry->SetColumnText(TXItem::kColPayableTo, "Entry");
    TypeAmount(*entry, RandomCents());
    if (Chance(0.2))
      entry->ToggleEnvelopeCleared();  // refused with a message
    if (Chance(0.7)) {
      TXTransfers::CreateEnvelopeTransfer(*entry, Chance(0.5) ? RandomEnvelope() : 0);
    }
    if (Chance(0.2))
      rows_->items.push_back(entry.release());
  }

  void EditAmount() {
    TXHold item = PickRecord(AnyLive);
    if (!item)
      return;
    user_.Script(RandomAnswer());
    TypeAmount(*item, RandomCents());
  }

  void EditDate() {
    if (TXHold item = PickRecord(AnyLive))
      item->SetColumnText(Chance(0.5) ? TXItem::kColDate : TXItem::kColDateWithYear, RandomDate());
  }

  void EditTexts() {
    TXHold item = PickRecord(AnyLive);
    if (!item)
      return;
    const int column = PickOf(std::vector<int>{TXItem::kColCode, TXItem::kColPayableTo,
                                               TXItem::kColMemo, TXItem::kColEnvelope});
    std::string text = PickOf(std::vector<std::string>{"", "hold", "Start", "xfer", "~t ~a", "1042",
                                                       "a long text to be cut"});
    if (column == TXItem::kColEnvelope)
      text = document_->Envelopes().NameOfEnvelope(RandomEnvelope());
    item->SetColumnText(column, text);
  }

  void ToggleCleared(bool accountSide) {
    if (TXHold item = PickRecord(AnyLive))
      accountSide ? item->ToggleAccountCleared() : item->ToggleEnvelopeCleared();
  }

  void AccountTransfer() {
    TXHold item = PickRecord([](const TXRecord& r) {
      return r.IsLive() && (r.Flags & kXAccountSide) != 0 && !r.IsMultipleKid();
    });
    if (!item)
      return;
    user_.Script(RandomAnswer());
    const uint32_t from = item->Record().AccountId;
    std::vector<uint32_t> others = AccountIds();
    std::erase(others, from);
    if (others.empty())
      return;
    const uint32_t to = PickOf(others);
    const int32_t cents = RandomCents();
    if (Chance(0.2)) {
      user_.ScriptAccountTransfer([](TActXferValues& values) {
        values.amount = 0;
        return true;
      });
    }
    if (Chance(0.1)) {
      user_.ScriptAccountTransfer([](TActXferValues&) { return false; });
    }
    user_.ScriptAccountTransfer([to, cents](TActXferValues& values) {
      values.toAccount = to;
      values.amount = cents == 0 ? 1.0 : cents / 100.0;
      return true;
    });
    TXTransfers::CreateTransfer(*item);
  }

  void EnvelopeTransfer() {
    TXHold item = PickRecord([](const TXRecord& r) { return (r.Flags & kXEnvelopeOnly) != 0; });
    if (!item)
      return;
    user_.Script(RandomAnswer());
    if (Chance(0.5)) {
      user_.ScriptEnvelopeChoice(Chance(0.9) ? std::optional<uint32_t>(RandomEnvelope())
                                             : std::nullopt);
      TXTransfers::CreateTransfer(*item);
    } else {
      TXTransfers::CreateEnvelopeTransfer(*item, RandomEnvelope());
    }
  }

  void MakeMultiple() {
    TXHold item =
        PickRecord([](const TXRecord& r) { return r.IsLive() && (r.Flags & kXAccountSide) != 0; });
    if (!item)
      return;
    user_.Script(RandomAnswer());
    const uint32_t multiple = TXTransfers::MakeMultiple(*item);
    if (multiple != 0 && Chance(0.7))
      AddPartTo(multiple);
  }

  void AddPart() {
    TXHold multiple = PickRecord([](const TXRecord& r) { return r.IsMultiple(); });
    if (multiple)
      AddPartTo(multiple->Id());
  }

  void AddPartTo(uint32_t multipleId) {
    TXHold multiple(Manager().Get(multipleId));
    TXRecord row{};
    row.Flags = kXMultipleKid | kXMultiplePart | kXAccountSide;
    row.AccountId = multiple->Record().AccountId;
    row.EnvelopeId = document_->Accounts().GetDefaultEnvelope(row.AccountId);
    row.ParentId = multipleId;
    row.date = multiple->Record().date;
    row.SetCode("mult");
    TXHold part(Manager().Create(row));
    if (Chance(0.7)) {
      part->SetColumnText(TXItem::kColEnvelope,
                          document_->Envelopes().NameOfEnvelope(RandomEnvelope()));
    }
    if (Chance(0.9))
      TypeAmount(*part, RandomCents());
    if (Chance(0.3))
      rows_->items.push_back(part.release());
  }

  void SelectEnvelope() {
    TXHold item = PickRecord([](const TXRecord& r) { return (r.Flags & kXAccountSide) != 0; });
    if (!item)
      return;
    user_.ScriptEnvelopeChoice(Chance(0.9) ? std::optional<uint32_t>(RandomEnvelope())
                                           : std::nullopt);
    TXTransfers::SelectEnvelope(*item);
  }

  void Erase() {
    if (TXHold item = PickRecord(AnyLive))
      item->Erase();
  }

  void Delete() {
    if (TXHold item = PickRecord([](const TXRecord&) { return true; }))
      Manager().Delete(item.release());
  }

  void HoldRow() {
    if (Chance(0.5)) {
      rows_->items.push_back(NewRow(RandomAccount()).release());
    } else if (TXHold item = PickRecord(AnyLive)) {
      rows_->items.push_back(item.release());
    }
  }

  void ReleaseRow() {
    if (rows_->items.empty())
      return;
    const size_t index = static_cast<size_t>(Uniform(0, static_cast<int>(rows_->items.size()) - 1));
    TXItem* item = rows_->items[index];
    rows_->items.erase(rows_->items.begin() + static_cast<std::ptrdiff_t>(index));
    Manager().Release(item);
  }

  void TypeIntoHeldRow() {
    if (rows_->items.empty())
      return;
    TXItem* item = PickOf(rows_->items);
    user_.Script(RandomAnswer());
    if (Chance(0.5))
      item->SetColumnText(TXItem::kColPayableTo, "Held " + std::to_string(Uniform(1, 9)));
    TypeAmount(*item, RandomCents());
  }

  void Today() {
    if (TXHold item = PickRecord(AnyLive))
      item->SetToday();
  }

  void DeleteAccount() {
    const std::vector<uint32_t> accounts = AccountIds();
    if (accounts.size() <= 2)
      return;
    user_.Script(TMessageAnswer::Yes);
    document_->Accounts().DeleteItem(*document_->Accounts().Account(PickOf(accounts)));
  }

  void AddAccount() {
    TAccountWizard wizard(Manager());
    wizard.AddAccount({"Account " + std::to_string(++names_), "",
                       static_cast<uint32_t>(Uniform(1, 6)), RandomCents() / 100.0,
                       TDateValue(Uniform(1, 28), Uniform(1, 12), 2024)});
  }

  void AddEnvelope(const std::string& name) {
    document_->Envelopes().AddEnvelope(document_->Envelopes().Root(), name, true);
  }

  void DeleteEnvelope() {
    const std::vector<uint32_t> envelopes = EnvelopeIds();
    if (envelopes.size() <= 3)
      return;
    const uint32_t victim = PickOf(envelopes);
    uint32_t replacement = victim;
    while (replacement == victim)
      replacement = PickOf(envelopes);
    user_.ScriptEnvelopeChoice(replacement);
    document_->Envelopes().DeleteItem(*document_->Envelopes().Envelope(victim),
                                      document_->Accounts());
  }

  void ZeroEnvelopes() {
    // Zeroing gathers balances into one envelope, and the halves it leaves can be gathered
    // again; left alone over hundreds of thousands of steps that would carry an envelope past
    // what its 32-bit balance holds, which no budget that stays sound can reach.
    for (uint32_t id : EnvelopeIds()) {
      const int64_t balance = document_->Envelopes().EnvelopeBalance(id);
      if (balance > 200000000 || balance < -200000000)
        return;
    }
    std::vector<uint32_t> selected;
    for (uint32_t id : EnvelopeIds()) {
      if (Chance(0.4))
        selected.push_back(id);
    }
    user_.ScriptEnvelopeChoice(RandomEnvelope());
    TXTransfers::ZeroEnvelopes(Manager(), selected);
  }

  // ---- Templates ----
  // An identifier that no envelope ever gets: items of envelopes deleted long ago.
  static constexpr uint32_t kGoneEnvelope = 99999;

  void MakeTemplate() {
    TXTemplate& made = Templates().AddNew();
    made.SetName("Template " + std::to_string(++names_));
    made.SetPeriod(static_cast<uint32_t>(Uniform(1, 8)));
    for (int i = Uniform(0, 4); i > 0; --i)
      made.Items().Add(Chance(0.1) ? kGoneEnvelope : RandomEnvelope(), RandomCents(), "Part ~e");
  }

  // What the editor does: rows typed into on the page, then compacted when it closes.
  void EditTemplate() {
    if (Templates().Count() == 0)
      return;
    TXTemplateList& items =
        Templates()
            .At(static_cast<size_t>(Uniform(1, static_cast<int>(Templates().Count()))))
            ->Items();
    items.LoadFromTop();
    for (int edits = Uniform(1, 4); edits > 0; --edits) {
      TLedgerItem* row = items.Item(Uniform(1, std::min(items.LiveCount() + 2, 150)));
      const int32_t cents = RandomCents();
      switch (Uniform(0, 3)) {
        case 0:
          row->SetColumnText(cents < 0 ? TXTemplateItem::kColPayment : TXTemplateItem::kColDeposit,
                             AmountText(cents));
          break;
        case 1:
          row->SetColumnText(TXTemplateItem::kColEnvelope,
                             document_->Envelopes().NameOfEnvelope(RandomEnvelope()));
          break;
        case 2:
          row->SetColumnText(TXTemplateItem::kColDescription, Chance(0.5) ? "" : "Item ~e");
          break;
        default:
          items.DeleteRow(Uniform(1, 150));
          break;
      }
    }
    items.Compact();
  }

  void CopyOrDeleteTemplate() {
    if (Templates().Count() == 0)
      return;
    const uint32_t id =
        Templates()
            .At(static_cast<size_t>(Uniform(1, static_cast<int>(Templates().Count()))))
            ->Id();
    if (Chance(0.5) && Templates().Count() < 6) {
      Templates().Copy(id);
    } else {
      Templates().Remove(id);
    }
  }

  void ApplyTemplate() {
    TXHold item = Chance(0.3) ? NewRow(RandomAccount()) : PickRecord([](const TXRecord& r) {
      return r.IsLive() && (r.Flags & kXAccountSide) != 0;
    });
    if (!item)
      return;
    user_.Script(RandomAnswer());
    ScriptTemplateChoice();
    Templates().ApplyTemplate(*item);
  }

  void ScriptTemplateChoice() {
    if (Templates().Count() > 0 && Chance(0.9)) {
      user_.ScriptNameChoice(
          static_cast<size_t>(Uniform(0, static_cast<int>(Templates().Count()) - 1)));
    } else {
      user_.ScriptNameChoice(std::nullopt);
    }
  }

  // ---- Ledger views ----
  void Load(TXViewModel& view) {
    view.TopMode() ? view.Rows().LoadFromTop() : view.Rows().LoadAtEnd();
  }

  void OpenView(uint32_t multipleId = 0) {
    std::unique_ptr<TXViewModel> model;
    const unsigned flags = static_cast<unsigned>(Uniform(0, 2));
    if (multipleId != 0 || Chance(0.2)) {
      TXHold multiple = multipleId != 0
                            ? Manager().Get(multipleId)
                            : PickRecord([](const TXRecord& r) { return r.IsMultiple(); });
      if (multiple)
        model = TXViewModel::ForMultiple(Manager(), *multiple);
    } else if (Chance(0.5)) {
      model = TXViewModel::ForAccount(Manager(), clock_, RandomAccount(), flags);
    } else {
      model = TXViewModel::ForEnvelope(Manager(), clock_, RandomEnvelope(), flags & 1);
    }
    if (!model)
      return;
    Load(*model);
    views_.push_back(std::make_unique<TOpenView>(Manager(), std::move(model)));
  }

  /// A random open view and one of its rows, mostly near the border of existing and empty rows.
  std::pair<TXViewModel*, TXItem*> RandomViewRow() {
    std::vector<TXViewModel*> open;
    for (const std::unique_ptr<TOpenView>& view : views_) {
      if (view->model)
        open.push_back(view->model.get());
    }
    if (open.empty())
      return {nullptr, nullptr};
    TXViewModel* view = PickOf(open);
    if (!view->Rows().Loaded())
      Load(*view);
    const int near = std::clamp(view->Rows().LiveCount() + Uniform(-3, 3), 1, 250);
    return {view, view->Rows().TransactionAt(Chance(0.7) ? near : Uniform(1, 250))};
  }

  void TypeIntoView() {
    auto [view, row] = RandomViewRow();
    if (!view)
      return;
    user_.Script(RandomAnswer());
    if (Chance(0.7))
      row->SetColumnText(TXItem::kColPayableTo, "View " + std::to_string(Uniform(1, 9)));
    if (Chance(0.3))
      row->SetColumnText(TXItem::kColEnvelope,
                         document_->Envelopes().NameOfEnvelope(RandomEnvelope()));
    if (Chance(0.8))
      TypeAmount(*row, RandomCents());
  }

  void ScrollView() {
    auto [view, row] = RandomViewRow();
    if (!view)
      return;
    TXViewList& window = view->Rows();
    const int pick = Uniform(0, 4);
    if (pick == 0)
      window.LoadPrevious(Uniform(1, 300));
    if (pick == 1)
      window.LoadNext(Uniform(1, 300));
    if (pick == 2)
      window.GoToPosition(
          static_cast<uint32_t>(Uniform(0, static_cast<int>(Manager().Store().LastNonDead()) + 2)));
    if (pick == 3)
      window.Unload();
    if (pick == 4)
      Load(*view);
  }

  void ViewCommand() {
    auto [view, row] = RandomViewRow();
    if (!view)
      return;
    const int command = PickOf(std::vector<int>{
        kXCmdDelete, kXCmdErase, kXCmdEditMemo, kXCmdToday, kXCmdClearUnclear, kXCmdNextCheckNumber,
        kXCmdMultiple, kXCmdCreateTransfer, kXCmdSelectEnvelope, kXCmdClearFilter,
        kXCmdAllUnreconciled, kXCmdUnreconciledChecks, kXCmdNewlyImported, kXCmdApplyTemplate});
    user_.Script(RandomAnswer());
    user_.Script(RandomAnswer());
    user_.ScriptMemoDialog("memo ~a");
    user_.ScriptEnvelopeChoice(RandomEnvelope());
    ScriptTemplateChoice();
    const uint32_t to = RandomAccount();
    user_.ScriptAccountTransfer([to](TActXferValues& values) {
      values.toAccount = to;
      values.amount = 12.5;
      return true;
    });
    const TXViewCommandResult result = view->Run(command, row, TXItem::kColCode);
    if (result.relayout)
      Load(*view);
    if (result.openMultiple != 0 && views_.size() < 4)
      OpenView(result.openMultiple);
  }

  void CloseView() {
    auto [view, row] = RandomViewRow();
    user_.Script(RandomAnswer());
    for (const std::unique_ptr<TOpenView>& open : views_) {
      if (view && open->model.get() == view && (view->CanClose() || Chance(0.2)))
        open->Close();
    }
  }

  static std::vector<uint8_t> Save(TVorlaData& document) {
    opstream out;
    out.WriteObject(&document);
    return out.Bytes();
  }
  std::unique_ptr<TVorlaData> Reopen(const std::vector<uint8_t>& bytes) {
    ipstream in(bytes);
    in.SetEnvironment(&environment_);
    std::unique_ptr<TVorlaData> document = in.ReadOwned<TVorlaData>();
    if (!document || !in.Good())
      return nullptr;
    document->FinishLoading();
    return document;
  }

  std::mt19937_64 random_;
  TRecordingUserPort user_;
  TFixedClock clock_{TDateValue(15, 2, 2024)};
  TModelEnvironment environment_{user_, clock_};
  std::unique_ptr<TVorlaData> document_;
  std::unique_ptr<THeldRows> rows_;
  std::vector<std::unique_ptr<TOpenView>> views_;
  std::unique_ptr<TUndoHistory> history_;
  std::vector<uint8_t> start_;
  std::string refusal_;
  uint32_t crowdLimit_;
  int names_ = 0;
};

void RunModel(uint64_t seed, int steps, uint32_t crowdLimit, bool withHistory = false) {
  TModelRun run(seed, crowdLimit, withHistory);
  ASSERT_TRUE(run.Problems().empty());
  for (int step = 1; step <= steps; ++step) {
    const std::string operation = run.Step();
    const std::vector<std::string> problems = run.Problems();
    ASSERT_TRUE(problems.empty()) << "seed " << seed << ", step " << step << " (" << operation
                                  << "): " << problems.front();
  }
  if (withHistory) {
    const std::vector<std::string> problems = run.UndoAndRedoEverything();
    ASSERT_TRUE(problems.empty()) << "seed " << seed << ": " << problems.front();
  }
  const std::vector<std::string> problems = run.SaveReopenSave();
  EXPECT_TRUE(problems.empty()) << "seed " << seed << ": " << problems.front();
}

TEST(ModelTest, RandomLedgerWorkKeepsTheBudgetSound) {
  for (uint64_t seed : {1u, 2u, 3u})
    RunModel(seed, 1500, 400);
}

// Undos and redos of random depth among the operations: every budget in between is sound, and
// undoing every step gives the starting bytes back.
TEST(ModelTest, UndoAndRedoAtRandomDepthsRestoreTheBudgetExactly) {
  for (uint64_t seed = 11; seed < 25; ++seed)
    RunModel(seed, seed < 13 ? 600 : 120, 400, true);
}

TEST(ModelTest, NothingDoneSavesTheSameTwice) {
  RunModel(9, 0, 400);
}

TEST(ModelTest, TheChecksSeeADamagedBudget) {
  TRecordingUserPort user;
  TFixedClock clock(TDateValue(15, 2, 2024));
  TModelEnvironment environment{user, clock};
  TVorlaData document(environment);
  auto& manager = TransactionsOf(document);
  document.AddStarterEnvelope();
  TAccountWizard wizard(manager);
  TAccount* account = wizard.AddAccount({"Checking", "", 1, 100, TDateValue(1, 1, 2024)});
  ASSERT_TRUE(CheckBudgetBalances(document).empty());

  document.Accounts().ChangeRecBalance(account->Id(), 5);
  EXPECT_EQ(CheckBudgetBalances(document),
            std::vector<std::string>{"account " + std::to_string(account->Id()) +
                                     " \"Checking\": cleared balance 100.05, its cleared "
                                     "transactions sum to 100.00"});
  document.Accounts().ChangeRecBalance(account->Id(), -5);
  document.Envelopes().EnvelopeChangeBalance(account->DefaultEnvelope(), 1);
  EXPECT_EQ(CheckBudgetBalances(document).size(), 2u);
  document.Envelopes().EnvelopeChangeBalance(account->DefaultEnvelope(), -1);

  TXRecord start{};
  start.Id = manager.Store().At(1).Id;
  manager.LoadRecord(start);
  TXRecord half = start;
  half.Flags = kXNewAccountTransfer | kXLive;
  half.EnvelopeId = 0;
  half.PartnerId = 77;
  half.amount = 0;
  const TXHold item = manager.Create(half);
  EXPECT_EQ(CheckTransactionLinks(manager).size(), 1u);
}

// The long run: a million operations. Run it with --gtest_also_run_disabled_tests.
TEST(ModelTest, DISABLED_AMillionOperations) {
  for (uint64_t seed = 100; seed < 140; ++seed)
    RunModel(seed, 25000, 1500);
}

}  // namespace

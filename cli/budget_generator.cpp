#include "cli/budget_generator.h"

#include <array>
#include <vector>

#include "core/account_list.h"
#include "core/account_node.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/model_environment.h"
#include "core/tree_moves.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "transactions/account_wizard.h"
#include "transactions/transfers.h"
#include "transactions/xmanager.h"

namespace {

constexpr std::array kPayees = {"Corner Market", "City Power",  "Gas Station", "Pharmacy",
                                "Book Shop",     "Cinema",      "Bistro",      "Hardware",
                                "Insurance Co.", "Water Works", "Bakery",      "Online Store"};

/// Answers what a user answers while making the budget: Yes to every question, the planned
/// values in every dialog.
class TGeneratorPort final : public TUnattendedUserPort {
 public:
  TMessageAnswer Show(const TMessage& message) override {
    ++messages;
    return message.buttons == TMessageButtons::YesNo ||
                   message.buttons == TMessageButtons::YesNoCancel
               ? TMessageAnswer::Yes
               : TMessageAnswer::Ok;
  }
  bool EditAccountGroupProperties(TGroupProperties& values,
                                  const std::vector<std::string>&) override {
    values.name = name;
    return true;
  }
  bool EditBundleProperties(TBundleProperties& values, const std::vector<std::string>&) override {
    values.name = name;
    values.threshold = threshold;
    return true;
  }
  bool EditAssociationProperties(TGroupProperties& values,
                                 const std::vector<std::string>&) override {
    values.name = name;
    return true;
  }
  bool ChooseEnvelope(const std::vector<TItemChoice>&, uint32_t& chosen) override {
    chosen = envelope;
    return true;
  }
  bool EditAccountTransfer(TActXferValues& values, const std::vector<TItemChoice>&,
                           const std::vector<TItemChoice>&) override {
    values.toAccount = toAccount;
    values.amount = amount;
    return ValidateAccountTransfer(values, *this);
  }

  std::string name;
  float threshold = 0;
  uint32_t envelope = 0;
  uint32_t toAccount = 0;
  double amount = 0;
  uint64_t messages = 0;
};

}  // namespace

class TBudgetGenerator::TImpl {
 public:
  explicit TImpl(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {
    document_ = std::make_unique<TVorlaData>(environment_);
    BuildTrees();
  }
  ~TImpl() { document_.reset(); }

  TVorlaData& Document() { return *document_; }
  TXManager& Manager() { return TransactionsOf(*document_); }

  void AddTransactions(uint64_t count) {
    const uint64_t days = count / 8 < 3650 ? count / 8 + 1 : 3650;
    const uint64_t perDay = count / days + 1;
    while (Manager().Store().LastNonDead() < count) {
      if (Below(perDay) == 0)
        NextDay();
      const uint64_t pick = Below(100);
      if (pick < 50) {
        Expense();
      } else if (pick < 58) {
        Paycheck();
      } else if (pick < 66) {
        AccountTransfer();
      } else if (pick < 73) {
        Multiple();
      } else if (pick < 83) {
        EnvelopeTransfer(Spending(), Spending(), Amount(500, 20000));
      } else if (pick < 86) {
        Imported();
      } else if (pick < 87) {
        EnvelopeEntry();
      } else if (pick < 89) {
        DeleteRecent();
      } else {
        EditRecent();
      }
    }
  }

 private:
  // A small generator of our own, so that a seed gives the same budget everywhere.
  uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  uint64_t Below(uint64_t bound) { return bound == 0 ? 0 : Next() % bound; }
  int32_t Amount(int32_t low, int32_t high) {
    return low + static_cast<int32_t>(Below(static_cast<uint64_t>(high - low + 1)));
  }
  template <class T>
  T Pick(const std::vector<T>& values) {
    return values[Below(values.size())];
  }
  uint32_t Spending() { return Pick(spending_); }

  void NextDay() {
    today_ = today_.NextDay();
    clock_.SetToday(today_);
    if (today_.Day() == 1)
      Manager().ConfirmCleared();
  }

  TEnv* AddEnvelope(TEnvelopeNode& at, const char* name) {
    return document_->Envelopes().AddEnvelope(at, name, true);
  }

  void BuildTrees() {
    TEnvelopeList& envelopes = document_->Envelopes();
    document_->AddStarterEnvelope();
    unallocated_ = envelopes.EnvelopeIdOfName("Unallocated");
    for (const char* name : {"Fuel", "Insurance", "Gifts", "Medical"}) {
      spending_.push_back(AddEnvelope(envelopes.Root(), name)->Id());
    }
    port_.name = "Household";
    port_.threshold = 100;
    TBundle* household = envelopes.AddBundle(envelopes.Root());
    for (const char* name : {"Groceries", "Utilities", "Rent"}) {
      spending_.push_back(AddEnvelope(*household, name)->Id());
    }
    port_.name = "Fun";
    port_.threshold = 0;
    TBundle* fun = envelopes.AddBundle(envelopes.Root());
    for (const char* name : {"Dining", "Movies"})
      spending_.push_back(AddEnvelope(*fun, name)->Id());
    port_.name = "Goals";
    TBundle* goals = envelopes.AddBundle(*fun);
    for (const char* name : {"Vacation", "Emergency"}) {
      spending_.push_back(AddEnvelope(*goals, name)->Id());
    }
    port_.name = "Everyday";
    TAssociation* everyday = envelopes.AddAssociation(envelopes.Root());
    for (const char* name : {"Groceries", "Fuel"}) {
      Drop(*everyday, *envelopes.Envelope(envelopes.EnvelopeIdOfName(name)));
    }

    TAccountList& accounts = document_->Accounts();
    TAccountWizard wizard(Manager());
    const TDateValue start(1, 1, 2020);
    auto group = [&](const char* name) {
      port_.name = name;
      return accounts.AddGroup(accounts.Root());
    };
    TAccountGroup* bank = group("Bank");
    TAccountGroup* cards = group("Cards");
    TAccountGroup* other = group("Other");
    checking_ = wizard.AddAccount({"Checking", "everyday account", 1, 2500, start}, *bank)->Id();
    savings_ = wizard.AddAccount({"Savings", "", 2, 10000, start}, *bank)->Id();
    visa_ = wizard.AddAccount({"Visa", "credit card", 5, -350.25, start}, *cards)->Id();
    wallet_ = wizard.AddAccount({"Wallet", "", 3, 80, start}, *other)->Id();
    paypal_ = wizard.AddAccount({"PayPal", "", 4, 0, start}, *other)->Id();
    brokerage_ = wizard.AddAccount({"Brokerage", "", 6, 5000, start}, *other)->Id();
  }

  TXHold Row(uint32_t account) {
    TXRecord row{};
    row.Flags = kXAccountSide;
    row.AccountId = account;
    row.EnvelopeId = document_->Accounts().GetDefaultEnvelope(account);
    row.date = TDateValue(0, 0, today_.Year());
    row.created = today_;
    return Manager().Create(row);
  }

  void TypeDate(TXItem& item) { item.SetColumnText(TXItem::kColDateWithYear, today_.Format(4)); }

  void TypeAmount(TXItem& item, int32_t cents) {
    const int64_t size = cents < 0 ? -int64_t{cents} : cents;
    std::string text = std::to_string(size / 100) + "." + std::to_string(size % 100 / 10) +
                       std::to_string(size % 10);
    item.SetColumnText(cents < 0 ? TXItem::kColPayment : TXItem::kColDeposit, text);
  }

  TXHold TypePayment(uint32_t account, uint32_t envelope, int32_t cents) {
    TXHold row = Row(account);
    TypeDate(*row);
    if (account == checking_ && Below(4) == 0) {
      row->SetColumnText(TXItem::kColCode, std::to_string(Manager().NextCheckNumber(account)));
    }
    row->SetColumnText(TXItem::kColPayableTo, kPayees[Below(kPayees.size())]);
    if (envelope != 0) {
      row->SetColumnText(TXItem::kColEnvelope, document_->Envelopes().NameOfEnvelope(envelope));
    }
    TypeAmount(*row, cents);
    return row;
  }

  void MaybeClear(TXItem& item) {
    if (Below(10) < 7)
      item.ToggleAccountCleared();
    if (Below(10) == 0)
      item.ToggleEnvelopeCleared();
  }

  void Remember(const TXItem& item) { recent_[recentNext_++ % recent_.size()] = item.Id(); }

  void Expense() {
    const uint64_t which = Below(20);
    const uint32_t account = which < 12   ? checking_
                             : which < 17 ? visa_
                             : which < 19 ? wallet_
                                          : paypal_;
    TXHold row = TypePayment(account, Spending(), -Amount(100, 20000));
    MaybeClear(*row);
    Remember(*row);
  }

  void Paycheck() {
    // Income and spending balance out over time, as they do in a budget that lasts: the
    // balances stay far inside what their 32 bits hold however many transactions are made.
    TXHold row = TypePayment(checking_, unallocated_, Amount(40000, 110000));
    row->SetColumnText(TXItem::kColCode, "DEP");
    MaybeClear(*row);
    const int32_t pay = row->Record().amount;
    row.reset();
    const int32_t parts = 2 + static_cast<int32_t>(Below(3));
    for (int32_t i = 0; i < parts; ++i) {
      const int32_t share = i + 1 < parts ? pay / parts : pay - (parts - 1) * (pay / parts);
      EnvelopeTransfer(unallocated_, Spending(), share);
    }
  }

  void EnvelopeTransfer(uint32_t from, uint32_t to, int32_t cents) {
    if (from == to)
      return;
    TXRecord row{};
    row.Flags = kXEnvelopeOnly;
    row.EnvelopeId = from;
    row.date = today_;
    row.created = today_;
    TXHold entry(Manager().Create(row));
    TypeAmount(*entry, -cents);
    TXTransfers::CreateEnvelopeTransfer(*entry, to);
    if (Below(4) == 0)
      entry->ToggleEnvelopeCleared();
  }

  void EnvelopeEntry() {
    TXRecord row{};
    row.Flags = kXEnvelopeOnly;
    row.EnvelopeId = Spending();
    row.date = today_;
    row.created = today_;
    TXHold entry(Manager().Create(row));
    entry->SetColumnText(TXItem::kColPayableTo, "Set aside");
    TypeAmount(*entry, -Amount(100, 5000));
  }

  void AccountTransfer() {
    const uint64_t which = Below(3);
    const uint32_t to = which == 0 ? savings_ : which == 1 ? visa_ : brokerage_;
    TXHold row = TypePayment(checking_, 0, -Amount(5000, 30000));
    port_.toAccount = to;
    port_.amount = -row->Record().amount / 100.0;
    TXTransfers::CreateAccountTransfer(*row);
    MaybeClear(*row);
    Remember(*row);
  }

  void Multiple() {
    TXHold row = TypePayment(Below(2) == 0 ? checking_ : visa_, Spending(), -Amount(1000, 30000));
    TXTransfers::MakeMultiple(*row);
    const uint64_t parts = 1 + Below(3);
    for (uint64_t i = 0; i < parts; ++i) {
      TXRecord part{};
      part.Flags = kXMultipleKid | kXMultiplePart | kXAccountSide;
      part.AccountId = row->Record().AccountId;
      part.EnvelopeId = Spending();
      part.ParentId = row->Id();
      part.date = row->Record().date;
      part.created = today_;
      part.SetCode("mult");
      TXHold kid(Manager().Create(part));
      TypeAmount(*kid, -Amount(100, 8000));
    }
    MaybeClear(*row);
    Remember(*row);
  }

  void Imported() {
    TXRecord record{};
    record.Flags = kXImported;
    record.AccountId = checking_;
    record.EnvelopeId = unallocated_;
    record.date = today_;
    record.created = today_;
    record.NewImport = 1;
    record.SetCode("DEBIT");
    record.SetPayableTo("Bank fee");
    TXHold item(Manager().Create(record));
    item->ChangeAmount(-Amount(100, 2500), false);
  }

  void DeleteRecent() {
    const uint32_t id = recent_[Below(recent_.size())];
    if (id == 0 || Manager().FindRecord(id) == nullptr)
      return;
    const TXRecord* record = Manager().FindRecord(id);
    if (!record->IsLive())
      return;
    Manager().Delete(Manager().Get(id));
  }

  void EditRecent() {
    const uint32_t id = recent_[Below(recent_.size())];
    const TXRecord* record = id != 0 ? Manager().FindRecord(id) : nullptr;
    if (record == nullptr || !record->IsLive() || record->IsMultiple())
      return;
    TXHold item(Manager().Get(id));
    TypeAmount(*item, -Amount(100, 20000));
  }

  uint64_t state_;
  TGeneratorPort port_;
  TDateValue today_{1, 1, 2020};
  TFixedClock clock_{today_};
  TModelEnvironment environment_{port_, clock_};
  std::unique_ptr<TVorlaData> document_;
  std::vector<uint32_t> spending_;
  std::array<uint32_t, 64> recent_{};
  uint64_t recentNext_ = 0;
  uint32_t unallocated_ = 0;
  uint32_t checking_ = 0;
  uint32_t savings_ = 0;
  uint32_t visa_ = 0;
  uint32_t wallet_ = 0;
  uint32_t paypal_ = 0;
  uint32_t brokerage_ = 0;
};

TBudgetGenerator::TBudgetGenerator(uint64_t seed) : impl_(std::make_unique<TImpl>(seed)) {}

TBudgetGenerator::~TBudgetGenerator() = default;

void TBudgetGenerator::AddTransactions(uint64_t count) {
  impl_->AddTransactions(count);
}

TVorlaData& TBudgetGenerator::Document() {
  return impl_->Document();
}

TResult<void> GenerateBudgetFile(const std::string& path, uint64_t transactions, uint64_t seed) {
  TBudgetGenerator generator(seed);
  generator.AddTransactions(transactions);
  return WriteDocumentFile(path, generator.Document());
}

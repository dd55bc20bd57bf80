// Runs the whole import over statement lines and entered transactions decoded from the bytes:
// any options, any dates (the calendar's and others), amounts from a few colliding values to
// the 32-bit edge, check numbers that collide or overflow. Afterwards every balance must agree
// with the records, the account total with the envelope total, and every line must have had
// exactly one fate.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/model_environment.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"
#include "import/import_dialog_state.h"
#include "import/import_procedure.h"
#include "transactions/account_wizard.h"
#include "transactions/budget_invariants.h"
#include "transactions/transfers.h"
#include "transactions/xmanager.h"

namespace {

void Require(bool condition, int line = __builtin_LINE()) {
  if (!condition) {
    std::fprintf(stderr, "import_procedure: check at line %d failed\n", line);
    std::abort();
  }
}

class TBytes {
 public:
  TBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return at_ >= size_; }
  uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// Few distinct values, so that lines and transactions meet; with `extreme`, now and then one
// at or beyond what a transaction holds (only once per budget: the balances themselves are
// 32-bit, like the ledger's, and a sum of several such amounts overflows any budget).
int64_t Amount(TBytes& bytes, bool& extreme) {
  const uint8_t pick = bytes.Next();
  if (extreme && pick % 16 >= 14) {
    extreme = false;
    const int64_t sizes[] = {1999999999, 2000000000, 2147483648, 300000000000000};
    return (pick & 0x10 ? 1 : -1) * sizes[pick >> 6];
  }
  return (static_cast<int64_t>(pick % 14) - 7) * 1000;
}

TDateValue Date(TBytes& bytes) {
  const uint8_t day = bytes.Next(), month = bytes.Next(), year = bytes.Next();
  if (year == 0)
    return TDateValue(day, month, 0);
  return TDateValue(day % 32, month % 14, 2000 + year % 24);
}

std::string Check(TBytes& bytes) {
  const uint8_t pick = bytes.Next();
  if (pick < 96)
    return {};
  if (pick < 240)
    return std::to_string(pick % 8);
  return std::string(25, static_cast<char>('0' + pick % 10)) + "x";
}

class TFuzzPort final : public TUnattendedUserPort {
 public:
  uint32_t account = 0;
  uint8_t options = 0;
  TDateValue since;
  bool ChooseAccount(const std::string&, const std::vector<TItemChoice>&,
                     uint32_t& chosen) override {
    chosen = account;
    return (options & 0x80) == 0;
  }
  bool EditImportOptions(TImportDialogState& state) override {
    state.SetAutomatic((options & 1) == 0);
    state.Options().ignoreCheckNumbers = (options & 2) != 0;
    state.SetOnlyNewer((options & 4) != 0);
    state.Options().copyPayableTo = (options & 8) != 0;
    if (options & 16)
      state.Options().onlyNewerDate = since;
    if (options & 32)
      state.Options().envelope = 77;  // names no envelope
    return (options & 64) == 0;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TBytes bytes(data, size);
  TFuzzPort user;
  TFixedClock clock(TDateValue(15, 3, 2011));
  TModelEnvironment environment{user, clock};
  TVorlaData document(environment);
  document.AddStarterEnvelope();
  TEnvelopeList& envelopes = document.Envelopes();
  const uint32_t food = envelopes.AddEnvelope(envelopes.Root(), "Food", true)->Id();
  TXManager& manager = TransactionsOf(document);
  TAccountWizard wizard(manager);
  const uint32_t checking = wizard.AddAccount({"Checking", "", 1, 0, TDateValue(1, 1, 2011)})->Id();
  const uint32_t savings = wizard.AddAccount({"Savings", "", 2, 0, TDateValue(1, 1, 2011)})->Id();

  user.options = bytes.Next();
  user.account = bytes.Next() & 1 ? savings : checking;
  user.since = Date(bytes);

  // Entered transactions: payments and deposits, some cleared or pending, some multiples.
  const unsigned entered = bytes.Next() % 24;
  for (unsigned i = 0; i < entered && !bytes.Empty(); ++i) {
    const uint8_t kind = bytes.Next();
    TXRecord row{};
    row.Flags = kXAccountSide;
    row.AccountId = kind & 1 ? savings : checking;
    row.EnvelopeId = kind & 2 ? food : document.Accounts().GetDefaultEnvelope(row.AccountId);
    row.date = Date(bytes);
    row.SetCode(Check(bytes));
    row.SetPayableTo("Entered");
    TXHold item(manager.Create(row));
    bool ordinary = false;
    item->SetAmount(static_cast<int32_t>(Amount(bytes, ordinary)));
    if (kind & 4)
      item->SetAccountClearedDate(Date(bytes));
    else if (kind & 8)
      item->ToggleAccountCleared();
    if (kind & 16)
      TXTransfers::MakeMultiple(*item);
  }

  TImportBatch batch;
  bool extreme = true;
  while (!bytes.Empty() && batch.Size() < 64) {
    const TDateValue date = Date(bytes);
    const TAmount amount = TAmount::FromCents(Amount(bytes, extreme));
    const std::string check = Check(bytes);
    batch.Add(date, amount, check, "", bytes.Next() & 1 ? "Payee" : "");
  }
  const size_t lines = batch.Size();
  const TImportResult result = ImportRecords(batch, document, nullptr);

  for (const std::string& line : CheckBudgetBalances(document))
    std::fprintf(stderr, "%s\n", line.c_str());
  Require(CheckBudgetBalances(document).empty());
  Require(CheckTransactionLinks(manager).empty());
  Require(manager.Store().CheckConsistency());
  Require(document.AccountTotal() == document.EnvelopeTotal());
  if (result.imported) {
    Require(result.fates.size() == lines);
    std::vector<uint32_t> paired;
    for (const TImportFate& fate : result.fates) {
      if (fate.kind != TImportFate::Kind::Paired)
        continue;
      for (uint32_t id : paired)
        Require(id != fate.transaction);
      paired.push_back(fate.transaction);
      const TXRecord* record = manager.FindRecord(fate.transaction);
      Require(record != nullptr && record->AccountId == result.account);
    }
  }
  return 0;
}

#include "import/import_procedure.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <string_view>
#include <utility>

#include "core/account_list.h"
#include "core/amount.h"
#include "core/envelope_list.h"
#include "core/user_port.h"
#include "core/vorla_data.h"
#include "import/import_dialog_state.h"
#include "import/import_matcher.h"
#include "transactions/xmanager.h"

namespace {

std::string AdjustedAmountWarning(const TImportBatch& batch, const TImportRecord& record,
                                  int32_t entered) {
  const int64_t check = StatementCheckNumber(batch.CheckNumber(record));
  const std::string posted = record.Amount.Format(TAmount::kThousands);
  const std::string typed = TAmount(entered).Format(TAmount::kThousands);
  return "The amount that posted at your bank for check " + std::to_string(check) +
         " is not the same as the amount you entered in Quenbrook. The bank posted $" + posted +
         ". You entered $" + typed + ". Quenbrook will adjust the amount.";
}

class TImportRun {
 public:
  TImportRun(TVorlaData& document, const TImportBatch& batch, uint32_t account,
             const TImportOptions& options)
      : document_(document),
        batch_(batch),
        manager_(TransactionsOf(document)),
        account_(account),
        options_(options) {}

  void Paired(TImportRecord& record, TImportFate& fate) {
    TXHold item(manager_.Get(record.MatchedId));
    const int32_t bank = ImportCents(record.Amount);
    // A multiple's amount is the sum of its parts: changing it alone would leave the envelopes
    // out of step with the account. Such a pair is let go and the record imported as new.
    if (item->Record().amount != bank && item->Record().IsMultiple()) {
      record.MatchedId = 0;
      item.reset();
      Unpaired(record, fate);
      return;
    }
    fate.kind = TImportFate::Kind::Paired;
    fate.transaction = item->Id();
    if (item->Record().amount != bank) {
      fate.adjusted = true;
      fate.enteredAmount = item->Record().amount;
      manager_.User().Tell("Warning", AdjustedAmountWarning(batch_, record, item->Record().amount),
                           TMessageIcon::Exclamation);
      item->SetAmount(bank);
    }
    if (item->Record().AccountCleared == 0) {
      item->SetNewImport();
      item->Commit(false);
      item->SetAccountClearedDate(record.Date);
      fate.newlyCleared = true;
      changed_ = true;
    }
  }

  void Unpaired(const TImportRecord& record, TImportFate& fate) {
    TXRecord fresh{};
    fresh.Flags = kXImported;
    fresh.AccountId = account_;
    fresh.EnvelopeId = Envelope();
    fresh.date = record.Date;
    fresh.created = manager_.Today();
    fresh.AccountCleared = record.Date.Packed();
    fresh.NewImport = 1;
    const int32_t cents = ImportCents(record.Amount);
    const std::string_view checkNumber = batch_.CheckNumber(record);
    if (!checkNumber.empty())
      fresh.SetCode(checkNumber);
    else
      fresh.SetCode(cents >= 0 ? options_.codePositive : options_.codeNegative);
    // The record stays as the statement said; "copy payee to memo" moves it only in the
    // transaction.
    const std::string_view name = batch_.Name(record);
    fresh.SetMemo(options_.copyPayableTo ? name : batch_.Memo(record));
    fresh.SetPayableTo(options_.copyPayableTo ? std::string_view() : name);
    TXHold item(manager_.Create(fresh));
    item->SetAmount(cents);
    fate.kind = TImportFate::Kind::Created;
    fate.transaction = item->Id();
    changed_ = true;
  }

  bool Changed() const { return changed_; }

 private:
  // The option envelope, unless it names no envelope any more (deleted since the options were
  // stored): money posted to it would be in the account but in no envelope, so the account's
  // default envelope takes it.
  uint32_t Envelope() const {
    if (document_.Envelopes().Envelope(options_.envelope) != nullptr)
      return options_.envelope;
    return document_.Accounts().GetDefaultEnvelope(account_);
  }

  TVorlaData& document_;
  const TImportBatch& batch_;
  TXManager& manager_;
  uint32_t account_;
  const TImportOptions& options_;
  bool changed_ = false;
};

}  // namespace

TImportResult ImportRecords(TImportBatch& batch, TVorlaData& document,
                            const TSettingList* configuration,
                            const std::function<bool(uint32_t account)>& fill) {
  TImportResult result;
  TUserPort& user = document.User();
  TAccountList& accounts = document.Accounts();

  // The account, then the proposal: keep every record of the statement.
  uint32_t account = 0;
  if (!user.ChooseAccount(TImportDialogState::kChooserCaption, accounts.AccountChoices(),
                          account) ||
      accounts.Account(account) == nullptr) {
    return result;
  }
  if (fill && !fill(account))
    return result;
  TImportOptions proposal = TImportOptions::Load(document, configuration, account);
  proposal.onlyNewer = true;
  proposal.onlyNewerDate = batch.EarliestDate(document.Clock().Today());
  TSettingList& settings = document.Settings();
  settings.SetNumber(TImportOptions::kOnlyNewer, 1, account);
  settings.SetText(TImportOptions::kOnlyNewerDate, std::to_string(proposal.onlyNewerDate.Packed()),
                   account);
  document.SetModified();

  TImportDialogState dialog(document, configuration, account, proposal);
  if (!user.EditImportOptions(dialog) || accounts.Account(dialog.Account()) == nullptr)
    return result;
  dialog.Accept();
  result.imported = true;
  result.account = account = dialog.Account();
  result.options = dialog.Options();
  const TImportOptions& options = result.options;

  // The date filter, in place (a statement may hold millions of records): the records it keeps
  // are swapped to the front in file order, and the swaps are undone afterwards, so that the
  // caller gets the statement back as it handed it in without anyone holding a copy.
  // Positions are 32 bits, as many as a batch may hold.
  result.fates.resize(batch.Size());
  std::vector<uint32_t> positions;
  positions.reserve(batch.Size());
  for (size_t i = 0; i < batch.Size(); ++i) {
    if (options.onlyNewer && batch[i].Date.Packed() < options.onlyNewerDate.Packed())
      continue;
    batch.Swap(positions.size(), i);
    positions.push_back(static_cast<uint32_t>(i));
  }
  const std::span<TImportRecord> kept = batch.Records().first(positions.size());

  TXManager& manager = TransactionsOf(document);
  if (options.automatic) {
    MatchImportRecords(batch, kept.size(),
                       ImportCandidates(manager, account, options.onlyNewerDate),
                       options.ignoreCheckNumbers);
  }

  TImportRun run(document, batch, account, options);
  {
    // A statement's new transactions join a store that may hold a million: they are put in
    // ledger order together at the end rather than each on its own.
    const auto unpaired = static_cast<size_t>(std::count_if(
        kept.begin(), kept.end(), [](const TImportRecord& r) { return r.MatchedId == 0; }));
    TXManager::TAddedInBulk placement(manager, unpaired);
    for (size_t k = 0; k < kept.size(); ++k) {
      TImportFate& fate = result.fates[positions[k]];
      if (kept[k].MatchedId != 0)
        run.Paired(kept[k], fate);
      else
        run.Unpaired(kept[k], fate);
    }
  }
  for (size_t k = positions.size(); k-- > 0;)
    batch.Swap(k, positions[k]);

  if (!run.Changed()) {
    user.Tell(kImportNothingNewCaption, kImportNothingNew, TMessageIcon::None);
    return result;
  }
  // The next import proposes its own earliest date; until then the option looks back two days
  // before this statement's last one. Without any real date there is nothing to step back from.
  const TDateValue latest = batch.LatestDate();
  const TDateValue next = latest.PreviousDay().PreviousDay();
  if (!latest.IsEmpty() && next.Packed() < latest.Packed()) {
    settings.SetText(TImportOptions::kOnlyNewerDate, std::to_string(next.Packed()), account);
    document.SetModified();
  }
  result.viewAccount = account;
  return result;
}

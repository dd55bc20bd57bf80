#include "transactions/transfers.h"

#include "core/account_list.h"
#include "core/amount.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/user_port.h"
#include "transactions/xfilter.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"

namespace {

constexpr const char* kTransferTo = "Transfer to ~t";
constexpr const char* kTransferFrom = "Transfer from ~t";

bool AskYes(TXManager& manager, const char* question) {
  return manager.User().Ask("Quenbrook", question, TMessageButtons::YesNo,
                            TMessageIcon::Exclamation) == TMessageAnswer::Yes;
}

// The other half of a transfer, held; none when a damaged file lost it or links the half to
// itself.
TXHold TakePartner(TXManager& manager, const TXRecord& record) {
  TXHold partner;
  if (record.PartnerId != record.Id && manager.FindRecord(record.PartnerId) != nullptr) {
    partner = manager.Get(record.PartnerId);
  }
  return partner;
}

uint32_t DefaultEnvelopeOrNone(const TAccountList& accounts, uint32_t accountId) {
  return accounts.Account(accountId) != nullptr ? accounts.GetDefaultEnvelope(accountId) : 0;
}

// One side of the transfer dialog with its gaps filled.
void FillGaps(TXRecord& record, TDateValue emptyDate, const char* text) {
  if (record.date.Day() == 0)
    record.date = emptyDate;
  if (record.GetCode().empty())
    record.SetCode("xfer");
  if (!record.GetPayableTo().empty() && record.GetMemo().empty())
    record.SetMemo(text);
  if (record.GetPayableTo().empty())
    record.SetPayableTo(text);
}

// The date one month after `date`, the day kept as it is.
TDateValue MonthAfter(TDateValue date) {
  if (date.Month() >= 12)
    return TDateValue(date.Day(), 1, date.Year() + 1);
  return TDateValue(date.Day(), date.Month() + 1, date.Year());
}

}  // namespace

bool TXTransfers::CreateTransfer(TXItem& item) {
  if (!item.CanCreateTransfer())
    return false;
  if ((item.Record().Flags & kXAccountSide) != 0)
    return CreateAccountTransfer(item);
  return CreateEnvelopeTransfer(item, 0);
}

TActXferValues TXTransfers::PrepareAccountTransfer(TXItem& item) {
  TXManager& manager = item.Manager();
  const TAccountList& accounts = manager.Accounts();
  const TDateValue today = manager.Today();
  TXRecord from = item.Record();
  TXRecord to{};
  to.created = today;
  to.AccountId = static_cast<uint32_t>(accounts.NthAccountId(1));
  if (from.IsAccountTransfer()) {
    if (const TXRecord* partner = manager.FindRecord(from.PartnerId))
      to = *partner;
  }
  FillGaps(from, today, kTransferTo);
  FillGaps(to, from.date, kTransferFrom);

  TActXferValues values;
  values.amount = from.amount == 0 ? 0.0 : static_cast<double>(from.amount) / -100.0;
  values.fromAccount = from.AccountId;
  values.fromEnvelope = DefaultEnvelopeOrNone(accounts, from.AccountId);
  values.envelopeTransfer = false;
  values.fromDate = from.date;
  values.fromCode = from.GetCode();
  values.fromPayee = from.GetPayableTo();
  values.fromMemo = from.GetMemo();
  values.toAccount = to.AccountId;
  values.toEnvelope = DefaultEnvelopeOrNone(accounts, to.AccountId);
  values.toDate = to.date;
  values.toCode = to.GetCode();
  values.toPayee = to.GetPayableTo();
  values.toMemo = to.GetMemo();
  values.fromAccountEnabled = from.AccountId == 0;
  return values;
}

bool TXTransfers::CreateAccountTransfer(TXItem& item) {
  if (!item.CanToggleAccountCleared())
    return false;
  TXManager& manager = item.Manager();
  TAccountList& accounts = manager.Accounts();
  TXRecord& current = item.Mutable();
  if (current.IsMultiple() && !AskYes(manager, kMultipleToTransferQuestion))
    return false;

  TActXferValues values = PrepareAccountTransfer(item);
  if (!manager.User().EditAccountTransfer(values, accounts.AccountChoices(),
                                          manager.Envelopes().EnvelopeChoices())) {
    return false;
  }
  // The dialog offers accounts only; anything else would post to nowhere, so it counts as Cancel.
  if (accounts.Account(values.fromAccount) == nullptr ||
      accounts.Account(values.toAccount) == nullptr || values.fromAccount == values.toAccount) {
    return false;
  }
  const int32_t cents = CentsFromEntry(values.amount);

  const uint32_t hidden = current.Flags & kXHidden;
  if (current.IsAccountTransfer()) {
    TXHold old = TakePartner(manager, current);
    item.ChangeAmount(NegateCents(current.amount), !old);
    current.PartnerId = 0;
    if (old) {
      TXRecord& other = old->Mutable();
      other.PartnerId = 0;
      other.Flags = kXNewPayment | (other.Flags & kXHidden);
      manager.Delete(old.release());
    }
  } else if (current.IsMultiple()) {
    manager.RemoveParts(item);
    current.Flags = kXNewAccountTransfer | hidden;
  } else {
    item.ChangeAmount(NegateCents(current.amount), false);
    current.Flags = kXNewAccountTransfer | hidden;
    current.EnvelopeId = 0;
  }

  TXRecord partnerRecord{};
  partnerRecord.Flags = kXNewAccountTransfer;
  partnerRecord.AccountId = values.toAccount;
  partnerRecord.PartnerId = current.Id;
  partnerRecord.date = values.toDate;
  partnerRecord.created = manager.Today();
  partnerRecord.SetCode(values.toCode);
  partnerRecord.SetPayableTo(values.toPayee);
  partnerRecord.SetMemo(values.toMemo);
  TXHold partner(manager.Create(partnerRecord));

  current.AccountId = values.fromAccount;
  current.PartnerId = partner->Id();
  current.date = values.fromDate;
  current.SetPayableTo(values.fromPayee);
  current.SetCode(values.fromCode);
  current.SetMemo(values.fromMemo);
  item.ChangeAmount(NegateCents(cents), false);
  item.Commit(true);
  partner->Commit(true);
  const TDateValue partnerDate = partner->Record().date;
  const uint32_t partnerId = partner->Id();
  partner.reset();

  // The new half itself is no starting transaction of the other account: when it comes first,
  // the transaction after it is the one to compare with.
  const TAccountFilter toAccount(values.toAccount);
  TXHold first(manager.First(toAccount));
  if (first && first->Id() == partnerId)
    first = manager.Next(*first, toAccount);
  if (first && partnerDate.Packed() < MonthAfter(first->Record().date).Packed()) {
    manager.User().Tell("Quenbrook", kStartingBalanceWarning, TMessageIcon::Exclamation);
  }
  return true;
}

bool TXTransfers::CreateEnvelopeTransfer(TXItem& item, uint32_t target) {
  TXRecord& current = item.Mutable();
  if (current.IsInert() || (current.Flags & kXEnvelopeOnly) == 0)
    return false;
  TXManager& manager = item.Manager();
  const bool wasTransfer = current.IsEnvelopeTransfer();
  if (wasTransfer && !AskYes(manager, kRetargetQuestion))
    return false;
  if (target == 0) {
    // The chooser starts on the envelope after the source, which is never a target: choosing
    // it is refused with a word, and the chooser asks again.
    const std::vector<TItemChoice> choices = manager.Envelopes().EnvelopeChoices();
    uint32_t chosen = 0;
    for (size_t i = 0; i < choices.size(); ++i) {
      if (choices[i].id == current.EnvelopeId)
        chosen = choices[(i + 1) % choices.size()].id;
    }
    for (;;) {
      if (!manager.User().ChooseEnvelope(choices, chosen))
        return false;
      if (chosen != current.EnvelopeId)
        break;
      manager.User().Tell("Quenbrook", kSameEnvelopeRefusal, TMessageIcon::Exclamation);
      chosen = 0;
    }
    target = chosen;
  }
  if (target == 0 || target == current.EnvelopeId)
    return false;
  if (manager.Envelopes().Envelope(target) == nullptr)
    return false;

  if (wasTransfer) {
    TXHold old = TakePartner(manager, current);
    current.PartnerId = 0;
    if (old) {
      old->ChangeAmount(NegateCents(old->Record().amount), true);
      TXRecord& other = old->Mutable();
      other.Flags = kXNewEnvelopeEntry | (other.Flags & kXHidden);
      other.AccountId = 0;
      other.PartnerId = 0;
      manager.Delete(old.release());
    }
  } else {
    current.Flags = kXNewEnvelopeTransfer | (current.Flags & kXHidden);
    current.SetPayableTo(current.amount <= 0 ? kTransferTo : kTransferFrom);
    current.SetCode("xfer");
  }
  const TDateValue today = manager.Today();
  if (current.date.Day() == 0)
    current.date = today;

  TXRecord partnerRecord{};
  partnerRecord.Flags = kXNewEnvelopeTransfer;
  partnerRecord.EnvelopeId = target;
  partnerRecord.PartnerId = current.Id;
  partnerRecord.date = current.date;
  partnerRecord.created = today;
  partnerRecord.amount = NegateCents(current.amount);
  partnerRecord.SetCode("xfer");
  partnerRecord.SetPayableTo(partnerRecord.amount < 0 ? kTransferTo : kTransferFrom);
  partnerRecord.SetMemo(current.GetMemo());
  TXHold partner(manager.Create(partnerRecord));
  current.PartnerId = partner->Id();

  // An entry that was no transfer posted nowhere; from now on it counts in its envelope.
  if (!wasTransfer) {
    manager.PostToEnvelope(current.EnvelopeId, current.amount, current.EnvelopeCleared != 0);
  }
  manager.PostToEnvelope(target, partnerRecord.amount, false);
  item.Commit(true);
  manager.BroadcastAdded(*partner);
  partner->Commit(true);
  return true;
}

uint32_t TXTransfers::MakeMultiple(TXItem& item) {
  TXRecord& current = item.Mutable();
  if (!item.IsAccountTransaction())
    return 0;
  if (current.IsMultiple())
    return current.Id;
  if (current.IsMultipleKid())
    return current.ParentId;
  TXManager& manager = item.Manager();
  const int32_t amount = current.amount;
  const uint32_t envelope = current.EnvelopeId;
  const uint32_t hidden = current.Flags & kXHidden;

  if (current.IsAccountTransfer()) {
    if (!AskYes(manager, kTransferToMultipleQuestion))
      return 0;
    TXHold old = TakePartner(manager, current);
    item.ChangeAmount(NegateCents(amount), true);
    current.Flags = kXNewMultiple | hidden;
    current.PartnerId = 0;
    if (old) {
      const uint32_t oldEnvelope = manager.Accounts().GetDefaultEnvelope(old->Record().AccountId);
      old->ChangeAmount(NegateCents(old->Record().amount), true);
      TXRecord& other = old->Mutable();
      other.Flags = kXNewPayment | (other.Flags & kXHidden);
      other.EnvelopeId = oldEnvelope;
      other.PartnerId = 0;
      manager.Delete(old.release());
    }
  } else {
    item.ChangeAmount(NegateCents(amount), false);
    current.Flags = kXNewMultiple | hidden;
    current.EnvelopeId = 0;
  }

  if (amount != 0) {
    TXRecord partRecord{};
    partRecord.Flags = kXNewMultipleKid;
    partRecord.AccountId = current.AccountId;
    partRecord.EnvelopeId =
        envelope != 0 ? envelope : manager.Accounts().GetDefaultEnvelope(current.AccountId);
    partRecord.ParentId = current.Id;
    partRecord.date = current.date;
    partRecord.created = manager.Today();
    partRecord.SetMemo(current.GetPayableTo());
    partRecord.SetCode("mult");
    TXHold part(manager.Create(partRecord));
    part->SetAmount(amount);
  }
  item.Commit(true);
  return current.Id;
}

bool TXTransfers::SelectEnvelope(TXItem& item) {
  if (!item.IsAccountTransaction())
    return false;
  TXManager& manager = item.Manager();
  TXRecord& current = item.Mutable();
  uint32_t chosen = current.EnvelopeId;
  if (!manager.User().ChooseEnvelope(manager.Envelopes().EnvelopeChoices(), chosen))
    return false;
  // Only an envelope of the list may take the money; anything else would lose it.
  if (manager.Envelopes().Envelope(chosen) == nullptr)
    return false;
  const uint32_t hidden = current.Flags & kXHidden;

  if (current.IsMultiple()) {
    const int32_t amount = current.amount;
    manager.RemoveParts(item);
    current.Flags = kXNewPayment | hidden;
    current.EnvelopeId = chosen;
    item.ChangeAmount(amount, false);
  } else if (current.IsAccountTransfer()) {
    const int32_t amount = current.amount;
    TXHold old = TakePartner(manager, current);
    item.ChangeAmount(NegateCents(amount), true);
    current.Flags = kXNewPayment | hidden;
    current.PartnerId = 0;
    if (old) {
      const uint32_t oldEnvelope = manager.Accounts().GetDefaultEnvelope(old->Record().AccountId);
      old->ChangeAmount(NegateCents(old->Record().amount), true);
      TXRecord& other = old->Mutable();
      other.Flags = kXNewPayment | (other.Flags & kXHidden);
      other.EnvelopeId = oldEnvelope;
      other.PartnerId = 0;
      manager.Delete(old.release());
    }
    current.EnvelopeId = chosen;
    item.ChangeAmount(amount, false);
  } else {
    item.SetEnvelope(chosen);
  }
  return true;
}

void TXTransfers::ZeroEnvelopes(TXManager& manager, const std::vector<uint32_t>& selected) {
  uint32_t target = 0;
  if (!manager.User().ChooseEnvelope(manager.Envelopes().EnvelopeChoices(), target))
    return;
  ZeroEnvelopes(manager, selected, target);
}

void TXTransfers::ZeroEnvelopes(TXManager& manager, const std::vector<uint32_t>& selected,
                                uint32_t target) {
  if (manager.Envelopes().Envelope(target) == nullptr)
    return;
  for (uint32_t envelopeId : selected) {
    if (envelopeId == target)
      continue;
    const TEnv* env = manager.Envelopes().Envelope(envelopeId);
    if (env == nullptr || env->StoredBalance() == 0)
      continue;
    TXRecord record{};
    record.Flags = kXEnvelopeOnly;
    record.EnvelopeId = envelopeId;
    record.amount = NegateCents(env->StoredBalance());
    TXHold item(manager.Create(record));
    CreateEnvelopeTransfer(*item, target);
  }
}

#include "transactions/template_fill.h"

#include "core/account_list.h"
#include "core/envelope_list.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"

void TXTemplateFill::Empty(TXItem& item) {
  TXManager& manager = item.Manager();
  TXRecord& current = item.Mutable();
  if (current.IsAccountTransfer()) {
    TXHold partner;
    if (current.PartnerId != current.Id && manager.FindRecord(current.PartnerId) != nullptr)
      partner = manager.Get(current.PartnerId);
    item.ChangeAmount(NegateCents(current.amount), true);
    current.PartnerId = 0;
    if (partner) {
      partner->ChangeAmount(NegateCents(partner->Record().amount), true);
      TXRecord& other = partner->Mutable();
      other.PartnerId = 0;
      other.Flags = kXNewPayment | (other.Flags & kXHidden);
      other.EnvelopeId = manager.Accounts().Account(other.AccountId) != nullptr
                             ? manager.Accounts().GetDefaultEnvelope(other.AccountId)
                             : 0;
      if (other.IsInert()) {
        partner->Commit(true);
      } else {
        manager.Delete(partner.release());
      }
    }
  } else if (current.IsMultiple()) {
    manager.RemoveParts(item);
  } else {
    item.ChangeAmount(NegateCents(current.amount), false);
  }
}

bool TXTemplateFill::NeedsOverwriteQuestion(const TXItem& item) {
  const TXRecord& record = item.Record();
  return record.IsMultiple() || record.IsAccountTransfer() || record.amount != 0;
}

void TXTemplateFill::Fill(TXItem& item, std::string_view payableTo, std::string_view memo,
                          const std::vector<TXTemplatePart>& parts) {
  if (!item.IsAccountTransaction() || item.Record().IsMultipleKid())
    return;
  TXManager& manager = item.Manager();
  TXRecord& current = item.Mutable();
  if (current.GetPayableTo().empty())
    current.SetPayableTo(payableTo);
  if (current.GetMemo().empty())
    current.SetMemo(memo);
  Empty(item);

  const uint32_t hidden = current.Flags & kXHidden;
  const TEnvelopeList& envelopes = manager.Envelopes();
  std::vector<const TXTemplatePart*> usable;
  for (const TXTemplatePart& part : parts) {
    if (envelopes.Envelope(part.envelopeId) != nullptr)
      usable.push_back(&part);
  }
  const uint32_t defaultEnvelope = manager.Accounts().Account(current.AccountId) != nullptr
                                       ? manager.Accounts().GetDefaultEnvelope(current.AccountId)
                                       : 0;
  if (parts.size() >= 2) {
    current.Flags = kXNewMultiple | hidden;
    current.EnvelopeId = 0;
    for (const TXTemplatePart* part : usable) {
      TXRecord record{};
      record.Flags = kXNewMultipleKid;
      record.AccountId = current.AccountId;
      record.EnvelopeId = part->envelopeId;
      record.ParentId = current.Id;
      record.date = current.date;
      record.created = manager.Today();
      record.SetPayableTo(part->label);
      record.SetMemo(current.GetPayableTo());
      TXHold made(manager.Create(record));
      made->SetAmount(part->amount);
    }
  } else if (usable.size() == 1) {
    current.Flags = kXNewPayment | hidden;
    current.EnvelopeId = usable.front()->envelopeId;
    item.SetAmount(usable.front()->amount);
  } else {
    current.Flags = kXNewPayment | hidden;
    current.EnvelopeId = defaultEnvelope;
  }
  item.Commit(true);
  if (item.Record().IsMultiple())
    manager.RecommitParts(item);
}

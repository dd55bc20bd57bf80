#include "transactions/remembered_fill.h"

#include <string>
#include <vector>

#include "core/leading_number.h"
#include "transactions/template_fill.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"

bool TXRememberedFill::Fill(TXItem& item, std::string_view payee) {
  TXManager& manager = item.Manager();
  const bool empty = item.IsBlank() && !item.Record().IsLive() && !item.Record().IsMultipleKid();
  const uint32_t sourceId =
      empty ? manager.Payees().LatestRecord(payee, item.Record().AccountId) : 0;
  const TXRecord* found = sourceId != 0 ? manager.FindRecord(sourceId) : nullptr;
  if (found == nullptr || found->IsTransferHalf()) {
    item.SetColumnText(TXItem::kColPayableTo, payee);
    return false;
  }
  // The source is copied: making the row's parts moves records in the store.
  const TXRecord source = *found;
  const std::string memo(source.GetMemo());
  TXRecord& row = item.Mutable();
  if (ReadLeadingNumber(source.GetCode()).magnitude == 0)
    row.SetCode(source.GetCode());
  if (!item.IsAccountTransaction()) {
    // An envelope ledger's entry stays in its envelope.
    row.SetPayableTo(payee);
    row.SetMemo(memo);
    item.SetAmount(source.amount);
    item.Commit(true);
    return true;
  }
  std::vector<TXTemplatePart> parts;
  if (source.IsMultiple()) {
    for (uint32_t id : manager.PartIds(source.Id)) {
      if (const TXRecord* part = manager.FindRecord(id))
        parts.push_back({part->EnvelopeId, part->amount, std::string(part->GetPayableTo())});
    }
  } else {
    parts.push_back({source.EnvelopeId, source.amount, {}});
  }
  TXTemplateFill::Fill(item, payee, memo, parts);
  return true;
}

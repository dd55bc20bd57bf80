#include "cli/transaction_dump.h"

#include "cli/json_writer.h"
#include "core/cp1252.h"
#include "core/vorla_data.h"
#include "transactions/xmanager.h"

namespace {

void DumpRecord(TJsonWriter& json, const TXRecord& record) {
  json.BeginObject()
      .Key("id")
      .Unsigned(record.Id)
      .Key("flags")
      .Unsigned(record.Flags)
      .Key("account")
      .Unsigned(record.AccountId)
      .Key("envelope")
      .Unsigned(record.EnvelopeId)
      .Key("parent")
      .Unsigned(record.ParentId)
      .Key("partner")
      .Unsigned(record.PartnerId)
      .Key("date")
      .Unsigned(record.date.Packed())
      .Key("created")
      .Unsigned(record.created.Packed())
      .Key("account_cleared")
      .Unsigned(record.AccountCleared)
      .Key("envelope_cleared")
      .Unsigned(record.EnvelopeCleared)
      .Key("new_import")
      .Unsigned(record.NewImport)
      .Key("amount")
      .Number(record.amount)
      .Key("code")
      .String(Cp1252ToUtf8(record.GetCode()))
      .Key("payable_to")
      .String(Cp1252ToUtf8(record.GetPayableTo()))
      .Key("memo")
      .String(Cp1252ToUtf8(record.GetMemo()))
      .EndObject();
}

}  // namespace

void DumpTransactions(TJsonWriter& json, const TVorlaData& document) {
  const auto* manager = dynamic_cast<const TXManager*>(document.Transactions());
  const TXStore empty;
  const TXStore& store = manager != nullptr ? manager->Store() : empty;
  json.Key("store")
      .BeginObject()
      .Key("format")
      .Unsigned(store.LoadedFormat())
      .Key("capacity")
      .Unsigned(store.Capacity())
      .Key("count")
      .Unsigned(store.Count())
      .Key("last_id")
      .Unsigned(store.LastId())
      .EndObject();
  json.Key("transactions").BeginArray();
  for (uint32_t index = 1; index <= store.Count(); ++index)
    DumpRecord(json, store.At(index));
  json.EndArray();
}

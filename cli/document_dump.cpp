#include "cli/document_dump.h"

#include <cmath>

#include "cli/json_writer.h"
#include "cli/transaction_dump.h"
#include "core/account_node.h"
#include "core/cp1252.h"
#include "core/envelope_node.h"
#include "core/id_list.h"
#include "core/vorla_data.h"
#include "planning/template_manager.h"

namespace {

void DumpIds(TJsonWriter& json, const TIdList& ids) {
  json.BeginObject().Key("growth").Unsigned(ids.Growth()).Key("states").BeginArray();
  for (uint8_t state : ids.States())
    json.Unsigned(state);
  json.EndArray().EndObject();
}

void DumpCommon(TJsonWriter& json, std::string_view kind, uint32_t id, const TTreeItem& node,
                bool isRoot, const std::string& description, int64_t balance) {
  json.Key("kind").String(kind).Key("id").Unsigned(id);
  json.Key("name").String(Cp1252ToUtf8(node.Name()));
  if (!isRoot)
    json.Key("description").String(Cp1252ToUtf8(description));
  json.Key("expanded").Bool(node.Expanded()).Key("balance").Number(balance);
}

void DumpAccountNode(TJsonWriter& json, const TAccountNode& node) {
  json.BeginObject();
  DumpCommon(json, node.Kind(), node.Id(), node, node.Parent() == nullptr, node.Description(),
             node.Balance().Cents());
  if (const auto* account = dynamic_cast<const TAccount*>(&node)) {
    json.Key("type").Unsigned(account->Type());
    json.Key("default_envelope").Unsigned(account->DefaultEnvelope());
    json.Key("cleared").Number(account->ClearedBalance());
  }
  json.Key("children").BeginArray();
  for (const TTreeItem* child : node.Children()) {
    DumpAccountNode(json, static_cast<const TAccountNode&>(*child));
  }
  json.EndArray().EndObject();
}

void DumpEnvelopeNode(TJsonWriter& json, const TEnvelopeNode& node) {
  json.BeginObject();
  DumpCommon(json, node.Kind(), node.Id(), node, node.Parent() == nullptr, node.Description(),
             node.Balance().Cents());
  if (const auto* envelope = dynamic_cast<const TEnv*>(&node)) {
    json.Key("watchdog").Bool(envelope->Watchdog());
    json.Key("threshold").Number(std::llround(envelope->Threshold() * 100.0));
    json.Key("in_plan").Bool(envelope->InAllocationPlan());
    json.Key("cleared").Number(envelope->ClearedBalance());
  } else if (const auto* bundle = dynamic_cast<const TBundle*>(&node)) {
    json.Key("watchdog").Bool(bundle->Watchdog());
    json.Key("threshold").Number(std::llround(bundle->Threshold() * 100.0));
  } else if (const auto* alias = dynamic_cast<const TEnvelopeAlias*>(&node)) {
    json.Key("watchdog").Bool(alias->Watchdog());
    json.Key("target").Unsigned(alias->Target() != nullptr ? alias->Target()->Id() : 0);
  } else if (node.Parent() == nullptr) {
    json.Key("watchdog").Bool(node.Watchdog());
  }
  json.Key("children").BeginArray();
  for (const TTreeItem* child : node.Children()) {
    DumpEnvelopeNode(json, static_cast<const TEnvelopeNode&>(*child));
  }
  json.EndArray().EndObject();
}

void DumpLayout(TJsonWriter& json, const TTreeWindowLayout& layout) {
  json.BeginObject()
      .Key("width")
      .Number(layout.width)
      .Key("height")
      .Number(layout.height)
      .Key("x")
      .Number(layout.x)
      .Key("y")
      .Number(layout.y)
      .Key("show")
      .Unsigned(layout.showState)
      .Key("open")
      .Bool(layout.open)
      .EndObject();
}

void DumpSettings(TJsonWriter& json, const TSettingList& settings) {
  json.BeginArray();
  for (const auto& entry : settings.Entries()) {
    json.BeginObject()
        .Key("name")
        .String(Cp1252ToUtf8(entry.name))
        .Key("value")
        .String(Cp1252ToUtf8(entry.value))
        .Key("scope")
        .Unsigned(entry.scope)
        .EndObject();
  }
  json.EndArray();
}

void DumpTemplates(TJsonWriter& json, const TVorlaData& document) {
  json.BeginArray();
  const auto* templates = dynamic_cast<const TXTemplateManager*>(&document.Templates());
  for (size_t i = 1; templates != nullptr && i <= templates->Count(); ++i) {
    const TXTemplate& tpl = *templates->At(i);
    json.BeginObject().Key("id").Unsigned(tpl.Id());
    json.Key("name").String(Cp1252ToUtf8(tpl.Name()));
    json.Key("include_in_plan").Bool(tpl.IncludeInPlan());
    json.Key("period").Unsigned(tpl.Period());
    json.Key("payable_to").String(Cp1252ToUtf8(tpl.PayableTo()));
    json.Key("memo").String(Cp1252ToUtf8(tpl.Memo()));
    json.Key("items").BeginArray();
    for (size_t j = 1; j <= tpl.Items().Count(); ++j) {
      const TXTemplateItem& item = *tpl.Items().At(j);
      json.BeginObject().Key("envelope").Unsigned(item.EnvelopeId());
      json.Key("amount").Number(item.Amount());
      json.Key("label").String(Cp1252ToUtf8(item.Label())).EndObject();
    }
    json.EndArray().EndObject();
  }
  json.EndArray();
}

}  // namespace

std::string DumpDocument(const TVorlaData& document) {
  TJsonWriter json;
  json.BeginObject();
  json.Key("class_version").Unsigned(document.LoadedVersion());
  json.Key("date").Unsigned(document.GetDate().Packed());
  json.Key("settings");
  DumpSettings(json, document.Settings());
  json.Key("layouts").BeginObject().Key("envelopes");
  DumpLayout(json, document.EnvelopeLayout());
  json.Key("accounts");
  DumpLayout(json, document.AccountLayout());
  json.EndObject();
  json.Key("accounts");
  DumpAccountNode(json, document.Accounts().Root());
  json.Key("envelopes");
  DumpEnvelopeNode(json, document.Envelopes().Root());
  json.Key("account_ids");
  DumpIds(json, document.Accounts().Ids());
  json.Key("envelope_ids");
  DumpIds(json, document.Envelopes().Ids());
  DumpTransactions(json, document);
  json.Key("templates");
  DumpTemplates(json, document);
  json.Key("template_ids");
  DumpIds(json, document.Templates().TemplateIds());
  json.EndObject();
  return json.Text();
}

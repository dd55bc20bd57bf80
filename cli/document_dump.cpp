#include "cli/document_dump.h"

#include "cli/json_writer.h"
#include "core/cp1252.h"
#include "core/vorla_data.h"

namespace {

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
  json.EndObject();
  return json.Text();
}

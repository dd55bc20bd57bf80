#include "import/import_options.h"

#include <limits>

#include "core/account_list.h"
#include "core/leading_number.h"
#include "core/setting_list.h"
#include "core/vorla_data.h"

namespace {

// Unsigned decimal as the options store identifiers and packed dates (beyond the settings'
// signed 32-bit numbers); text that is no number gives the default.
uint32_t ReadUnsigned(const TSettingList& settings, std::string_view name, uint32_t fallback,
                      uint32_t scope) {
  if (!settings.Contains(name, scope))
    return fallback;
  const std::string text = settings.GetText(name, "", scope);
  size_t i = 0;
  while (i < text.size() && text[i] == ' ')
    ++i;
  if (i == text.size() || text[i] < '0' || text[i] > '9')
    return fallback;
  uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    if (value > std::numeric_limits<uint32_t>::max())
      return fallback;
  }
  return static_cast<uint32_t>(value);
}

std::string ReadCode(const TSettingList& settings, std::string_view name, std::string_view fallback,
                     uint32_t scope) {
  std::string code = settings.GetText(name, fallback, scope);
  if (code.size() > TImportOptions::kMaxCode)
    code.resize(TImportOptions::kMaxCode);
  return code;
}

TImportOptions Read(const TSettingList& settings, uint32_t account, uint32_t defaultEnvelope) {
  TImportOptions options;
  auto flag = [&](const char* name, bool fallback) {
    return settings.GetNumber(name, fallback ? 1 : 0, account) != 0;
  };
  options.automatic = flag(TImportOptions::kAutomatic, options.automatic);
  options.importAll = flag(TImportOptions::kAll, options.importAll);
  options.onlyNewer = flag(TImportOptions::kOnlyNewer, options.onlyNewer);
  options.onlyNewerDate = TDateValue::FromPacked(ReadUnsigned(
      settings, TImportOptions::kOnlyNewerDate, options.onlyNewerDate.Packed(), account));
  options.ignoreCheckNumbers = flag(TImportOptions::kIgnoreCheckNumbers, false);
  options.envelope = ReadUnsigned(settings, TImportOptions::kEnvelope, defaultEnvelope, account);
  options.copyPayableTo = flag(TImportOptions::kCopyPayableTo, false);
  options.codePositive = ReadCode(settings, TImportOptions::kCodePositive, "credit", account);
  options.codeNegative = ReadCode(settings, TImportOptions::kCodeNegative, "debit", account);
  return options;
}

}  // namespace

TImportOptions TImportOptions::Load(TVorlaData& document, const TSettingList* configuration,
                                    uint32_t account) {
  const uint32_t defaultEnvelope = document.Accounts().GetDefaultEnvelope(account);
  if (document.Settings().Contains(kAutomatic, account))
    return Read(document.Settings(), account, defaultEnvelope);
  const TSettingList empty;
  TImportOptions options =
      Read(configuration != nullptr ? *configuration : empty, account, defaultEnvelope);
  options.Store(document, account);
  return options;
}

void TImportOptions::Store(TVorlaData& document, uint32_t account) const {
  TSettingList& settings = document.Settings();
  settings.SetNumber(kAutomatic, automatic ? 1 : 0, account);
  settings.SetNumber(kAll, importAll ? 1 : 0, account);
  settings.SetNumber(kOnlyNewer, onlyNewer ? 1 : 0, account);
  settings.SetText(kOnlyNewerDate, std::to_string(onlyNewerDate.Packed()), account);
  settings.SetNumber(kIgnoreCheckNumbers, ignoreCheckNumbers ? 1 : 0, account);
  settings.SetText(kEnvelope, std::to_string(envelope), account);
  settings.SetNumber(kCopyPayableTo, copyPayableTo ? 1 : 0, account);
  settings.SetText(kCodePositive, codePositive.substr(0, kMaxCode), account);
  settings.SetText(kCodeNegative, codeNegative.substr(0, kMaxCode), account);
  document.SetModified();
}

int64_t StatementCheckNumber(std::string_view text) {
  return ReadLeadingNumber(text).Signed();
}

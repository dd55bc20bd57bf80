#include "import/import_dialog_state.h"

#include "core/account_list.h"
#include "core/envelope_list.h"
#include "core/user_port.h"
#include "core/vorla_data.h"

TImportDialogState::TImportDialogState(TVorlaData& document, const TSettingList* configuration,
                                       uint32_t account, const TImportOptions& proposal)
    : document_(document), configuration_(configuration), account_(account), options_(proposal) {}

std::string TImportDialogState::AccountName() const {
  std::string name = document_.Accounts().NameOfAccount(account_);
  if (name.size() > kMaxAccountName)
    name.resize(kMaxAccountName);
  return name;
}

std::vector<TItemChoice> TImportDialogState::Envelopes() const {
  return document_.Envelopes().EnvelopeChoices();
}

bool TImportDialogState::SetOnlyNewer(bool on) {
  const bool wasOn = options_.onlyNewer;
  options_.onlyNewer = on;
  return on && !wasOn;
}

void TImportDialogState::SetAutomatic(bool automatic) {
  options_.automatic = automatic;
  options_.importAll = !automatic;
}

bool TImportDialogState::ChooseAccount(TUserPort& user) {
  uint32_t chosen = account_;
  if (!user.ChooseAccount(kChooserCaption, document_.Accounts().AccountChoices(), chosen))
    return false;
  if (chosen == account_ || document_.Accounts().Account(chosen) == nullptr)
    return false;
  account_ = chosen;
  options_ = TImportOptions::Load(document_, configuration_, account_);
  return true;
}

void TImportDialogState::Accept() {
  options_.Store(document_, account_);
}

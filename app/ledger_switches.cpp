#include "app/ledger_switches.h"

#include "core/setting_list.h"

TLedgerSwitches TLedgerSwitches::Read(const TSettingList& named) {
  TLedgerSwitches switches;
  switches.completePayees = named.GetNumber(kCompletePayees, 1, 0) != 0;
  switches.fillFromPayee = named.GetNumber(kFillFromPayee, 1, 0) != 0;
  return switches;
}

void TLedgerSwitches::Write(TSettingList& named) const {
  named.SetNumber(kCompletePayees, completePayees ? 1 : 0, 0);
  named.SetNumber(kFillFromPayee, fillFromPayee ? 1 : 0, 0);
}

#pragma once

class TSettingList;

/// The ledger's typing aids, kept in the configuration's named settings
/// ("Ledger.CompletePayees", "Ledger.FillFromPayee"), never in a budget file; both are on until
/// the user turns them off.
struct TLedgerSwitches {
  static constexpr const char* kCompletePayees = "Ledger.CompletePayees";
  static constexpr const char* kFillFromPayee = "Ledger.FillFromPayee";

  bool completePayees = true;
  bool fillFromPayee = true;

  static TLedgerSwitches Read(const TSettingList& named);
  void Write(TSettingList& named) const;
};

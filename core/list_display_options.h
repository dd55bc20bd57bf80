#pragma once

/// The configuration switches that decide which balances the account and envelope list windows
/// show beside the names. The defaults are those of a new configuration.
struct TListDisplayOptions {
  bool showEnvRootBalance = true;
  bool showBundleBalances = true;
  bool showAssociationBalances = false;
  bool showEnvelopeBalances = true;
  bool showAccountRootBalance = true;
  bool showGroupBalances = true;
  bool showAccountBalances = true;
  bool showReconcileBalances = false;
};

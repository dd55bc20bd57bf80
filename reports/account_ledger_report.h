#pragma once

#include "reports/ledger_report.h"

/// "Account Ledger Report": the transactions of one account (multiples whole, transfer halves
/// included) with the envelope and the account side's cleared mark.
class TAccountLedgerReport final : public TLedgerReport {
 public:
  TAccountLedgerReport(const TVorlaData& document, const TClock& clock,
                       const TLedgerReportOptions& options);
};

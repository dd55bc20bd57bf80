#pragma once

#include "reports/ledger_report.h"

/// "Envelope Ledger Report": the transactions of an envelope node and every envelope below it
/// (the parts of multiples, not the multiples) with the account and the envelope side's
/// cleared mark. "Use old format" changes only the clipboard text: no header, no cleared
/// column, rows ending in CR LF, and the private clipboard marker.
class TEnvelopeLedgerReport final : public TLedgerReport {
 public:
  TEnvelopeLedgerReport(const TVorlaData& document, const TClock& clock,
                        const TLedgerReportOptions& options);

  std::string ClipboardText() const override;
  bool MarksClipboard() const override { return oldFormat_; }

 private:
  bool oldFormat_;
};

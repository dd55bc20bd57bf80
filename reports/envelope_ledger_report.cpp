#include "reports/envelope_ledger_report.h"

#include "reports/report_options.h"
#include "reports/report_text.h"
#include "transactions/editable_filter.h"
#include "transactions/xitem.h"

namespace {

constexpr int kClearedColumn = 6;

constexpr TLedgerColumn kColumns[] = {
    {"No.", TXItem::kColCode, 15, kLeftClipped},
    {"Date", TXItem::kColDateWithYear, 15, TCellInfo::kCentred},
    {"Description/Payable To", TLedgerReport::kDescriptionCell, 50, kLeftClipped},
    {"Envelope", TXItem::kColEnvelope, 35, kLeftClipped},
    {"Account", TXItem::kColAccount, 35, kLeftClipped},
    {"X", TXItem::kColEnvelopeCleared, 6, TCellInfo::kCentred},
    {"Payment", TXItem::kColPayment, 20, TCellInfo::kRight},
    {"Deposit", TXItem::kColDeposit, 20, TCellInfo::kRight},
};

constexpr TLedgerLayout kLayout = {
    "Envelope Ledger Report",
    "Envelope Ledger: ",
    "Export Envelope Ledger File Name",
    "No.\tDate\tDescription/Payable To (Memo)\tEnvelope\tAccount\tX\tPayment\tDeposit\n",
    kColumns,
    5,
    TEditableFilter::kEnvelopeLedgerReport,
};

}  // namespace

TEnvelopeLedgerReport::TEnvelopeLedgerReport(const TVorlaData& document, const TClock& clock,
                                             const TLedgerReportOptions& options)
    : TLedgerReport(document, clock, options, kLayout), oldFormat_(options.oldFormat) {}

std::string TEnvelopeLedgerReport::ClipboardText() const {
  if (!oldFormat_)
    return ExportText();
  return BuildText("", kClearedColumn, "\r\n");
}

#include "reports/account_ledger_report.h"

#include "reports/report_text.h"
#include "transactions/editable_filter.h"
#include "transactions/xitem.h"

namespace {

constexpr TLedgerColumn kColumns[] = {
    {"No.", TXItem::kColCode, 15, kLeftClipped},
    {"Date", TXItem::kColDateWithYear, 15, TCellInfo::kCentred},
    {"Description/Payable To (Memo)", TLedgerReport::kDescriptionCell, 85, kLeftClipped},
    {"Envelope", TXItem::kColEnvelope, 35, kLeftClipped},
    {"X", TXItem::kColAccountCleared, 6, TCellInfo::kCentred},
    {"Payment", TXItem::kColPayment, 20, TCellInfo::kRight},
    {"Deposit", TXItem::kColDeposit, 20, TCellInfo::kRight},
};

constexpr TLedgerLayout kLayout = {
    "Account Ledger Report",
    "Account Ledger: ",
    "Export Account Ledger File Name",
    "No.\tDate\tDescription/Payable To (Memo)\tEnvelope\tX\tPayment\tDeposit\n",
    kColumns,
    4,
    TEditableFilter::kAccountLedgerReport,
};

}  // namespace

TAccountLedgerReport::TAccountLedgerReport(const TVorlaData& document, const TClock& clock,
                                           const TLedgerReportOptions& options)
    : TLedgerReport(document, clock, options, kLayout) {}

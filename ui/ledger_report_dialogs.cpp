#include "ui/ledger_report_dialogs.h"

#include <QFormLayout>
#include <QListWidget>
#include <QPushButton>

#include "app/vorla_config.h"
#include "core/vorla_data.h"
#include "reports/account_ledger_report.h"
#include "reports/envelope_ledger_report.h"
#include "reports/report_options.h"
#include "transactions/editable_filter.h"
#include "ui/qt_user_port.h"

namespace {

constexpr const char* kOldFormatKey = "EnvLgr.OldFormat";

}  // namespace

TLedgerReportDialog::TLedgerReportDialog(const QString& title, const QString& objectName,
                                         const QString& itemLabel, bool envelopes,
                                         uint32_t chosenId, TReportContext context, QWidget* parent)
    : TReportDialog(title, objectName, context, parent) {
  items_ = envelopes ? MakeEnvelopeTreeList(context.document, chosenId, this)
                     : MakeAccountList(context.document, chosenId, this);
  Options()->addRow(itemLabel, items_);
  dates_ = new TReportDates(*Options(), context.clock, this);
  filter_ = std::make_unique<TEditableFilter>(
      envelopes ? TEditableFilter::kEnvelopeLedgerReport : TEditableFilter::kAccountLedgerReport,
      ChosenId(*items_).value_or(0), context.document.Envelopes(), context.document.Accounts(),
      context.clock);
  QPushButton* advanced =
      AddExtraButton(QStringLiteral("Advanced Filter..."), QStringLiteral("advancedFilterButton"));
  connect(advanced, &QPushButton::clicked, this, &TLedgerReportDialog::EditFilter);
}

TLedgerReportDialog::~TLedgerReportDialog() = default;

bool TLedgerReportDialog::ReadOptions(uint32_t& id, TDateValue& from, TDateValue& to) {
  const std::optional<uint32_t> chosen = ChosenId(*items_);
  if (!chosen) {
    Refuse(filter_->IsAccountFilter() ? "Choose the account to report on."
                                      : "Choose the envelope to report on.");
    return false;
  }
  id = *chosen;
  const auto dates = dates_->Dates(context_.user);
  if (!dates)
    return false;
  from = dates->first;
  to = dates->second;
  filter_->SetTargetId(id);
  filter_->SetDateRange(from, to);
  return true;
}

void TLedgerReportDialog::EditFilter() {
  uint32_t id = 0;
  TDateValue from;
  TDateValue to;
  if (!ReadOptions(id, from, to) || !filter_->EditWithDialog(context_.user))
    return;
  dates_->SetDates(filter_->GetFromDate(), filter_->GetToDate());
}

TAccountLedgerReportDialog::TAccountLedgerReportDialog(TReportContext context, uint32_t accountId,
                                                       QWidget* parent)
    : TLedgerReportDialog(QStringLiteral("Account Ledger Report"),
                          QStringLiteral("accountLedgerReportDialog"), QStringLiteral("&Account:"),
                          false, accountId, context, parent) {}

std::unique_ptr<TFormData> TAccountLedgerReportDialog::MakeReport() {
  TLedgerReportOptions options;
  if (!ReadOptions(options.id, options.from, options.to))
    return nullptr;
  options.filter = &Filter();
  return std::make_unique<TAccountLedgerReport>(context_.document, context_.clock, options);
}

TEnvelopeLedgerReportDialog::TEnvelopeLedgerReportDialog(TReportContext context,
                                                         uint32_t envelopeId, QWidget* parent)
    : TLedgerReportDialog(QStringLiteral("Envelope Ledger Report"),
                          QStringLiteral("envelopeLedgerReportDialog"),
                          QStringLiteral("&Envelope:"), true, envelopeId, context, parent) {
  oldFormat_ = new QCheckBox(QStringLiteral("Use old format"), this);
  oldFormat_->setObjectName(QStringLiteral("oldFormat"));
  oldFormat_->setChecked(context.config.Named().GetNumber(kOldFormatKey, 0, 0) != 0);
  Options()->addRow(QString(), oldFormat_);
}

std::unique_ptr<TFormData> TEnvelopeLedgerReportDialog::MakeReport() {
  TLedgerReportOptions options;
  if (!ReadOptions(options.id, options.from, options.to))
    return nullptr;
  options.filter = &Filter();
  options.oldFormat = oldFormat_->isChecked();
  return std::make_unique<TEnvelopeLedgerReport>(context_.document, context_.clock, options);
}

void TEnvelopeLedgerReportDialog::StoreSettings() {
  context_.config.Named().SetNumber(kOldFormatKey, oldFormat_->isChecked() ? 1 : 0, 0);
}

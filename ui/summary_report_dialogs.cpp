#include "ui/summary_report_dialogs.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "app/vorla_config.h"
#include "core/vorla_data.h"
#include "planning/period.h"
#include "reports/account_summary_report.h"
#include "reports/allocation_plan_report.h"
#include "reports/envelope_activity_report.h"
#include "reports/envelope_summary_report.h"
#include "reports/report_options.h"
#include "ui/model_text.h"

namespace {

constexpr const char* kSizeNames[] = {
    "Standard",
    "Business Cards",
    "Business Cards (Avery)",
    "Organizer 3.75 x 6.75",
    "Organizer 4.25 x 6.75",
    "Organizer 5.50 x 8.50",
};

// The activity columns in their fixed order, with their keys and first-run choices.
struct TActivityColumn {
  const char* text;
  const char* key;
  uint32_t bit;
};
constexpr TActivityColumn kActivityColumns[] = {
    {"Allocations", "EnvAct.ColAlloc", kActivityAlloc},
    {"Expenses", "EnvAct.ColExpense", kActivityExpense},
    {"Xfers In", "EnvAct.ColTransIn", kActivityTransIn},
    {"Xfers Out", "EnvAct.ColTransOut", kActivityTransOut},
    {"All In", "EnvAct.ColAllIn", kActivityAllIn},
    {"All Out", "EnvAct.ColAllOut", kActivityAllOut},
    {"Start Bal", "EnvAct.ColStartBal", kActivityStart},
    {"End Balance", "EnvAct.ColEndBal", kActivityEnd},
};
static_assert(std::size(kActivityColumns) == TEnvelopeActivityReportDialog::kColumnCount);

}  // namespace

TAccountSummaryReportDialog::TAccountSummaryReportDialog(TReportContext context, QWidget* parent)
    : TReportDialog(QStringLiteral("Account Summary Report"),
                    QStringLiteral("accountSummaryReportDialog"), context, parent) {
  Options()->addRow(new QLabel(QStringLiteral("No details"), this));
}

std::unique_ptr<TFormData> TAccountSummaryReportDialog::MakeReport() {
  return std::make_unique<TAccountSummaryReport>(context_.document, context_.clock);
}

TEnvelopeSummaryReportDialog::TEnvelopeSummaryReportDialog(TReportContext context,
                                                           uint32_t envelopeId, QWidget* parent)
    : TReportDialog(QStringLiteral("Envelope Summary Report"),
                    QStringLiteral("envelopeSummaryReportDialog"), context, parent) {
  items_ = MakeEnvelopeTreeList(context.document, envelopeId, this);
  Options()->addRow(QStringLiteral("&Envelope:"), items_);
  size_ = new QComboBox(this);
  size_->setObjectName(QStringLiteral("reportSize"));
  for (const char* name : kSizeNames)
    size_->addItem(QString::fromLatin1(name));
  Options()->addRow(QStringLiteral("Report  &Size"), size_);
}

std::unique_ptr<TFormData> TEnvelopeSummaryReportDialog::MakeReport() {
  TEnvelopeSummaryOptions options;
  const std::optional<uint32_t> chosen = ChosenId(*items_);
  if (!chosen) {
    Refuse("Choose the envelope to report on.");
    return nullptr;
  }
  options.envelopeId = *chosen;
  options.size = static_cast<TEnvelopeSummarySize>(size_->currentIndex() + 1);
  return std::make_unique<TEnvelopeSummaryReport>(context_.document, context_.clock, options);
}

TEnvelopeActivityReportDialog::TEnvelopeActivityReportDialog(TReportContext context,
                                                             uint32_t envelopeId, QWidget* parent)
    : TReportDialog(QStringLiteral("Envelope Activity Report"),
                    QStringLiteral("envelopeActivityReportDialog"), context, parent) {
  items_ = MakeEnvelopeTreeList(context.document, envelopeId, this);
  Options()->addRow(QStringLiteral("&Envelope:"), items_);
  dates_ = new TReportDates(*Options(), context.clock, this);
  auto* box = new QGroupBox(QStringLiteral("Columns"), this);
  auto* grid = new QGridLayout(box);
  const TSettingList& named = context.config.Named();
  for (size_t i = 0; i < kColumnCount; ++i) {
    const TActivityColumn& column = kActivityColumns[i];
    columns_[i] = new QCheckBox(QString::fromLatin1(column.text), box);
    columns_[i]->setObjectName(QString::fromLatin1(column.key));
    const bool byDefault = (kActivityDefaultColumns & column.bit) != 0;
    columns_[i]->setChecked(named.GetNumber(column.key, byDefault ? 1 : 0, 0) != 0);
    grid->addWidget(columns_[i], static_cast<int>(i % 4), static_cast<int>(i / 4));
  }
  Options()->addRow(box);
}

std::unique_ptr<TFormData> TEnvelopeActivityReportDialog::MakeReport() {
  TEnvelopeActivityOptions options;
  const std::optional<uint32_t> chosen = ChosenId(*items_);
  if (!chosen) {
    Refuse("Choose the envelope to report on.");
    return nullptr;
  }
  options.envelopeId = *chosen;
  const auto dates = dates_->Dates(context_.user);
  if (!dates)
    return nullptr;
  options.from = dates->first;
  options.to = dates->second;
  options.columns = 0;
  for (size_t i = 0; i < kColumnCount; ++i) {
    if (columns_[i]->isChecked())
      options.columns |= kActivityColumns[i].bit;
  }
  return std::make_unique<TEnvelopeActivityReport>(context_.document, context_.clock, options);
}

void TEnvelopeActivityReportDialog::StoreSettings() {
  for (size_t i = 0; i < kColumnCount; ++i)
    context_.config.Named().SetNumber(kActivityColumns[i].key, columns_[i]->isChecked() ? 1 : 0, 0);
}

TAllocationPlanReportDialog::TAllocationPlanReportDialog(TReportContext context, QWidget* parent)
    : TReportDialog(QStringLiteral("Allocation Plan Report"),
                    QStringLiteral("allocationPlanReportDialog"), context, parent) {
  period_ = new QComboBox(this);
  period_->setObjectName(QStringLiteral("planPeriod"));
  for (uint32_t code = kPeriodWeekly; code <= kPeriodAnnual; ++code)
    period_->addItem(FromModel(TPeriod::PeriodNameFromCode(code)), code);
  period_->setCurrentIndex(period_->findData(uint32_t{kPeriodMonthly}));
  Options()->addRow(QStringLiteral("Select Plan Period"), period_);
}

std::unique_ptr<TFormData> TAllocationPlanReportDialog::MakeReport() {
  TAllocationPlanReportOptions options;
  options.period = period_->currentData().toUInt();
  return std::make_unique<TAllocationPlanReport>(context_.document, context_.clock, options);
}

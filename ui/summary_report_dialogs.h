#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <array>

#include "ui/report_dialog.h"

/// "Account Summary Report": the balances of every account; nothing to choose.
class TAccountSummaryReportDialog final : public TReportDialog {
  Q_OBJECT

 public:
  TAccountSummaryReportDialog(TReportContext context, QWidget* parent);
  std::unique_ptr<TFormData> MakeReport() override;
};

/// "Envelope Summary Report": the balances of one envelope node and all below it, on one of six
/// page sizes.
class TEnvelopeSummaryReportDialog final : public TReportDialog {
  Q_OBJECT

 public:
  TEnvelopeSummaryReportDialog(TReportContext context, uint32_t envelopeId, QWidget* parent);
  std::unique_ptr<TFormData> MakeReport() override;
  QListWidget* Items() const { return items_; }
  QComboBox* Size() const { return size_; }

 private:
  QListWidget* items_;
  QComboBox* size_;
};

/// "Envelope Activity Report": what came into and went out of one envelope node and all below
/// it over the dates, in the columns ticked (kept under the "EnvAct.Col..." keys).
class TEnvelopeActivityReportDialog final : public TReportDialog {
  Q_OBJECT

 public:
  static constexpr size_t kColumnCount = 8;

  TEnvelopeActivityReportDialog(TReportContext context, uint32_t envelopeId, QWidget* parent);
  std::unique_ptr<TFormData> MakeReport() override;
  QListWidget* Items() const { return items_; }
  TReportDates& Dates() const { return *dates_; }
  QCheckBox* Column(size_t index) const { return columns_[index]; }

 protected:
  QString RangeText() const override { return dates_->RangeText(); }
  void StoreSettings() override;

 private:
  QListWidget* items_;
  TReportDates* dates_;
  std::array<QCheckBox*, kColumnCount> columns_{};
};

/// "Allocation Plan Report": the plan's amounts converted to the chosen period.
class TAllocationPlanReportDialog final : public TReportDialog {
  Q_OBJECT

 public:
  TAllocationPlanReportDialog(TReportContext context, QWidget* parent);
  std::unique_ptr<TFormData> MakeReport() override;
  QComboBox* Period() const { return period_; }

 private:
  QComboBox* period_;
};

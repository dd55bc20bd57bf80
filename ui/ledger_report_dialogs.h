#pragma once

#include <QCheckBox>
#include <memory>

#include "ui/report_dialog.h"

class QListWidget;
class TEditableFilter;

/// The two ledger report dialogs share the chosen item's list, the dates and the dialog's own
/// report filter that "Advanced Filter..." edits; its date range comes back into the dates.
class TLedgerReportDialog : public TReportDialog {
  Q_OBJECT

 public:
  ~TLedgerReportDialog() override;

  QListWidget* Items() const { return items_; }
  TReportDates& Dates() const { return *dates_; }
  TEditableFilter& Filter() const { return *filter_; }
  /// "Advanced Filter...": the filter dialog over the dialog's filter for the chosen item.
  void EditFilter();

 protected:
  QString RangeText() const override { return dates_->RangeText(); }

  TLedgerReportDialog(const QString& title, const QString& objectName, const QString& itemLabel,
                      bool envelopes, uint32_t chosenId, TReportContext context, QWidget* parent);

  /// The chosen item and dates, with the filter aimed at them; false (the user told) when the
  /// options are not complete.
  bool ReadOptions(uint32_t& id, TDateValue& from, TDateValue& to);

 private:
  QListWidget* items_;
  TReportDates* dates_;
  std::unique_ptr<TEditableFilter> filter_;
};

/// "Account Ledger Report": the transactions of one account over the dates.
class TAccountLedgerReportDialog final : public TLedgerReportDialog {
  Q_OBJECT

 public:
  TAccountLedgerReportDialog(TReportContext context, uint32_t accountId, QWidget* parent);
  std::unique_ptr<TFormData> MakeReport() override;
};

/// "Envelope Ledger Report": the transactions of one envelope node (and all below it) over the
/// dates, with the older clipboard form as an option kept under "EnvLgr.OldFormat".
class TEnvelopeLedgerReportDialog final : public TLedgerReportDialog {
  Q_OBJECT

 public:
  TEnvelopeLedgerReportDialog(TReportContext context, uint32_t envelopeId, QWidget* parent);
  std::unique_ptr<TFormData> MakeReport() override;
  QCheckBox* OldFormat() const { return oldFormat_; }

 protected:
  void StoreSettings() override;

 private:
  QCheckBox* oldFormat_;
};

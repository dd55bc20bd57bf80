#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;
class TAllocationPlan;
class TLedgerWindow;
class TVorlaConfig;

/// "Edit Allocation Plan": the plan's grid of envelopes against income templates, the period
/// its amounts are shown in, and the buttons that add and remove template columns. The dialog
/// keeps its size in the configuration; "Save and Close" accepts it, any other way out rejects
/// it and the plan's edits are dropped.
class TAllocationPlanDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kWidthKey = "AllocPlanDlg.Width";
  static constexpr const char* kHeightKey = "AllocPlanDlg.Height";

  /// `config` gives the sizes and column widths and keeps the size; it may be null.
  TAllocationPlanDialog(TAllocationPlan& plan, TVorlaConfig* config, QWidget* parent = nullptr);
  ~TAllocationPlanDialog() override;

  TLedgerWindow& Ledger() const { return *ledger_; }
  QComboBox& PeriodBox() const { return *periods_; }

 protected:
  void done(int result) override;

 private:
  void Refresh();

  TAllocationPlan& plan_;
  TVorlaConfig* config_;
  TLedgerWindow* ledger_ = nullptr;
  QComboBox* periods_ = nullptr;
};

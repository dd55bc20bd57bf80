#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/amount.h"
#include "planning/allocation_plan_item.h"
#include "planning/period.h"
#include "transactions/ledger_list.h"

class TVorlaData;
class TUserPort;
struct TPlanFile;

/// The allocation plan: the budget as a grid of envelopes against income templates (at most
/// ten), each entry saying how much of that income goes to that envelope per period. It has no
/// stored form of its own: it is loaded from the templates that are marked for the plan and the
/// envelopes' in-plan switches, edited, and written back into them only when the editor closes
/// with "Save and Close". Between uses it holds no rows.
///
/// As the grid's row source it shows every row at once: the envelope rows, then blank rows for
/// typing new envelopes.
class TAllocationPlan final : public TLedgerList {
 public:
  static constexpr int kColumns = TAllocationPlanItem::kColumns;
  static constexpr size_t kBlankRows = 250;
  static constexpr const char* kAllocationLabel = "Allocate to ~e";

  explicit TAllocationPlan(TVorlaData& document);
  ~TAllocationPlan() override;
  TAllocationPlan(const TAllocationPlan&) = delete;
  TAllocationPlan& operator=(const TAllocationPlan&) = delete;

  TVorlaData& Document() const { return document_; }
  TUserPort& User() const;

  bool IsLoaded() const { return loaded_; }
  bool IsModified() const { return modified_; }
  /// Set by the editor's "Save and Close"; only a modified plan is written back.
  void SetModified(bool modified) { modified_ = modified; }

  /// The period in which amounts are shown and typed.
  uint32_t ViewPeriod() const { return viewPeriod_; }
  /// Shows every amount in another period; what is stored does not change.
  void SetViewPeriod(uint32_t period);

  // Columns (0-based). A column is free when its name is empty.
  const std::string& ColumnName(int column) const { return columnNames_[Index(column)]; }
  uint32_t ColumnPeriod(int column) const { return columnPeriods_[Index(column)]; }
  bool IsColumnUsed(int column) const { return !ColumnName(column).empty(); }
  void SetColumn(int column, std::string name, uint32_t period);
  /// The first free column, or -1 when all ten are used.
  int FirstFreeColumn() const;
  int UsedColumns() const;
  /// Removes a column: the later ones (names, periods and amounts) move one place left and the
  /// last becomes free.
  void RemoveColumn(int column);

  // Rows (0-based), present while loaded.
  size_t RowsHeld() const { return rows_.size(); }
  TAllocationPlanItem& Row(size_t row) const { return *rows_[row]; }
  /// The number of rows up to the last one with a name.
  size_t NamedRows() const;
  TAmount ColumnTotal(int column, uint32_t period) const;
  TAmount GrandTotal(uint32_t period) const;

  /// Builds the rows and columns from the templates and envelopes, unless already loaded.
  void Load();
  /// Writes a modified plan back into the templates and envelopes; always discards the rows.
  void Save();
  /// Runs the plan editor; true when it closed with "Save and Close" (the plan is then written
  /// back and the document marked modified).
  bool Edit();
  /// The new-budget wizard: the plan from four monthly incomes asked of the user, or from a plan
  /// file when `planFile` is not empty; then the envelope "Unallocated" and the editor. Returns
  /// what the editor returned.
  bool RunIncomeWizard(const std::string& planFile);
  /// The wizard's plan from four monthly incomes (loads the plan first).
  void ApplyIncomes(const std::array<float, 4>& incomes);
  /// The wizard's plan from a plan file's content (loads the plan first).
  void ApplyPlanFile(const TPlanFile& file);

  /// "Create Template": names the first free column after asking for the name.
  void CreateTemplate();
  /// "Remove Template": removes the column the user picks.
  void RemoveTemplate();
  /// Repaints the grid that shows the plan (totals follow every change).
  void Changed();

  // TLedgerList: every row is present, so there is nothing to page.
  TLedgerItem* Item(int row) override;
  int LoadPrevious(int) override { return 0; }
  int LoadNext(int) override { return 0; }
  void LoadFromTop() override {}
  void LoadAtEnd() override {}
  int LiveCount() const override { return static_cast<int>(NamedRows()); }
  int RowCount() const override { return static_cast<int>(rows_.size()); }
  uint32_t PositionOfRow(int row) override;
  int GoToPosition(uint32_t position) override;
  uint32_t PositionOfLast() override { return static_cast<uint32_t>(rows_.size()); }
  uint32_t PositionOfFirst() override { return rows_.empty() ? 0 : 1; }
  std::string HeaderText(int column) const override;
  std::string FooterText(int column) const override;

 private:
  static size_t Index(int column);
  /// Whether a template of the document has exactly this name.
  bool HasTemplateNamed(std::string_view name) const;
  void AppendBlankRows();
  void Discard();

  TVorlaData& document_;
  std::vector<std::unique_ptr<TAllocationPlanItem>> rows_;
  std::array<std::string, kColumns> columnNames_;
  std::array<uint32_t, kColumns> columnPeriods_{};
  uint32_t viewPeriod_ = kPeriodMonthly;
  bool loaded_ = false;
  bool modified_ = false;
};

/// The document's own allocation plan, made on first use and kept for the document's life, so
/// that the editor opens in the view period it was left in.
TAllocationPlan& PlanOf(TVorlaData& document);

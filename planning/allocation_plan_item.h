#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/amount.h"
#include "transactions/ledger_item.h"

class TAllocationPlan;

/// One row of the allocation plan: an envelope name (empty for a blank row) and one amount per
/// plan column, each stated in its column's period. As a row of the plan's editor it shows the
/// name, the row total, and one amount per column in the plan's view period, and takes typed ones.
class TAllocationPlanItem final : public TLedgerItem {
 public:
  static constexpr int kColumns = 10;
  /// Grid columns: the name, the total, then plan column c in grid column kFirstAmount + c.
  enum : int { kColName = 1, kColTotal = 2, kFirstAmount = 3 };
  /// The name editor's limit: two fewer than an envelope name may hold.
  static constexpr size_t kNameEditLimit = 29;
  static constexpr size_t kAmountEditLimit = 31;

  explicit TAllocationPlanItem(TAllocationPlan& owner) : owner_(&owner) {}

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  /// The amount of plan column `column` (0-based) in that column's period.
  TAmount Amount(int column) const { return amounts_[static_cast<size_t>(column)]; }
  void SetAmount(int column, TAmount amount) { amounts_[static_cast<size_t>(column)] = amount; }
  /// Shifts the amounts of the columns after `column` one place left; the last becomes 0.
  void RemoveColumn(int column);
  void ClearAmounts() { amounts_.fill(TAmount()); }

  /// The amount of a column converted to `period`.
  TAmount AmountIn(int column, uint32_t period) const;
  /// The sum of the ten amounts in `period`.
  TAmount Total(uint32_t period) const;

  TColumnEntry EntryFor(int column, unsigned how) const override;
  void SetColumnText(int column, std::string_view text) override;
  std::string ColumnText(int column) const override;

 private:
  void SetNameEntry(std::string_view text);
  void SetAmountEntry(int planColumn, std::string_view text);
  bool AmountEditable(int planColumn) const;

  TAllocationPlan* owner_;
  std::string name_;
  std::array<TAmount, kColumns> amounts_{};
};

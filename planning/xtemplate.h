#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/amount.h"
#include "core/managed_list.h"
#include "planning/period.h"
#include "planning/template_list.h"
#include "transactions/template_fill.h"

class TUserPort;
class TVorlaData;
class TXItem;

/// A transaction template: a named description of how money is split over envelopes, with the
/// payee and memo texts it gives a transaction. Templates fill transactions ("Apply Template")
/// and, when included in the plan, are the columns of the allocation plan.
class TXTemplate final : public TManagedItem {
 public:
  /// The format version written; 1 has no period, 2 no payee and memo.
  static constexpr uint32_t kFormatVersion = 3;
  static constexpr size_t kNameSize = 128;
  static constexpr size_t kTextSize = 90;

  TXTemplate();
  /// A copy of `other`'s fields and items, without its identifier.
  TXTemplate(const TXTemplate& other);
  TXTemplate& operator=(const TXTemplate&) = delete;
  ~TXTemplate() override;

  std::string Name() const override { return name_; }
  /// Cut to 127 characters.
  void SetName(std::string_view name);
  bool IncludeInPlan() const { return includeInPlan_; }
  void SetIncludeInPlan(bool include) { includeInPlan_ = include; }
  uint32_t Period() const { return period_; }
  void SetPeriod(uint32_t code) { period_ = code; }
  const std::string& PayableTo() const { return payableTo_; }
  void SetPayableTo(std::string_view text);
  const std::string& Memo() const { return memo_; }
  void SetMemo(std::string_view text);
  TXTemplateList& Items() { return *items_; }
  const TXTemplateList& Items() const { return *items_; }

  /// Ordered by name without regard to case.
  bool GoesAfter(const TManagedItem& other) const override;
  void Write(opstream& os) const override;
  /// Reads every format version; fields a version lacks keep their defaults.
  void Read(ipstream& is) override;

  /// The items' amount for an envelope, converted from the template's period to `periodCode`.
  TAmount PlanAmountForEnvelope(uint32_t envelopeId, uint32_t periodCode) const;
  void ReplaceEnvelope(uint32_t oldId, uint32_t newId) { items_->ReplaceEnvelope(oldId, newId); }
  void AddAllocation(uint32_t envelopeId, TAmount amount) {
    items_->AddAllocation(envelopeId, amount);
  }
  /// The items as filling a transaction uses them.
  std::vector<TXTemplatePart> Parts() const;
  /// Fills `item` from the template (texts, then the items) and commits it.
  void ApplyTo(TXItem& item) const;

  /// The document whose template manager holds the template; null for a free template.
  TVorlaData* Document() const;
  /// The editor's rule for a name typed into the template: trimmed, not empty and no other
  /// template's name (exact comparison). Gives the trimmed name, or nothing after telling the
  /// user why not.
  std::optional<std::string> CheckName(std::string_view entered, TUserPort& user) const;

 private:
  std::string name_;
  bool includeInPlan_ = false;
  uint32_t period_ = kPeriodMonthly;
  std::string payableTo_;
  std::string memo_;
  std::unique_ptr<TXTemplateList> items_;
};

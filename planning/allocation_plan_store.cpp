// Loading the allocation plan from the templates and envelopes, and writing it back.
#include <cstdint>
#include <limits>
#include <unordered_set>

#include "core/envelope_list.h"
#include "core/id_object_list.h"
#include "core/vorla_data.h"
#include "planning/allocation_plan.h"
#include "planning/template_list.h"
#include "planning/template_manager.h"
#include "planning/xtemplate.h"

namespace {

// Appends the allocation of `amount` to `items`. An item holds 32 bits of cents; a sum that
// several items of one envelope made together is kept whole in as many items as it needs.
void AddAllocation(TXTemplateList& items, uint32_t envelopeId, TAmount amount) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  int64_t left = amount.Cents();
  while (left > kMax || left < -kMax) {
    const int64_t part = left > 0 ? kMax : -kMax;
    items.AddAllocation(envelopeId, static_cast<int32_t>(part));
    left -= part;
  }
  items.AddAllocation(envelopeId, static_cast<int32_t>(left));
}

}  // namespace

bool TAllocationPlan::HasTemplateNamed(std::string_view name) const {
  const TXTemplateManager& templates = TemplatesOf(document_);
  for (size_t i = 1; i <= templates.Count(); ++i) {
    if (templates.At(i)->Name() == name)
      return true;
  }
  return false;
}

void TAllocationPlan::Load() {
  if (loaded_)
    return;
  loaded_ = true;
  modified_ = false;
  for (int c = 0; c < kColumns; ++c)
    SetColumn(c, {}, kPeriodNone);
  const TXTemplateManager& templates = TemplatesOf(document_);
  std::array<const TXTemplate*, kColumns> columnTemplates{};
  for (size_t i = 1; i <= templates.Count(); ++i) {
    const TXTemplate* candidate = templates.At(i);
    if (!candidate->IncludeInPlan())
      continue;
    const int column = FirstFreeColumn();
    if (column < 0)
      break;
    SetColumn(column, candidate->Name(), candidate->Period());
    columnTemplates[static_cast<size_t>(column)] = candidate;
  }
  rows_.clear();
  const TEnvelopeList& envelopes = document_.Envelopes();
  for (TTreeItem* node = envelopes.RootItem(); node != nullptr;
       node = node->NextInDisplayOrder(true)) {
    const auto* env = dynamic_cast<const TEnv*>(node);
    if (env == nullptr || !env->InAllocationPlan())
      continue;
    auto row = std::make_unique<TAllocationPlanItem>(*this);
    row->SetName(env->Name());
    for (int c = 0; c < kColumns; ++c) {
      if (const TXTemplate* column = columnTemplates[static_cast<size_t>(c)])
        row->SetAmount(c, column->PlanAmountForEnvelope(env->Id(), column->Period()));
    }
    rows_.push_back(std::move(row));
  }
  AppendBlankRows();
  NotifyRowsChanged();
}

void TAllocationPlan::Save() {
  if (!loaded_ || !modified_) {
    Discard();
    return;
  }
  TEnvelopeList& envelopes = document_.Envelopes();
  TXTemplateManager& templates = TemplatesOf(document_);
  const bool anyColumn = UsedColumns() > 0;
  if (anyColumn) {
    for (TTreeItem* node = envelopes.RootItem(); node != nullptr;
         node = node->NextInDisplayOrder(true)) {
      if (auto* env = dynamic_cast<TEnv*>(node))
        env->SetInAllocationPlan(false);
    }
  }
  for (size_t i = 1; i <= templates.Count(); ++i)
    templates.At(i)->SetIncludeInPlan(false);

  // Every named row's envelope, from the last row to the first, made where there is none yet.
  // The envelopes are the same for every column, so they are found once.
  std::vector<uint32_t> rowEnvelopes(rows_.size(), 0);
  if (anyColumn) {
    for (size_t r = rows_.size(); r > 0; --r) {
      const std::string& name = rows_[r - 1]->Name();
      if (name.empty())
        continue;
      uint32_t id = envelopes.EnvelopeIdOfName(name);
      if (id == 0) {
        if (TEnv* made = envelopes.AddEnvelope(envelopes.Root(), name, true))
          id = made->Id();
      }
      envelopes.SetInAllocationPlan(id, true);
      rowEnvelopes[r - 1] = id;
    }
  }

  // Each column writes into its own template: one whose name matches exactly is preferred, and a
  // template that an earlier column took is never taken again, so that no column's amounts
  // replace another's.
  std::unordered_set<const TXTemplate*> taken;
  auto find = [&](const std::string& name, bool exact) -> TXTemplate* {
    for (size_t i = 1; i <= templates.Count(); ++i) {
      TXTemplate* candidate = templates.At(i);
      if (taken.count(candidate) == 0 &&
          (exact ? candidate->Name() == name : EqualNoCase(candidate->Name(), name))) {
        return candidate;
      }
    }
    return nullptr;
  };
  for (int c = 0; c < kColumns; ++c) {
    if (!IsColumnUsed(c))
      continue;
    const std::string& name = ColumnName(c);
    TXTemplate* column = find(name, true);
    if (column == nullptr)
      column = find(name, false);
    if (column == nullptr) {
      auto made = std::make_unique<TXTemplate>();
      made->SetName(name);
      made->SetPayableTo(name);
      column = &templates.Add(std::move(made));
    }
    taken.insert(column);
    // The amounts are stated in the column's period; a template found by name takes that period
    // so that its items keep meaning what the plan showed.
    column->SetPeriod(ColumnPeriod(c));
    column->SetIncludeInPlan(true);
    column->Items().Clear();
    for (size_t r = rows_.size(); r > 0; --r) {
      const TAllocationPlanItem& row = *rows_[r - 1];
      if (row.Name().empty() || rowEnvelopes[r - 1] == 0)
        continue;
      // The stored amount decides, not its rounded view: a cent a year shown weekly is no zero.
      if (row.Amount(c) != TAmount())
        AddAllocation(column->Items(), rowEnvelopes[r - 1], row.Amount(c));
    }
  }
  document_.SetModified();
  Discard();
}

#include "planning/allocation_plan.h"

#include <algorithm>
#include <stdexcept>

#include "core/id_object_list.h"
#include "core/user_port.h"
#include "core/vorla_data.h"

namespace {

// Headings show this much of a template name, and "..." after a longer one.
constexpr size_t kHeadingLength = 7;

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos)
    return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

struct TPlanAttachment final : TDocumentAttachment {
  explicit TPlanAttachment(TVorlaData& document) : plan(document) {}
  TAllocationPlan plan;
};

}  // namespace

TAllocationPlan& PlanOf(TVorlaData& document) {
  if (auto* held = dynamic_cast<TPlanAttachment*>(document.PlanAttachment()))
    return held->plan;
  auto made = std::make_unique<TPlanAttachment>(document);
  TAllocationPlan& plan = made->plan;
  document.SetPlanAttachment(std::move(made));
  return plan;
}

TAllocationPlan::TAllocationPlan(TVorlaData& document) : document_(document) {}

TAllocationPlan::~TAllocationPlan() = default;

TUserPort& TAllocationPlan::User() const {
  return document_.User();
}

size_t TAllocationPlan::Index(int column) {
  if (column < 0 || column >= kColumns)
    throw std::out_of_range("Allocation plan column out of range.");
  return static_cast<size_t>(column);
}

void TAllocationPlan::SetViewPeriod(uint32_t period) {
  viewPeriod_ = period;
  Changed();
}

void TAllocationPlan::SetColumn(int column, std::string name, uint32_t period) {
  columnNames_[Index(column)] = std::move(name);
  columnPeriods_[Index(column)] = period;
}

int TAllocationPlan::FirstFreeColumn() const {
  for (int c = 0; c < kColumns; ++c) {
    if (!IsColumnUsed(c))
      return c;
  }
  return -1;
}

int TAllocationPlan::UsedColumns() const {
  int used = 0;
  for (int c = 0; c < kColumns; ++c)
    used += IsColumnUsed(c) ? 1 : 0;
  return used;
}

void TAllocationPlan::RemoveColumn(int column) {
  for (size_t c = Index(column); c + 1 < kColumns; ++c) {
    columnNames_[c] = columnNames_[c + 1];
    columnPeriods_[c] = columnPeriods_[c + 1];
  }
  columnNames_[kColumns - 1].clear();
  columnPeriods_[kColumns - 1] = kPeriodNone;
  for (auto& row : rows_)
    row->RemoveColumn(column);
}

size_t TAllocationPlan::NamedRows() const {
  for (size_t row = rows_.size(); row > 0; --row) {
    if (!rows_[row - 1]->Name().empty())
      return row;
  }
  return 0;
}

TAmount TAllocationPlan::ColumnTotal(int column, uint32_t period) const {
  TAmount total;
  for (const auto& row : rows_)
    total += row->AmountIn(column, period);
  return total;
}

TAmount TAllocationPlan::GrandTotal(uint32_t period) const {
  TAmount total;
  for (int c = 0; c < kColumns; ++c)
    total += ColumnTotal(c, period);
  return total;
}

void TAllocationPlan::AppendBlankRows() {
  for (size_t i = 0; i < kBlankRows; ++i)
    rows_.push_back(std::make_unique<TAllocationPlanItem>(*this));
}

void TAllocationPlan::Discard() {
  NotifyReloading();
  rows_.clear();
  loaded_ = false;
}

bool TAllocationPlan::Edit() {
  Load();
  const bool saved = User().EditAllocationPlan(*this);
  modified_ = saved;
  Save();
  if (saved)
    document_.SetModified();
  return saved;
}

void TAllocationPlan::CreateTemplate() {
  const int column = FirstFreeColumn();
  if (column < 0) {
    User().Tell("Adding Template", "There is a limit of 10 Templates in the Allocation Plan.",
                TMessageIcon::Error);
    return;
  }
  std::string name = "New Template";
  if (!User().EditString("New Template", "Template Name:", name))
    return;
  name = Trimmed(name);
  if (name.empty())
    return;
  // Two columns whose names differ only in case would be written into one template, the later
  // one's amounts replacing the earlier one's; so the plan's own columns are compared without
  // regard to case, wherever they stand.
  bool taken = false;
  for (int c = 0; c < kColumns && !taken; ++c)
    taken = IsColumnUsed(c) && EqualNoCase(ColumnName(c), name);
  taken = taken || HasTemplateNamed(name);
  if (taken) {
    User().Tell("Add Template Error", "A Template with that name already exists.",
                TMessageIcon::Error);
    return;
  }
  SetColumn(column, std::move(name), viewPeriod_);
  Changed();
}

void TAllocationPlan::RemoveTemplate() {
  std::vector<std::string> names;
  std::vector<int> columns;
  for (int c = 0; c < kColumns; ++c) {
    if (IsColumnUsed(c)) {
      names.push_back(ColumnName(c));
      columns.push_back(c);
    }
  }
  if (names.empty())
    return;
  size_t chosen = 0;
  if (!User().ChooseName("Select Template", names, chosen) || chosen >= columns.size())
    return;
  RemoveColumn(columns[chosen]);
  Changed();
}

void TAllocationPlan::Changed() {
  NotifyRowsChanged();
}

TLedgerItem* TAllocationPlan::Item(int row) {
  if (row < 1 || static_cast<size_t>(row) > rows_.size())
    return nullptr;
  return rows_[static_cast<size_t>(row) - 1].get();
}

uint32_t TAllocationPlan::PositionOfRow(int row) {
  return row >= 1 && static_cast<size_t>(row) <= rows_.size() ? static_cast<uint32_t>(row) : 0;
}

int TAllocationPlan::GoToPosition(uint32_t position) {
  return position > NamedRows() ? kPastLast : kInsideWindow;
}

std::string TAllocationPlan::HeaderText(int column) const {
  if (column == TAllocationPlanItem::kColName)
    return "Envelope";
  if (column == TAllocationPlanItem::kColTotal)
    return "Total";
  const int planColumn = column - TAllocationPlanItem::kFirstAmount;
  if (planColumn < 0 || planColumn >= kColumns)
    return {};
  const std::string& name = ColumnName(planColumn);
  if (name.size() > kHeadingLength)
    return name.substr(0, kHeadingLength) + "...";
  return name;
}

std::string TAllocationPlan::FooterText(int column) const {
  if (column == TAllocationPlanItem::kColName)
    return "Total";
  if (column == TAllocationPlanItem::kColTotal)
    return GrandTotal(viewPeriod_).Format(TAmount::kThousands);
  const int planColumn = column - TAllocationPlanItem::kFirstAmount;
  if (planColumn < 0 || planColumn >= kColumns || !IsColumnUsed(planColumn))
    return {};
  return ColumnTotal(planColumn, viewPeriod_).Format(TAmount::kThousands);
}

#include "reports/allocation_plan_report.h"

#include <algorithm>

#include "core/clock.h"
#include "core/vorla_data.h"
#include "planning/allocation_plan.h"
#include "planning/period.h"
#include "reports/report_text.h"

namespace {

constexpr uint32_t kLightGrey = 0xDCDCDC;
constexpr int kLinesPerPage = TAllocationPlanReport::kRowsPerPage - 2;
constexpr size_t kHeadingLimit = 7;

// Plan amounts are written plain, as the plan's own grid shows them, without brackets.
std::string PlainText(TAmount amount) {
  return MoneyText(amount.Cents());
}

}  // namespace

TAllocationPlanReport::TAllocationPlanReport(TVorlaData& document, const TClock& clock,
                                             const TAllocationPlanReportOptions& options)
    : periodName_(TPeriod::PeriodNameFromCode(options.period)), clock_(clock) {
  // The plan is a working copy built from the templates and envelopes; loading it reads them
  // and an unmodified plan's Save only discards the copy, so the document does not change.
  TAllocationPlan plan(document);
  plan.Load();
  const uint32_t period = options.period;
  for (int slot = 0; slot < kSlots; ++slot) {
    slotNames_[static_cast<size_t>(slot)] = plan.ColumnName(slot);
    slotTotals_[static_cast<size_t>(slot)] = plan.ColumnTotal(slot, period);
  }
  grandTotal_ = plan.GrandTotal(period);
  const size_t named = plan.NamedRows();
  lines_.reserve(named);
  for (size_t row = 0; row < named; ++row) {
    const TAllocationPlanItem& item = plan.Row(row);
    TLine line{item.Name(), item.Total(period), {}};
    for (int slot = 0; slot < kSlots; ++slot)
      line.amounts[static_cast<size_t>(slot)] = item.AmountIn(slot, period);
    lines_.push_back(std::move(line));
  }
  plan.Save();
}

std::string TAllocationPlanReport::Text() const {
  std::string text = "Envelope\tTotal";
  for (int slot = 0; slot < kSlots; ++slot) {
    if (SlotUsed(slot))
      text += "\t" + slotNames_[static_cast<size_t>(slot)];
  }
  text += "\n";
  for (const TLine& line : lines_) {
    text += line.name + "\t" + PlainText(line.total);
    for (int slot = 0; slot < kSlots; ++slot) {
      if (SlotUsed(slot))
        text += "\t" + PlainText(line.amounts[static_cast<size_t>(slot)]);
    }
    text += "\n";
  }
  text += "Total\t" + PlainText(grandTotal_);
  for (int slot = 0; slot < kSlots; ++slot) {
    if (SlotUsed(slot))
      text += "\t" + PlainText(slotTotals_[static_cast<size_t>(slot)]);
  }
  text += "\n";
  return text;
}

std::string TAllocationPlanReport::ExportText() const {
  return WithCrLf(Text());
}

int TAllocationPlanReport::GetPageCount() const {
  return PagesFor(static_cast<int64_t>(lines_.size()), kLinesPerPage);
}

void TAllocationPlanReport::GetSection(int page, int region, TCellInfo& info) const {
  std::vector<uint32_t> widths(2 + kSlots, 15);
  widths[0] = 30;
  // Centred, but not bold as the other reports' headers are.
  SetPlainPageSection(info, page, region, std::move(widths), kRowsPerPage,
                      "Allocation Plan - " + periodName_, TCellInfo::kCentred, clock_);
}

void TAllocationPlanReport::GetCell(int page, int region, int row, int column,
                                    TCellInfo& info) const {
  if (region != 1 || row < 1 || row > kRowsPerPage || column < 1 || column > 2 + kSlots)
    return;
  const int slot = column - 3;  // for columns 3 to 12
  if (row == 1) {
    info.kind = TCellInfo::kText;
    info.flags = TCellInfo::kBold | TCellInfo::kCentred;
    info.background = kLightGrey;
    if (column <= 2) {
      info.text = column == 1 ? "Envelope" : "Total";
    } else {
      const std::string& name = slotNames_[static_cast<size_t>(slot)];
      info.text = name.size() > kHeadingLimit ? name.substr(0, kHeadingLimit) + "..." : name;
    }
    return;
  }
  const bool totals = row == kRowsPerPage;
  const TLine* line = nullptr;
  if (!totals) {
    const int64_t number = int64_t{page - 1} * kLinesPerPage + row - 1;
    if (number < 1 || number > static_cast<int64_t>(lines_.size()))
      return;
    line = &lines_[static_cast<size_t>(number - 1)];
  }
  info.kind = TCellInfo::kText;
  if (column <= 2) {
    info.background = kLightGrey;
    if (column == 1) {
      info.flags = TCellInfo::kBold;
      info.text = totals ? "Total" : line->name;
    } else {
      info.flags = TCellInfo::kBold | TCellInfo::kRight;
      info.text = PlainText(totals ? grandTotal_ : line->total);
    }
    return;
  }
  if (!SlotUsed(slot)) {
    info.kind = 0;
    return;
  }
  const size_t index = static_cast<size_t>(slot);
  info.flags = totals ? TCellInfo::kBold | TCellInfo::kRight : TCellInfo::kRight;
  info.text = PlainText(totals ? slotTotals_[index] : line->amounts[index]);
}

#include "reports/envelope_summary_report.h"

#include <algorithm>

#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/vorla_data.h"
#include "reports/envelope_subtree.h"
#include "reports/report_text.h"

namespace {

// Names stand on the baseline; the low bit, which means nothing for text, is the value the
// printed forms have always carried.
constexpr uint32_t kNameFlags = TCellInfo::kBaseline | 1;

constexpr uint32_t kGrid = TCellInfo::kColumnLines | TCellInfo::kRowLines;

}  // namespace

const TEnvelopeSummaryReport::TLayout& TEnvelopeSummaryReport::LayoutOf(TEnvelopeSummarySize size) {
  static const TLayout kStandard{161, 50, true, {1, 6}, kGrid, true};
  static const TLayout kCards{4, 20, false, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 0, false};
  static const TLayout kAvery{155, 20, false, {2, 4, 6, 8, 10, 12, 14, 16, 18, 20}, 0, false};
  static const TLayout kOrganizer375{152, 35, true, {3, 6}, kGrid, false};
  static const TLayout kOrganizer425{154, 40, true, {1}, kGrid, false};
  static const TLayout kOrganizer550{163, 40, true, {1}, kGrid, false};
  switch (size) {
    case TEnvelopeSummarySize::BusinessCards:
      return kCards;
    case TEnvelopeSummarySize::BusinessCardsAvery:
      return kAvery;
    case TEnvelopeSummarySize::Organizer375:
      return kOrganizer375;
    case TEnvelopeSummarySize::Organizer425:
      return kOrganizer425;
    case TEnvelopeSummarySize::Organizer550:
      return kOrganizer550;
    case TEnvelopeSummarySize::Standard:
      break;
  }
  // A size the dialog never offers falls back to the plain sheet.
  return kStandard;
}

TEnvelopeSummaryReport::TEnvelopeSummaryReport(const TVorlaData& document, const TClock& clock,
                                               const TEnvelopeSummaryOptions& options)
    : layout_(LayoutOf(options.size)), clock_(clock) {
  for (const TSubtreeNode& entry : EnvelopeSubtree(document.Envelopes(), options.envelopeId))
    items_.push_back({entry.node->Name(), entry.level, entry.node->Balance()});
}

int TEnvelopeSummaryReport::ItemsPerTable() const {
  return layout_.rows - (layout_.heading ? 1 : 0);
}

int TEnvelopeSummaryReport::TableNumber(int region) const {
  const auto found = std::find(layout_.tables.begin(), layout_.tables.end(), region);
  return found == layout_.tables.end() ? 0 : static_cast<int>(found - layout_.tables.begin()) + 1;
}

uint32_t TEnvelopeSummaryReport::GetPageFormat(int) const {
  return layout_.format;
}

int TEnvelopeSummaryReport::GetPageCount() const {
  // An empty subtree (a node that has gone) still prints one page of empty tables.
  return PagesFor(static_cast<int64_t>(items_.size()),
                  int64_t{ItemsPerTable()} * static_cast<int64_t>(layout_.tables.size()));
}

void TEnvelopeSummaryReport::GetSection(int page, int region, TCellInfo& info) const {
  if (TableNumber(region) != 0) {
    info.kind = TCellInfo::kTable;
    info.flags = layout_.tableFlags;
    info.table = {{80, 20}, static_cast<uint32_t>(layout_.rows), 0};
    return;
  }
  if (layout_.headerAndFooter && region == kHeaderRegion) {
    if (page == 1)
      SetHeaderSection(info, GetTitle());
    else
      info.kind = TCellInfo::kNothing;
    return;
  }
  if (layout_.headerAndFooter && region == kFooterRegion) {
    SetFooterSection(info, page, clock_);
    return;
  }
  // Card and page outlines, cut marks and rules print as the format draws them.
  info.kind = TCellInfo::kOutline;
}

void TEnvelopeSummaryReport::GetCell(int page, int region, int row, int column,
                                     TCellInfo& info) const {
  const int table = TableNumber(region);
  if (table == 0 || row < 1 || row > layout_.rows || column < 1 || column > 2)
    return;
  const int heading = layout_.heading ? 1 : 0;
  if (row <= heading) {
    SetHeadingCell(info, column == 1 ? "Envelope" : "Balance");
    return;
  }
  const int64_t perTable = ItemsPerTable();
  const int64_t number =
      int64_t{page - 1} * static_cast<int64_t>(layout_.tables.size()) * perTable +
      (table - 1) * perTable + row - heading;
  if (number < 1 || number > static_cast<int64_t>(items_.size()))
    return;
  const TItem& item = items_[static_cast<size_t>(number - 1)];
  if (column == 1) {
    SetTextCell(info, layout_.heading ? IndentedName(item.name, item.level) : item.name,
                kNameFlags);
  } else {
    SetTextCell(info, BracketedMoneyText(item.balance.Cents()),
                TCellInfo::kBaseline | TCellInfo::kRight);
  }
}

std::string TEnvelopeSummaryReport::ExportText() const {
  std::string text = "Envelope\tBalance\r";
  for (const TItem& item : items_)
    text += ExportName(item.name) + "\t" + BracketedMoneyText(item.balance.Cents()) + "\r";
  return text;
}

#include "reports/envelope_summary_report.h"

#include <algorithm>

#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/vorla_data.h"
#include "reports/envelope_subtree.h"
#include "reports/summary_text.h"

namespace {

// Names stand on the baseline; the low bit, which means nothing for text, is the value the
// printed forms have always carried.
constexpr uint32_t kNameFlags = TCellInfo::kBaseline | 1;

constexpr uint32_t kHeadingGrey = 0xC4C4C4;
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
    : layout_(LayoutOf(options.size)), today_(clock.Today()) {
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
  const size_t perPage = static_cast<size_t>(ItemsPerTable()) * layout_.tables.size();
  // An empty subtree (a node that has gone) still prints one page of empty tables.
  return std::max<int>(1, static_cast<int>((items_.size() + perPage - 1) / perPage));
}

void TEnvelopeSummaryReport::GetSection(int page, int region, TCellInfo& info) const {
  if (TableNumber(region) != 0) {
    info.kind = TCellInfo::kTable;
    info.flags = layout_.tableFlags;
    info.table = {{80, 20}, static_cast<uint32_t>(layout_.rows), 0};
    return;
  }
  if (layout_.headerAndFooter && region == 2) {
    if (page != 1) {
      info.kind = TCellInfo::kNothing;
      return;
    }
    info.kind = TCellInfo::kText;
    info.flags = TCellInfo::kBold | TCellInfo::kCentred;
    info.text = GetTitle();
    return;
  }
  if (layout_.headerAndFooter && region == 3) {
    info.kind = TCellInfo::kText;
    info.flags = TCellInfo::kRight;
    info.text = SummaryFooterText(page, today_);
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
    info.kind = TCellInfo::kText;
    info.flags = TCellInfo::kBold | TCellInfo::kBaseline | TCellInfo::kCentred;
    info.background = kHeadingGrey;
    info.text = column == 1 ? "Envelope" : "Balance";
    return;
  }
  const int64_t perTable = ItemsPerTable();
  const int64_t number =
      int64_t{page - 1} * static_cast<int64_t>(layout_.tables.size()) * perTable +
      (table - 1) * perTable + row - heading;
  if (number < 1 || number > static_cast<int64_t>(items_.size()))
    return;
  const TItem& item = items_[static_cast<size_t>(number - 1)];
  info.kind = TCellInfo::kText;
  if (column == 1) {
    info.flags = kNameFlags;
    info.text = layout_.heading ? IndentedName(item.name, item.level) : item.name;
  } else {
    info.flags = TCellInfo::kBaseline | TCellInfo::kRight;
    info.text = SummaryTotalText(item.balance);
  }
}

std::string TEnvelopeSummaryReport::ExportText() const {
  std::string text = "Envelope\tBalance\r";
  for (const TItem& item : items_)
    text += ExportName(item.name) + "\t" + SummaryTotalText(item.balance) + "\r";
  return text;
}

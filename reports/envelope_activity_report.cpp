#include "reports/envelope_activity_report.h"

#include <algorithm>
#include <array>

#include "core/clock.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/vorla_data.h"
#include "reports/envelope_subtree.h"
#include "reports/report_text.h"
#include "transactions/xmanager.h"

namespace {

// Names stand on the baseline; the low bit, which means nothing for text, is the value the
// printed forms have always carried.
constexpr uint32_t kNameFlags = TCellInfo::kBaseline | 1;

struct TColumn {
  uint32_t bit;
  const char* heading;
};

constexpr std::array<TColumn, 8> kColumns = {{
    {kActivityAlloc, "Alloc"},
    {kActivityExpense, "Expense"},
    {kActivityTransIn, "X-In"},
    {kActivityTransOut, "X-Out"},
    {kActivityAllIn, "All-In"},
    {kActivityAllOut, "All-Out"},
    {kActivityStart, "Start"},
    {kActivityEnd, "End"},
}};

const char* HeadingOf(uint32_t bit) {
  for (const TColumn& column : kColumns) {
    if (column.bit == bit)
      return column.heading;
  }
  return "";
}

}  // namespace

TEnvelopeActivityReport::TEnvelopeActivityReport(const TVorlaData& document, const TClock& clock,
                                                 const TEnvelopeActivityOptions& options)
    : from_(options.from), to_(options.to), clock_(clock) {
  for (const TColumn& column : kColumns) {
    if ((options.columns & column.bit) != 0)
      columns_.push_back(column.bit);
  }
  const std::vector<TSubtreeNode> nodes = EnvelopeSubtree(document.Envelopes(), options.envelopeId);
  std::vector<TEnvActivityTotals> totals;
  totals.reserve(nodes.size());
  for (const TSubtreeNode& entry : nodes)
    totals.push_back({entry.node->Id()});
  if (!nodes.empty()) {
    // One walk over the whole store adds every record into the rows that hold its envelope.
    const TEnvActivityFilter filter(from_, to_, nodes.front().node->Id(), totals,
                                    document.Envelopes());
    dynamic_cast<const TXManager&>(*document.Transactions()).Count(filter);
  }
  rows_.reserve(nodes.size());
  for (size_t i = 0; i < nodes.size(); ++i)
    rows_.push_back({nodes[i].node->Name(), nodes[i].level, totals[i]});
}

TAmount TEnvelopeActivityReport::Value(const TEnvActivityTotals& totals, uint32_t column) {
  switch (column) {
    case kActivityAlloc:
      return TAmount::FromCents(totals.deposits);
    case kActivityExpense:
      return TAmount::FromCents(totals.payments);
    case kActivityTransIn:
      return TAmount::FromCents(totals.transfersIn);
    case kActivityTransOut:
      return TAmount::FromCents(totals.transfersOut);
    case kActivityAllIn:
      return TAmount::FromCents(totals.deposits + totals.transfersIn);
    case kActivityAllOut:
      return TAmount::FromCents(totals.payments + totals.transfersOut);
    case kActivityStart:
      return TAmount::FromCents(totals.beforeStart);
    case kActivityEnd:
      return TAmount::FromCents(totals.beforeStart + totals.deposits + totals.transfersIn -
                                totals.transfersOut - totals.payments);
    default:
      return {};
  }
}

int TEnvelopeActivityReport::GetPageCount() const {
  return PagesFor(static_cast<int64_t>(rows_.size()), kRowsPerPage - 1);
}

void TEnvelopeActivityReport::GetSection(int page, int region, TCellInfo& info) const {
  const auto k = static_cast<uint32_t>(columns_.size());
  std::vector<uint32_t> widths(k + 1, 10);
  widths[0] = 100 - 10 * k;
  SetPlainPageSection(
      info, page, region, std::move(widths), kRowsPerPage,
      "Envelope Activity Report from " + FullDateText(from_) + " to " + FullDateText(to_),
      TCellInfo::kBold | TCellInfo::kCentred, clock_);
}

void TEnvelopeActivityReport::GetCell(int page, int region, int row, int column,
                                      TCellInfo& info) const {
  if (region != 1 || row < 1 || row > kRowsPerPage || column < 1 ||
      column > static_cast<int>(columns_.size()) + 1)
    return;
  if (row == 1) {
    SetHeadingCell(info,
                   column == 1 ? "Envelope" : HeadingOf(columns_[static_cast<size_t>(column - 2)]));
    return;
  }
  const int64_t position = int64_t{page - 1} * (kRowsPerPage - 1) + row - 1;
  if (position < 1 || position > static_cast<int64_t>(rows_.size()))
    return;
  const TRow& entry = rows_[static_cast<size_t>(position - 1)];
  if (column == 1) {
    SetTextCell(info, IndentedName(entry.name, entry.level), kNameFlags);
  } else {
    const TAmount value = Value(entry.totals, columns_[static_cast<size_t>(column - 2)]);
    SetTextCell(info, BracketedMoneyText(value.Cents()), TCellInfo::kBaseline | TCellInfo::kRight);
  }
}

std::string TEnvelopeActivityReport::ExportText() const {
  std::string text = "Envelope";
  for (uint32_t column : columns_)
    text += std::string("\t") + HeadingOf(column);
  text += "\r";
  for (const TRow& entry : rows_) {
    text += ExportName(entry.name);
    for (uint32_t column : columns_)
      text += "\t" + BracketedMoneyText(Value(entry.totals, column).Cents());
    text += "\r";
  }
  return text;
}

#include "reports/ledger_report.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <utility>

#include "core/account_list.h"
#include "core/envelope_list.h"
#include "core/vorla_data.h"
#include "reports/report_options.h"
#include "reports/report_text.h"
#include "transactions/editable_filter.h"
#include "transactions/xmanager.h"
#include "transactions/xordering.h"
#include "transactions/xslot_index.h"

namespace {

/// Passes the report's filter through and notes every record it accepts, with its amount in
/// the totals, as the manager's walk meets them in ledger order.
class TGatherFilter final : public TXFilter {
 public:
  TGatherFilter(const TXFilter& filter, std::vector<uint32_t>& ids, int64_t& payments,
                int64_t& deposits)
      : filter_(filter), ids_(ids), payments_(payments), deposits_(deposits) {}

  bool Accepts(const TXRecord& record) const override {
    if (!filter_.Accepts(record))
      return false;
    ids_.push_back(record.Id);
    if (record.amount > 0)
      deposits_ += record.amount;
    else if (record.amount < 0)
      payments_ -= record.amount;
    return true;
  }

 private:
  const TXFilter& filter_;
  std::vector<uint32_t>& ids_;
  int64_t& payments_;
  int64_t& deposits_;
};

// Records typed since their ledger opened stay unsorted in the store for as long as a view holds
// them. The report puts each where the store will put it when it lets go of it, by the store's
// own rule, over the records already in order; nothing in the store moves.
void PlaceHeldRecords(const TXManager& manager, const TXOrdering& ordering,
                      std::vector<uint32_t>& ids) {
  struct TSlot {
    uint32_t id;
    const TXRecord* record;
    bool pending;
  };
  std::vector<TSlot> slots;  // slots[0] stands for none, as slot 0 does in the store
  slots.push_back({});
  bool any = false;
  for (uint32_t id : ids) {
    const TXRecord* record = manager.FindRecord(id);
    const bool pending = record != nullptr && (record->Flags & kXUnsorted) != 0;
    any = any || pending;
    slots.push_back({id, record, pending});
  }
  if (!any)
    return;
  const auto last = static_cast<uint32_t>(slots.size() - 1);
  auto previous = [&slots](uint32_t slot) {
    while (--slot > 0 && slots[slot].pending) {
    }
    return slot;
  };
  auto next = [&slots, last](uint32_t slot) {
    while (++slot <= last && slots[slot].pending) {
    }
    return slot <= last ? slot : 0;
  };
  for (uint32_t index = 1; index <= last; ++index) {
    if (!slots[index].pending)
      continue;
    slots[index].pending = false;
    const TSlot placed = slots[index];
    const TXOrdering::Key key(*placed.record);
    const uint32_t to = PlaceOneRecord(index, previous, next, [&](uint32_t slot) {
      return ordering.Before(key, index, *slots[slot].record, slot);
    });
    if (to < index) {
      std::move_backward(slots.begin() + to, slots.begin() + index, slots.begin() + index + 1);
    } else if (to > index) {
      std::move(slots.begin() + index + 1, slots.begin() + to + 1, slots.begin() + index);
      // The slot that moved into this place has not been looked at yet.
      --index;
    }
    slots[to] = placed;
  }
  for (uint32_t slot = 1; slot <= last; ++slot)
    ids[slot - 1] = slots[slot].id;
}

std::string CutTo(std::string text, size_t limit) {
  if (text.size() > limit)
    text.resize(limit);
  return text;
}

}  // namespace

TLedgerReport::TLedgerReport(const TVorlaData& document, const TClock& clock,
                             const TLedgerReportOptions& options, const TLedgerLayout& layout)
    : layout_(layout), clock_(clock) {
  const bool accountReport = (layout.filterMode & TEditableFilter::kAccount) != 0;
  subject_ = accountReport ? document.Accounts().NameOfAccount(options.id)
                           : document.Envelopes().NameOfId(options.id);
  manager_ = &TransactionsOf(document);

  std::unique_ptr<TEditableFilter> own;
  TEditableFilter* filter = options.filter;
  if (filter == nullptr) {
    own = std::make_unique<TEditableFilter>(layout.filterMode, options.id, document.Envelopes(),
                                            document.Accounts(), clock);
    filter = own.get();
  }
  filter->SetTargetId(options.id);
  filter->SetDateRange(options.from, options.to);
  filter->SetDateRangeActive(!(options.from.IsEmpty() && options.to.IsEmpty()));

  // Keyed walks pass over the stretches of the store without the account or envelope; an
  // envelope node with envelopes below it gathers from everywhere.
  TXWalkKey key = TXWalkKey::None;
  if (accountReport)
    key = TXWalkKey::Account;
  else if (document.Envelopes().Envelope(options.id) != nullptr)
    key = TXWalkKey::Envelope;
  const TGatherFilter gather(*filter, ids_, payments_, deposits_);
  if (key == TXWalkKey::None)
    manager_->Count(gather);
  else
    manager_->Count(TXKeyedFilter(gather, key, options.id));
  PlaceHeldRecords(*manager_, TXOrdering(&document.Envelopes()), ids_);
}

uint32_t TLedgerReport::GetPageFormat(int) const {
  return kPlainPageFormat;
}

int TLedgerReport::GetPageCount() const {
  // The transactions, a blank line, the subtotals, a blank line and the total.
  return PagesFor(static_cast<int64_t>(ids_.size()) + 4, kLinesPerPage);
}

void TLedgerReport::GetSection(int page, int region, TCellInfo& info) const {
  std::vector<uint32_t> widths;
  for (const TLedgerColumn& column : layout_.columns)
    widths.push_back(column.width);
  SetPlainPageSection(info, page, region, std::move(widths), kRowsPerPage,
                      layout_.headerStart + subject_, TCellInfo::kBold | TCellInfo::kCentred,
                      clock_);
}

void TLedgerReport::GetCell(int page, int region, int row, int column, TCellInfo& info) const {
  const int columns = static_cast<int>(layout_.columns.size());
  if (region != kTableRegion || page < 1 || row < 1 || row > kRowsPerPage || column < 1 ||
      column > columns) {
    return;
  }
  const TLedgerColumn& spec = layout_.columns[column - 1];
  if (row == 1) {
    SetHeadingCell(info, spec.heading);
    return;
  }
  const int64_t n = static_cast<int64_t>(ids_.size());
  const int64_t position = row + int64_t{page - 1} * kLinesPerPage - 1;
  if (position <= n) {
    const size_t at = static_cast<size_t>(position);
    if (cachedPosition_ != at) {
      cachedRow_ = RowTexts(at);
      cachedPosition_ = at;
    }
    SetTextCell(info, cachedRow_[column - 1], spec.flags);
    return;
  }
  const bool subtotals = position == n + 2;
  if (!subtotals && position != n + 4)
    return;
  const int paymentColumn = columns - 1;
  if (column == layout_.labelColumn)
    SetTextCell(info, subtotals ? "Subtotals" : "Total", spec.flags);
  else if (column == paymentColumn)
    SetTextCell(info, BracketedMoneyText(subtotals ? payments_ : NetTotal()), spec.flags);
  else if (column == columns && subtotals)
    SetTextCell(info, BracketedMoneyText(deposits_), spec.flags);
}

std::string TLedgerReport::CellText(const TXItem& item, int cell) const {
  if (cell != kDescriptionCell)
    return item.ColumnText(cell);
  std::string text = CutTo(item.ColumnText(TXItem::kColPayableToExpanded), kDescriptionPartLimit);
  const std::string memo = CutTo(item.ColumnText(TXItem::kColMemoExpanded), kDescriptionPartLimit);
  if (!memo.empty())
    text += " (" + memo + ")";
  return text;
}

std::vector<std::string> TLedgerReport::RowTexts(size_t position) const {
  std::vector<std::string> texts(layout_.columns.size());
  if (position < 1 || position > ids_.size())
    return texts;
  const uint32_t id = ids_[position - 1];
  // The document cannot change under an open report, but a record gone is shown empty rather
  // than taken as a broken budget.
  if (manager_->FindRecord(id) == nullptr)
    return texts;
  const TXHold item(manager_->Get(id));
  for (size_t column = 0; column < texts.size(); ++column)
    texts[column] = CellText(*item, layout_.columns[column].cell);
  return texts;
}

void TLedgerReport::AppendLine(std::string& out, const std::vector<std::string>& texts, int skip,
                               const char* end) {
  bool first = true;
  for (size_t column = 0; column < texts.size(); ++column) {
    if (static_cast<int>(column) + 1 == skip)
      continue;
    if (!first)
      out.push_back('\t');
    out += texts[column];
    first = false;
  }
  out += end;
}

std::string TLedgerReport::ClosingLines() const {
  // The words fall in the label column, the sums in the payment and deposit columns.
  const std::string lead(static_cast<size_t>(layout_.labelColumn - 1), '\t');
  return "\n" + lead + "Subtotals\t\t" + BracketedMoneyText(payments_) + "\t" +
         BracketedMoneyText(deposits_) + "\n\n" + lead + "Total\t\t" +
         BracketedMoneyText(NetTotal()) + "\t\n";
}

std::string TLedgerReport::BuildText(const char* header, int skip, const char* end) const {
  // The text is sized from its first lines, so that a long report is neither copied as it
  // grows nor given twice the room it needs.
  constexpr size_t kSample = 64;
  std::string out = header;
  const size_t sample = std::min(ids_.size(), kSample);
  for (size_t position = 1; position <= sample; ++position)
    AppendLine(out, RowTexts(position), skip, end);
  if (sample > 0 && ids_.size() > sample) {
    const size_t perLine = (out.size() - std::string_view(header).size()) / sample + 1;
    out.reserve(out.size() + (ids_.size() - sample) * perLine * 9 / 8 + 256);
  }
  for (size_t position = sample + 1; position <= ids_.size(); ++position)
    AppendLine(out, RowTexts(position), skip, end);
  out += ClosingLines();
  return out;
}

std::string TLedgerReport::ExportText() const {
  return BuildText(layout_.exportHeader, 0, "\n");
}

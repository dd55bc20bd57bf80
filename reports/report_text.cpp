#include "reports/report_text.h"

#include <utility>

#include "core/amount.h"
#include "core/clock.h"

std::string MoneyText(int64_t cents) {
  return TAmount::FromCents(cents).Format(TAmount::kThousands);
}

std::string BracketedMoneyText(int64_t cents) {
  return TAmount::FromCents(cents).Format(TAmount::kThousands | TAmount::kParentheses);
}

std::string ShortDateText(TDateValue date) {
  return date.Format(TDateValue::kShortYear);
}

std::string FullDateText(TDateValue date) {
  return date.Format(TDateValue::kFullYear);
}

std::string PageFooterText(int page, const TClock& clock) {
  return "Page " + std::to_string(page) + ", " + FullDateText(clock.Today());
}

int PagesFor(int64_t items, int64_t perPage) {
  if (items <= 0 || perPage <= 0)
    return 1;
  return static_cast<int>((items + perPage - 1) / perPage);
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n')
      out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

void SetTableSection(TCellInfo& info, std::vector<uint32_t> widths, uint32_t rows) {
  info.kind = TCellInfo::kTable;
  info.flags = TCellInfo::kColumnLines | TCellInfo::kRowLines;
  info.table.widths = std::move(widths);
  info.table.rows = rows;
  info.table.penWidth = 0;
}

void SetHeaderSection(TCellInfo& info, std::string text) {
  SetTextCell(info, std::move(text), TCellInfo::kBold | TCellInfo::kCentred);
}

void SetFooterSection(TCellInfo& info, int page, const TClock& clock) {
  SetTextCell(info, PageFooterText(page, clock), TCellInfo::kRight);
}

void SetPlainPageSection(TCellInfo& info, int page, int region, std::vector<uint32_t> widths,
                         uint32_t rows, const std::string& header, uint32_t headerFlags,
                         const TClock& clock) {
  switch (region) {
    case kTableRegion:
      SetTableSection(info, std::move(widths), rows);
      return;
    case kHeaderRegion:
      if (page == 1)
        SetTextCell(info, header, headerFlags);
      else
        info.kind = TCellInfo::kNothing;
      return;
    case kFooterRegion:
      SetFooterSection(info, page, clock);
      return;
    default:
      info.kind = TCellInfo::kNothing;
  }
}

void SetHeadingCell(TCellInfo& info, std::string text) {
  SetTextCell(info, std::move(text), TCellInfo::kBold | TCellInfo::kBaseline | TCellInfo::kCentred);
  info.background = kHeadingGrey;
}

void SetTextCell(TCellInfo& info, std::string text, uint32_t flags) {
  info.kind = TCellInfo::kText;
  info.flags = flags;
  info.text = std::move(text);
}

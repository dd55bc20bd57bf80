#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/date_value.h"
#include "reports/form_engine.h"

class TClock;

/// The page format of the plain report page: region 1 the table, 2 the header, 3 the footer.
inline constexpr uint32_t kPlainPageFormat = 100;
inline constexpr int kTableRegion = 1;
inline constexpr int kHeaderRegion = 2;
inline constexpr int kFooterRegion = 3;
/// The background of a table's heading row.
inline constexpr uint32_t kHeadingGrey = 0xC4C4C4;
/// Left-aligned and clipped to the cell (the check flag is carried along; text ignores it).
inline constexpr uint32_t kLeftClipped = TCellInfo::kClipped | TCellInfo::kChecked;

/// The money text of one amount: "1,234.56", "-0.05".
std::string MoneyText(int64_t cents);
/// The money text of a total: " 1,234.56 " when it is not negative, "(1,234.56)" when it is.
std::string BracketedMoneyText(int64_t cents);
/// A transaction's date as the reports write it: MM/DD/YY.
std::string ShortDateText(TDateValue date);
/// A date in page headers and footers: MM/DD/YYYY.
std::string FullDateText(TDateValue date);
/// The page footer: "Page 3, 03/15/2024" with today's date from the clock.
std::string PageFooterText(int page, const TClock& clock);
/// How many pages `items` rows take at `perPage` rows a page; never fewer than one, so that a
/// report of nothing still prints its headings.
int PagesFor(int64_t items, int64_t perPage);
/// The text with every "\n" written as "\r\n", as a file opened in text mode on the original
/// platform receives it.
std::string WithCrLf(std::string_view text);

/// The answers the reports of the plain page share.
/// A table with column and row lines and a frame, drawn with the thinnest pen.
void SetTableSection(TCellInfo& info, std::vector<uint32_t> widths, uint32_t rows);
/// The page-1 header: bold and centred.
void SetHeaderSection(TCellInfo& info, std::string text);
void SetFooterSection(TCellInfo& info, int page, const TClock& clock);
/// The regions of the plain page together: the table, the header on page 1 only (with
/// `headerFlags`), the footer on every page, and nothing for any other region.
void SetPlainPageSection(TCellInfo& info, int page, int region, std::vector<uint32_t> widths,
                         uint32_t rows, const std::string& header, uint32_t headerFlags,
                         const TClock& clock);
/// A heading cell: bold and centred on grey.
void SetHeadingCell(TCellInfo& info, std::string text);
void SetTextCell(TCellInfo& info, std::string text, uint32_t flags);

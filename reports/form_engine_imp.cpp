#include "reports/form_engine_imp.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

TFormRect Inset(const TFormRect& rect, double by) {
  return {rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

}  // namespace

CFWEngineImp::CFWEngineImp(const CFWEngine& report, TPageFormatSource formats)
    : report_(report), formats_(std::move(formats)) {}

const TRecordedPage* CFWEngineImp::Page(int page, int& loadResult) {
  loadResult = CBxMetaFile::kLoaded;
  if (page_ && cachedPage_ == page)
    return page_.get();
  page_.reset();
  cachedPage_ = 0;
  if (page < 1 || page > report_.GetPageCount()) {
    loadResult = CBxMetaFile::kFormatMissing;
    return nullptr;
  }
  uint32_t number = report_.GetPageFormat(page);
  if (!format_.IsLoaded() || formatNumber_ != number) {
    loadResult = format_.LoadFromResource(number, formats_);
    if (loadResult != CBxMetaFile::kLoaded)
      return nullptr;
    formatNumber_ = number;
  }
  const TPageFormat& format = format_.Format();
  page_ = std::make_unique<TRecordedPage>();
  page_->widthMm = format.widthMm;
  page_->heightMm = format.heightMm;
  page_->extent = format.extent;
  page_->records.reserve(format.records.size());
  region_ = 0;
  for (const TPageRecord& record : format.records) {
    if (std::optional<TFormRect> rect = RegionOf(record))
      FillRegion(page, record, *rect);
    else
      page_->records.push_back(record);
  }
  cachedPage_ = page;
  ++builds_;
  return page_.get();
}

void CFWEngineImp::FillRegion(int page, const TPageRecord& region, const TFormRect& rect) {
  TCellInfo info;
  info.rect = rect;
  report_.GetSection(page, ++region_, info);
  info.rect = rect;  // the report answers what to draw, not where
  switch (info.kind) {
    case TCellInfo::kOutline:
      page_->records.push_back(region);
      break;
    case TCellInfo::kText:
      DrawText(info, rect);
      break;
    case TCellInfo::kCheckBox:
      DrawCheckBox(info, rect);
      break;
    case TCellInfo::kOption:
      DrawOption(info, rect);
      break;
    case TCellInfo::kTable:
      if ((info.flags & TCellInfo::kTableOutline) != 0)
        page_->records.push_back(region);
      DrawTable(page, info);
      break;
    default:  // kNothing and anything unknown leave no trace
      break;
  }
}

void CFWEngineImp::DrawText(const TCellInfo& info, const TFormRect& rect) {
  if (info.text.empty())
    return;
  TPageRecord record;
  record.kind = TPageRecord::kText;
  record.rect = rect;
  record.text = info.text;
  record.face = info.face.empty() ? "Tahoma" : info.face;
  record.height = rect.Height() * 4 / 5;
  record.weight = (info.flags & TCellInfo::kBold) != 0 ? 700 : 400;
  record.italic = (info.flags & TCellInfo::kItalic) != 0;
  record.align = (info.flags & TCellInfo::kCentred) != 0 ? TTextAlign::kCentre
                 : (info.flags & TCellInfo::kRight) != 0 ? TTextAlign::kRight
                                                         : TTextAlign::kLeft;
  record.baseline = (info.flags & TCellInfo::kBaseline) != 0;
  record.textColour = info.textColour;
  record.opaque = (info.flags & TCellInfo::kOpaque) != 0;
  // Colour 0 means "no background"; opaque text on no background stands on white.
  record.background = info.background != 0 ? info.background : kWhite;
  record.clip = (info.flags & TCellInfo::kClipped) != 0;
  page_->records.push_back(std::move(record));
}

void CFWEngineImp::DrawCheckBox(const TCellInfo& info, const TFormRect& rect) {
  // A square in the middle of the rectangle, as large as fits.
  double side = std::min(rect.Width(), rect.Height());
  double x = rect.left + (rect.Width() - side) / 2;
  double y = rect.top + (rect.Height() - side) / 2;
  TFormRect box{x, y, x + side, y + side};
  bool black = (info.flags & TCellInfo::kRight) != 0;
  page_->records.push_back(RectangleRecord(box, true, 1, true, black ? 0 : kWhite));
  if ((info.flags & TCellInfo::kChecked) != 0) {
    double pen = info.table.penWidth;
    page_->records.push_back(LineRecord({box.left, box.top}, {box.right, box.bottom}, pen));
    page_->records.push_back(LineRecord({box.left, box.bottom}, {box.right, box.top}, pen));
  }
}

void CFWEngineImp::DrawOption(const TCellInfo& info, const TFormRect& rect) {
  TPageRecord circle = RectangleRecord(rect, true, 0, true, kWhite);
  circle.kind = TPageRecord::kEllipse;
  page_->records.push_back(circle);
  if ((info.flags & TCellInfo::kChecked) != 0) {
    TPageRecord dot =
        RectangleRecord(Inset(rect, std::min(rect.Width(), rect.Height()) / 4), false, 0, true, 0);
    dot.kind = TPageRecord::kEllipse;
    page_->records.push_back(dot);
  }
}

void CFWEngineImp::DrawTable(int page, const TCellInfo& info) {
  const TTableLayout& layout = info.table;
  const TFormRect& area = info.rect;
  uint64_t units = std::accumulate(layout.widths.begin(), layout.widths.end(), uint64_t{0});
  if (layout.rows == 0 || units == 0)
    return;  // nothing to lay out, and no division by zero
  // Whole logical units, as the devices count them: what is left over is cut from the bottom
  // (rows) or given to the last column.
  double rowHeight = std::floor(area.Height() / layout.rows);
  double unitWidth = std::floor(area.Width() / static_cast<double>(units));
  if (rowHeight <= 0 || unitWidth <= 0)
    return;
  const int columns = static_cast<int>(layout.widths.size());
  std::vector<double> edges{area.left};
  for (int column = 0; column < columns; ++column)
    edges.push_back(column + 1 == columns ? area.right
                                          : edges.back() + layout.widths[column] * unitWidth);
  const double inset = rowHeight / 8;
  for (uint32_t row = 1; row <= layout.rows; ++row) {
    double top = area.top + (row - 1) * rowHeight;
    for (int column = 1; column <= columns; ++column) {
      TCellInfo cell;
      TFormRect rect{edges[column - 1], top, edges[column], top + rowHeight};
      cell.rect = rect;
      report_.GetCell(page, region_, static_cast<int>(row), column, cell);
      if (cell.background != 0)
        page_->records.push_back(RectangleRecord(rect, false, 0, true, cell.background));
      if (cell.kind == TCellInfo::kText)
        DrawText(cell, Inset(rect, inset));
      else if (cell.kind == TCellInfo::kCheckBox)
        DrawCheckBox(cell, rect);
      else if (cell.kind == TCellInfo::kOption)
        DrawOption(cell, rect);
    }
  }
  if ((info.flags & TCellInfo::kNoPen) != 0)
    return;
  const double pen = layout.penWidth;
  const double bottom = area.top + layout.rows * rowHeight;
  const uint32_t grid = info.flags & (TCellInfo::kColumnLines | TCellInfo::kRowLines);
  if (grid == (TCellInfo::kColumnLines | TCellInfo::kRowLines))
    page_->records.push_back(
        RectangleRecord({area.left, area.top, area.right, bottom}, true, pen, false, 0));
  if ((info.flags & TCellInfo::kRowLines) != 0) {
    for (uint32_t row = 1; row < layout.rows; ++row) {
      double y = area.top + row * rowHeight;
      page_->records.push_back(LineRecord({area.left, y}, {area.right, y}, pen));
    }
  }
  if ((info.flags & TCellInfo::kColumnLines) != 0) {
    for (int column = 1; column < columns; ++column)
      page_->records.push_back(LineRecord({edges[column], area.top}, {edges[column], bottom}, pen));
  }
}

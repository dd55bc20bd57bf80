#include "reports/recorded_page.h"

TPageRecord LineRecord(TFormPoint from, TFormPoint to, double width) {
  TPageRecord record;
  record.kind = TPageRecord::kLine;
  record.points = {from, to};
  record.strokeWidth = width;
  return record;
}

TPageRecord RectangleRecord(const TFormRect& rect, bool stroked, double width, bool filled,
                            uint32_t fill) {
  TPageRecord record;
  record.kind = TPageRecord::kRectangle;
  record.rect = rect;
  record.stroked = stroked;
  record.strokeWidth = width;
  record.filled = filled;
  record.fillColour = fill;
  return record;
}

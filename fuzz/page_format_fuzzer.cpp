// Feeds arbitrary bytes to the page-format reader, and a page format it accepts to the form
// engine with a report that fills every region with a table. Whatever the bytes, a format it
// accepts has a positive view box, finite coordinates within the limits and no more records
// than allowed, and the engine builds a page from it.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "reports/form_engine_imp.h"
#include "reports/page_format.h"

namespace {

void Require(bool condition) {
  if (!condition)
    std::abort();
}

bool Bounded(double value) {
  return std::isfinite(value) && std::fabs(value) <= 1e7;
}

class TTableEverywhere : public CFWEngine {
 public:
  uint32_t GetPageFormat(int) const override { return 1; }
  void GetSection(int, int region, TCellInfo& info) const override {
    info.kind = region % 2 != 0 ? TCellInfo::kTable : TCellInfo::kOutline;
    info.flags = TCellInfo::kColumnLines | TCellInfo::kRowLines | TCellInfo::kTableOutline;
    info.table.widths = {1, 2, 3};
    info.table.rows = 4;
  }
  void GetCell(int, int, int row, int, TCellInfo& info) const override {
    info.kind = row % 2 != 0 ? TCellInfo::kText : TCellInfo::kCheckBox;
    info.text = "x";
  }
  int GetPageCount() const override { return 1; }
  std::string GetTitle() const override { return "Fuzz"; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view svg(reinterpret_cast<const char*>(data), size);
  TPageFormat format;
  std::string error;
  if (!ParsePageFormat(svg, format, error)) {
    Require(!error.empty());
    return 0;
  }
  Require(format.extent.Width() > 0 && format.extent.Height() > 0);
  Require(format.widthMm > 0 && format.heightMm > 0);
  Require(format.records.size() <= kMaxPageFormatRecords);
  size_t regions = 0;
  for (const TPageRecord& record : format.records) {
    Require(Bounded(record.rect.left) && Bounded(record.rect.top) && Bounded(record.rect.right) &&
            Bounded(record.rect.bottom) && std::isfinite(record.strokeWidth));
    for (const TFormPoint& point : record.points)
      Require(Bounded(point.x) && Bounded(point.y));
    regions += RegionOf(record).has_value() ? 1 : 0;
  }
  TTableEverywhere report;
  CFWEngineImp engine(report, [&](uint32_t) { return svg; });
  int result = -1;
  const TRecordedPage* page = engine.Page(1, result);
  Require(page != nullptr && result == 0);
  Require(page->records.size() <= format.records.size() + regions * 40);
  return 0;
}

#pragma once

#include <cstdint>
#include <memory>

#include "reports/form_engine.h"
#include "reports/page_format.h"
#include "reports/recorded_page.h"

/// Builds the pages of a report: the page format's drawing with every region replaced by what
/// the report answers for it. One finished page is kept; asking for it again costs nothing,
/// asking for another page builds that one in its place.
class CFWEngineImp {
 public:
  explicit CFWEngineImp(const CFWEngine& report, TPageFormatSource formats = BuiltInPageFormat);

  /// The finished page `page` (from 1), or null when its page format cannot be loaded
  /// (`loadResult` then holds the loader's code, CBxMetaFile::kFormatMissing) or the report
  /// has no such page (also kFormatMissing). The page stays valid until another page is asked
  /// for or the engine is destroyed.
  const TRecordedPage* Page(int page, int& loadResult);

  /// How many times a page was built rather than taken from the cache.
  int BuildCount() const { return builds_; }

 private:
  void FillRegion(int page, const TPageRecord& region, const TFormRect& rect);
  void DrawTable(int page, const TCellInfo& info);
  void DrawText(const TCellInfo& info, const TFormRect& rect);
  void DrawCheckBox(const TCellInfo& info, const TFormRect& rect);
  void DrawOption(const TCellInfo& info, const TFormRect& rect);

  const CFWEngine& report_;
  TPageFormatSource formats_;
  CBxMetaFile format_;
  uint32_t formatNumber_ = 0;  ///< the loaded format; pages of one report mostly share it
  int region_ = 0;             ///< the region being filled
  int cachedPage_ = 0;
  std::unique_ptr<TRecordedPage> page_;
  int builds_ = 0;
};

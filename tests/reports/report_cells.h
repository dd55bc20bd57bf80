#pragma once

#include "reports/form_engine.h"

/// What a report answers for one region of a page.
inline TCellInfo Section(const CFWEngine& report, int page, int region) {
  TCellInfo info;
  report.GetSection(page, region, info);
  return info;
}

#include "import/import_record.h"

int32_t ImportCents(TAmount amount) {
  constexpr int64_t kLimit = 2000000000;
  const int64_t cents = amount.Cents();
  return cents > -kLimit && cents < kLimit ? static_cast<int32_t>(cents) : 0;
}

TDateValue TImportBatch::EarliestDate(TDateValue today) const {
  TDateValue earliest = today;
  for (const TImportRecord& record : Records) {
    if (record.Date.Packed() < earliest.Packed())
      earliest = record.Date;
  }
  return earliest;
}

TDateValue TImportBatch::LatestDate() const {
  TDateValue latest;
  for (const TImportRecord& record : Records) {
    if (record.Date.Packed() > latest.Packed())
      latest = record.Date;
  }
  return latest;
}

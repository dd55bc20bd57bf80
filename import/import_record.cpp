#include "import/import_record.h"

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

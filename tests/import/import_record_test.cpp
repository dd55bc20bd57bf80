#include "import/import_record.h"

#include <gtest/gtest.h>

namespace {

TEST(ImportBatchTest, EarliestNeverAfterTodayAndEmptyDatesWin) {
  TImportBatch batch;
  const TDateValue today(20, 3, 2011);
  EXPECT_EQ(batch.EarliestDate(today), today);
  EXPECT_EQ(batch.LatestDate(), TDateValue());
  batch.Records.push_back({TDateValue(15, 3, 2011), "", "", "", TAmount(-100), 0});
  batch.Records.push_back({TDateValue(25, 3, 2011), "", "", "", TAmount(100), 0});
  EXPECT_EQ(batch.EarliestDate(today), TDateValue(15, 3, 2011));
  EXPECT_EQ(batch.LatestDate(), TDateValue(25, 3, 2011));
  batch.Records.push_back({TDateValue(), "", "", "", TAmount(0), 0});
  EXPECT_EQ(batch.EarliestDate(today), TDateValue());
  EXPECT_EQ(batch.LatestDate(), TDateValue(25, 3, 2011));
}

}  // namespace

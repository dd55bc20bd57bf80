#include "import/import_record.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ImportBatchTest, EarliestNeverAfterTodayAndEmptyDatesWin) {
  TImportBatch batch;
  const TDateValue today(20, 3, 2011);
  EXPECT_EQ(batch.EarliestDate(today), today);
  EXPECT_EQ(batch.LatestDate(), TDateValue());
  batch.Add(TDateValue(15, 3, 2011), TAmount(-100));
  batch.Add(TDateValue(25, 3, 2011), TAmount(100));
  EXPECT_EQ(batch.EarliestDate(today), TDateValue(15, 3, 2011));
  EXPECT_EQ(batch.LatestDate(), TDateValue(25, 3, 2011));
  batch.Add(TDateValue(), TAmount(0));
  EXPECT_EQ(batch.EarliestDate(today), TDateValue());
  EXPECT_EQ(batch.LatestDate(), TDateValue(25, 3, 2011));
}

// Each record keeps its own texts whatever their lengths (empty, or longer than a line of any
// statement) and wherever the records are swapped to.
TEST(ImportBatchTest, RecordsKeepTheirOwnTextsThroughSwaps) {
  struct Line {
    std::string check, memo, name;
  };
  const std::vector<Line> lines = {
      {"1042", "rent", "Landlord"}, {"", "", ""},
      {"", "memo only", ""},        {std::string(70000, '7'), "", std::string(100000, 'n')},
      {"9", "", "payee"},
  };
  TImportBatch batch;
  for (size_t i = 0; i < lines.size(); ++i) {
    batch.Add(TDateValue(1 + static_cast<unsigned>(i), 3, 2011), TAmount(static_cast<int32_t>(i)),
              lines[i].check, lines[i].memo, lines[i].name);
  }
  batch.Swap(0, 3);
  batch.Swap(1, 4);
  const size_t at[] = {3, 4, 2, 0, 1};
  ASSERT_EQ(batch.Size(), lines.size());
  for (size_t k = 0; k < lines.size(); ++k) {
    const TImportRecord& record = batch[k];
    const Line& line = lines[at[k]];
    EXPECT_EQ(record.Amount, TAmount(static_cast<int32_t>(at[k]))) << k;
    EXPECT_EQ(batch.CheckNumber(record), line.check) << k;
    EXPECT_EQ(batch.Memo(record), line.memo) << k;
    EXPECT_EQ(batch.Name(record), line.name) << k;
    EXPECT_EQ(record.MatchedId, 0u) << k;
  }
}

}  // namespace

#include "reports/activity_filter.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/sample_envelopes.h"
#include "tests/transactions/record_builder.h"

void PrintTo(const TEnvActivityTotals& row, std::ostream* os) {
  *os << "{envelope " << row.envelopeId << ": deposits " << row.deposits << ", payments "
      << row.payments << ", in " << row.transfersIn << ", out " << row.transfersOut << ", before "
      << row.beforeStart << "}";
}

namespace {

constexpr uint32_t kChecking = 3;
constexpr uint32_t kSavings = 5;

// The report runs over March 2024.
class EnvActivityFilterTest : public ::testing::Test, protected TSampleEnvelopes {
 protected:
  // Rows for the given nodes, all zero.
  static std::vector<TEnvActivityTotals> Rows(const std::vector<uint32_t>& ids) {
    std::vector<TEnvActivityTotals> rows;
    for (uint32_t id : ids)
      rows.push_back({id});
    return rows;
  }

  // Counts every record through a filter for `envelopeId`, as the report does.
  void Count(uint32_t envelopeId, std::vector<TEnvActivityTotals>& rows,
             const std::vector<TXRecord>& records) const {
    const TEnvActivityFilter filter(kStart, kEnd, envelopeId, rows, envelopes);
    for (const TXRecord& record : records)
      EXPECT_TRUE(filter.Accepts(record));
  }

  static constexpr TDateValue kStart{1, 3, 2024};
  static constexpr TDateValue kEnd{31, 3, 2024};
  static constexpr TDateValue kInside{10, 3, 2024};
  static constexpr TDateValue kBefore{28, 2, 2024};
  static constexpr TDateValue kAfter{1, 4, 2024};
};

TEST_F(EnvActivityFilterTest, EachKindOfRecordLandsInItsColumn) {
  struct TCase {
    std::string name;
    TXRecord record;
    TEnvActivityTotals expected;  // the Rent row
  };
  const uint32_t r = rent->Id();
  const std::vector<TCase> cases = {
      {"deposit", Payment(kChecking, r, 2500).Date(kInside), {r, 2500, 0, 0, 0, 0}},
      {"payment", Payment(kChecking, r, -4000).Date(kInside), {r, 0, 4000, 0, 0, 0}},
      {"zero amount", Payment(kChecking, r, 0).Date(kInside), {r, 0, 0, 0, 0, 0}},
      {"part of a multiple", MultiplePart(kChecking, r, -700).Date(kInside), {r, 0, 700, 0, 0, 0}},
      // An entry that moves no balance still counts as activity.
      {"envelope-only entry", EnvelopeEntry(r, -300).Date(kInside), {r, 0, 300, 0, 0, 0}},
      {"transfer in", EnvelopeTransferHalf(r, 1200).Date(kInside), {r, 0, 0, 1200, 0, 0}},
      {"transfer out", EnvelopeTransferHalf(r, -800).Date(kInside), {r, 0, 0, 0, 800, 0}},
      {"on the first day", Payment(kChecking, r, 100).Date(kStart), {r, 100, 0, 0, 0, 0}},
      {"on the last day", Payment(kChecking, r, 100).Date(kEnd), {r, 100, 0, 0, 0, 0}},
      {"after the end", Payment(kChecking, r, 100).Date(kAfter), {r, 0, 0, 0, 0, 0}},
      {"deposit before the start", Payment(kChecking, r, 100).Date(kBefore), {r, 0, 0, 0, 0, 100}},
      {"payment before the start",
       Payment(kChecking, r, -100).Date(kBefore),
       {r, 0, 0, 0, 0, -100}},
      {"transfer before the start",
       EnvelopeTransferHalf(r, -60).Date(kBefore),
       {r, 0, 0, 0, 0, -60}},
      {"entry before the start", EnvelopeEntry(r, -40).Date(kBefore), {r, 0, 0, 0, 0, -40}},
      {"empty date lies before the start",
       Payment(kChecking, r, 5).Date(TDateValue(0, 0, 2024)),
       {r, 0, 0, 0, 0, 5}},
      {"empty row", Payment(kChecking, r, 100).Date(kInside).Blank(), {r, 0, 0, 0, 0, 0}},
      {"transfer bit without a side",
       TRecordBuilder(kXTransfer).Envelope(r).Amount(100).Date(kInside),
       {r, 0, 0, 0, 0, 0}},
      {"empty row before the start",
       Payment(kChecking, r, 100).Date(kBefore).Blank(),
       {r, 0, 0, 0, 0, 0}},
      {"another envelope", Payment(kChecking, food->Id(), 100).Date(kInside), {r, 0, 0, 0, 0, 0}},
  };
  for (const TCase& c : cases) {
    std::vector<TEnvActivityTotals> rows = Rows({r});
    Count(r, rows, {c.record});
    EXPECT_EQ(rows[0], c.expected) << c.name;
  }
}

TEST_F(EnvActivityFilterTest, RowsAboveTheRecordsEnvelopeCollectIt) {
  const uint32_t root = envelopes.Root().Id();
  std::vector<TEnvActivityTotals> rows =
      Rows({home->Id(), rent->Id(), utilities->Id(), power->Id(), food->Id(), root});
  Count(home->Id(), rows,
        {
            Payment(kChecking, rent->Id(), -5000).Date(kInside),
            Payment(kSavings, power->Id(), 2000).Date(kInside),
            Payment(kChecking, power->Id(), 10000).Date(kBefore),
            // Outside the report's node: no row counts it, not even the root's.
            Payment(kChecking, food->Id(), -900).Date(kInside),
            Payment(kChecking, food->Id(), 900).Date(kBefore),
        });
  const std::vector<TEnvActivityTotals> expected = {
      {home->Id(), 2000, 5000, 0, 0, 10000},
      {rent->Id(), 0, 5000, 0, 0, 0},
      {utilities->Id(), 2000, 0, 0, 0, 10000},
      {power->Id(), 2000, 0, 0, 0, 10000},
      {food->Id(), 0, 0, 0, 0, 0},
      {root, 2000, 5000, 0, 0, 10000},
  };
  EXPECT_EQ(rows, expected);
}

TEST_F(EnvActivityFilterTest, AnAssociationCollectsTheEnvelopesItShows) {
  std::vector<TEnvActivityTotals> rows = Rows({fixed->Id(), home->Id()});
  Count(fixed->Id(), rows,
        {
            Payment(kChecking, rent->Id(), -5000).Date(kInside),
            Payment(kChecking, power->Id(), -700).Date(kInside),
        });
  const std::vector<TEnvActivityTotals> expected = {
      {fixed->Id(), 0, 5000, 0, 0, 0},
      {home->Id(), 0, 5000, 0, 0, 0},
  };
  EXPECT_EQ(rows, expected);
}

TEST_F(EnvActivityFilterTest, RecordsWithoutAnEnvelopeSideNeverCount) {
  const uint32_t root = envelopes.Root().Id();
  ASSERT_EQ(root, 0u);
  std::vector<TEnvActivityTotals> rows = Rows({root});
  // A multiple and its parts, and both halves of an account transfer, on both sides of the
  // start: only the parts carry envelope money.
  Count(root, rows,
        {
            MultipleParent(kChecking, -1000).Date(kInside),
            MultiplePart(kChecking, rent->Id(), -600).Date(kInside),
            MultiplePart(kChecking, food->Id(), -400).Date(kInside),
            MultipleParent(kChecking, -300).Date(kBefore),
            MultiplePart(kChecking, power->Id(), -300).Date(kBefore),
            AccountTransferHalf(kChecking, -2500).Date(kInside),
            AccountTransferHalf(kSavings, 2500).Date(kInside),
            AccountTransferHalf(kChecking, -70).Date(kBefore),
            AccountTransferHalf(kSavings, 70).Date(kBefore),
        });
  EXPECT_EQ(rows[0], (TEnvActivityTotals{root, 0, 1000, 0, 0, -300}));
}

TEST_F(EnvActivityFilterTest, SumsGoBeyondThirtyTwoBits) {
  const uint32_t r = rent->Id();
  std::vector<TEnvActivityTotals> rows = Rows({r});
  const int32_t large = 2000000000;
  Count(r, rows,
        {
            Payment(kChecking, r, large).Date(kInside),
            Payment(kChecking, r, large).Date(kInside),
            Payment(kChecking, r, -large).Date(kInside),
            Payment(kChecking, r, -large).Date(kInside),
            Payment(kChecking, r, -large).Date(kInside),
            EnvelopeTransferHalf(r, large).Date(kInside),
            EnvelopeTransferHalf(r, large).Date(kInside),
            EnvelopeTransferHalf(r, -large).Date(kInside),
            EnvelopeTransferHalf(r, -large).Date(kInside),
            Payment(kChecking, r, -large).Date(kBefore),
            Payment(kChecking, r, -large).Date(kBefore),
        });
  EXPECT_EQ(rows[0],
            (TEnvActivityTotals{r, 4000000000, 6000000000, 4000000000, 4000000000, -4000000000}));
}

TEST_F(EnvActivityFilterTest, AnEnvelopeOutsideTheTreeCountsOnlyInItsOwnRow) {
  // A record of a damaged file may name an envelope that no longer exists.
  std::vector<TEnvActivityTotals> rows = Rows({99, home->Id()});
  Count(99, rows, {EnvelopeEntry(99, 250).Date(kInside)});
  const std::vector<TEnvActivityTotals> expected = {{99, 250, 0, 0, 0, 0}, {home->Id()}};
  EXPECT_EQ(rows, expected);
}

}  // namespace

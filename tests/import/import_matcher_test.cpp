#include "import/import_matcher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t kUnpaired = TImportMatcher::kUnpaired;

// The pairing exactly as first designed: a cell per record and candidate, and for every pair the
// whole table scanned for its smallest cell, a later cell winning only when strictly smaller.
std::vector<size_t> LiteralPairs(const TImportBatch& records,
                                 const std::vector<TMatchCandidate>& candidates, bool ignore) {
  std::vector<size_t> result(records.Size(), kUnpaired);
  if (records.Empty() || candidates.empty())
    return result;
  std::vector<uint32_t> table(records.Size() * candidates.size());
  for (size_t i = 0; i < records.Size(); ++i) {
    for (size_t j = 0; j < candidates.size(); ++j)
      table[i * candidates.size() + j] = MatchCost(records, records[i], candidates[j], ignore);
  }
  for (;;) {
    uint32_t best = 0xFFFFFFFF;
    size_t bi = 0, bj = 0;
    for (size_t i = 0; i < records.Size(); ++i) {
      for (size_t j = 0; j < candidates.size(); ++j) {
        if (table[i * candidates.size() + j] < best) {
          best = table[i * candidates.size() + j];
          bi = i;
          bj = j;
        }
      }
    }
    if (best >= kNoMatch)
      return result;
    result[bi] = bj;
    for (size_t j = 0; j < candidates.size(); ++j)
      table[bi * candidates.size() + j] = kNoMatch;
    for (size_t i = 0; i < records.Size(); ++i)
      table[i * candidates.size() + bj] = kNoMatch;
  }
}

struct TMatchLine {
  TDateValue date;
  int64_t cents;
  std::string check;
};

TMatchLine Record(TDateValue date, int64_t cents, std::string check = "") {
  return {date, cents, std::move(check)};
}

TImportBatch MatchBatch(const std::vector<TMatchLine>& lines) {
  TImportBatch batch;
  for (const TMatchLine& line : lines)
    batch.Add(line.date, TAmount::FromCents(line.cents), line.check);
  return batch;
}

uint32_t LineCost(const TMatchLine& line, const TMatchCandidate& candidate) {
  const TImportBatch batch = MatchBatch({line});
  return MatchCost(batch, batch[0], candidate, false);
}

TMatchCandidate Candidate(uint32_t id, TDateValue date, int32_t cents, int64_t check = 0) {
  return {id, cents, date, check};
}

TEST(ImportMatcherTest, CostsAndPairingsOfTheDocumentedCases) {
  const TDateValue mar1(1, 3, 2011), mar2(2, 3, 2011), mar3(3, 3, 2011), mar4(4, 3, 2011);
  const TDateValue mar6(6, 3, 2011), mar9(9, 3, 2011), mar10(10, 3, 2011);
  struct Case {
    const char* name;
    std::vector<TMatchLine> records;
    std::vector<TMatchCandidate> candidates;
    bool ignore;
    std::vector<size_t> pairs;
  };
  const std::vector<Case> cases = {
      {"check number pairs whatever the amount and date",
       {Record(mar9, -5500, "1042")},
       {Candidate(1, mar1, -5000, 1042)},
       false,
       {0}},
      {"duplicate check numbers allowed: amounts differ, no pair",
       {Record(mar9, -5500, "1042")},
       {Candidate(1, mar1, -5000, 1042)},
       true,
       {kUnpaired}},
      {"numbered candidate more than three days away",
       {Record(mar6, -2000)},
       {Candidate(1, mar1, -2000, 1050)},
       false,
       {kUnpaired}},
      {"unnumbered candidate at cost 6",
       {Record(mar6, -2000)},
       {Candidate(1, mar1, -2000)},
       false,
       {0}},
      {"equal costs go to the earlier candidate",
       {Record(mar3, -2000)},
       {Candidate(1, mar2, -2000), Candidate(2, mar4, -2000)},
       false,
       {0}},
      {"the cheaper record wins the candidate",
       {Record(mar3, -2000), Record(mar10, -2000)},
       {Candidate(1, mar9, -2000)},
       false,
       {kUnpaired, 0}},
      {"an empty date lies ages away",
       {Record(TDateValue(), 700)},
       {Candidate(1, mar1, 700)},
       false,
       {kUnpaired}},
      {"negative and non-numeric check numbers never pair by number",
       {Record(mar1, 1, "-5"), Record(mar1, 2, "ATM")},
       {Candidate(1, mar1, 9, -5), Candidate(2, mar1, 9, 0)},
       false,
       {kUnpaired, kUnpaired}},
  };
  for (const Case& c : cases) {
    TImportMatcher matcher;
    const TImportBatch batch = MatchBatch(c.records);
    EXPECT_EQ(matcher.Match(batch, batch.Size(), c.candidates, c.ignore), c.pairs) << c.name;
    EXPECT_EQ(LiteralPairs(batch, c.candidates, c.ignore), c.pairs) << c.name;
  }
  EXPECT_EQ(LineCost(Record(mar6, -2000), Candidate(1, mar1, -2000)), 6u);
  EXPECT_EQ(LineCost(Record(mar9, -5500, "1042"), Candidate(1, mar1, -5000, 1042)), 0u);
  EXPECT_EQ(LineCost(Record(mar4, -2000), Candidate(1, mar1, -2000, 7)), 4u);
}

// Random batches, from gentle to hostile: few distinct amounts, dates and check numbers so that
// ties and collisions are everywhere, dates out of the calendar, and batches where every record
// matches every candidate.
TEST(ImportMatcherTest, SameResultAsTheLiteralTableOnRandomBatches) {
  std::mt19937 random(20110315);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  int mode = 0;
  auto randomDate = [&](int spread) {
    if (pick(12) == 0)
      return TDateValue();
    if (mode == 6 || pick(25) == 0)
      return TDateValue(static_cast<unsigned>(pick(32)), static_cast<unsigned>(pick(14)), 2011);
    return TDateValue(1 + static_cast<unsigned>(pick(spread)) % 28,
                      1 + static_cast<unsigned>(pick(3)), 2011);
  };
  size_t pairedTotal = 0;
  for (int round = 0; round < 6000; ++round) {
    // 3: all amounts equal, 4: all dates equal, 5: all checks equal, 6: dates off the calendar
    mode = round % 7;
    const int records = pick(10), candidates = pick(12);
    const int amounts = 1 + pick(4), checks = 1 + pick(5), spread = 1 + pick(28);
    std::vector<TMatchLine> lines;
    for (int i = 0; i < records; ++i) {
      const int64_t cents = mode == 3 ? -100 : -100 * (1 + pick(amounts));
      std::string check = pick(2) == 0 ? "" : std::to_string(pick(checks));
      if (mode == 5)
        check = "12";
      lines.push_back(Record(mode == 4 ? TDateValue(5, 5, 2011) : randomDate(spread), cents,
                             pick(9) == 0 ? " " + check + "x" : check));
    }
    std::vector<TMatchCandidate> entered;
    for (int j = 0; j < candidates; ++j) {
      const int32_t cents = mode == 3 ? -100 : -100 * (1 + pick(amounts));
      const int64_t check = mode == 5 ? 12 : (pick(2) == 0 ? 0 : pick(checks) - (pick(8) == 0));
      entered.push_back(Candidate(static_cast<uint32_t>(j + 1),
                                  mode == 4 ? TDateValue(5, 5, 2011) : randomDate(spread), cents,
                                  check));
    }
    const bool ignore = pick(3) == 0;
    TImportMatcher matcher;
    const TImportBatch batch = MatchBatch(lines);
    const std::vector<size_t> fast = matcher.Match(batch, batch.Size(), entered, ignore);
    ASSERT_EQ(fast, LiteralPairs(batch, entered, ignore)) << "round " << round;
    for (size_t pair : fast)
      pairedTotal += pair != kUnpaired;
  }
  EXPECT_GT(pairedTotal, 5000u);  // the batches did pair, often
}

// Every record matches every candidate: the pairs weighed stay within records squared and the
// bytes grow with the candidates, not with records times candidates.
TEST(ImportMatcherTest, WorkDoesNotGrowWithRecordsTimesCandidates) {
  const TImportBatch records =
      MatchBatch(std::vector<TMatchLine>(20, Record(TDateValue(5, 5, 2011), -100)));
  std::vector<TMatchCandidate> candidates;
  for (uint32_t j = 0; j < 5000; ++j)
    candidates.push_back(Candidate(j + 1, TDateValue(1 + j % 28, 5, 2011), -100));
  TImportMatcher matcher;
  const std::vector<size_t> pairs = matcher.Match(records, records.Size(), candidates, false);
  EXPECT_LE(matcher.PairsWeighed(), 20u * 21u);
  EXPECT_LT(matcher.PeakBytes(), 5000u * 40u);
  EXPECT_EQ(pairs, LiteralPairs(records, candidates, false));
}

}  // namespace

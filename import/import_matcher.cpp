#include "import/import_matcher.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "import/import_options.h"
#include "transactions/fixed_filters.h"
#include "transactions/xmanager.h"

namespace {

// The day count of an in-calendar date, by the calendar's rule (every fourth year a leap year):
// for two such dates the difference of their counts is the date difference. Other dates (the
// empty one, day 0 or 31 of a short month) go through TDateValue::Difference.
int64_t DayCount(TDateValue date) {
  const unsigned month = date.Month();
  if (month < 1 || month > 12 || date.Day() < 1 || date.Day() > date.DaysInMonth())
    return -1;
  static constexpr unsigned kDaysBeforeMonth[] = {0,   31,  59,  90,  120, 151,
                                                  181, 212, 243, 273, 304, 334};
  const int64_t year = date.Year();
  int64_t days = year * 365 + (year + 3) / 4 + kDaysBeforeMonth[month - 1];
  if (month > 2 && year % 4 == 0)
    ++days;
  return days + date.Day() - 1;
}

uint32_t AmountCost(int64_t days, int64_t checkNumber) {
  if (checkNumber > 0 && days > 3)
    return kNoMatch;
  return days + 1 >= kNoMatch ? kNoMatch : static_cast<uint32_t>(days + 1);
}

struct TPair {
  uint32_t cost;
  uint32_t record;
  uint32_t candidate;
  bool operator<(const TPair& other) const {
    if (cost != other.cost)
      return cost < other.cost;
    if (record != other.record)
      return record < other.record;
    return candidate < other.candidate;
  }
};

}  // namespace

TMatchCandidate TMatchCandidate::Of(const TXRecord& record) {
  return {record.Id, record.amount, record.date, LeadingWholeNumber(record.GetCode())};
}

uint32_t MatchCost(const TImportRecord& record, const TMatchCandidate& candidate,
                   bool ignoreCheckNumbers) {
  const int64_t c = ignoreCheckNumbers ? 0 : candidate.checkNumber;
  if (c > 0 && c == LeadingWholeNumber(record.CheckNumber))
    return 0;
  if (record.Amount.Cents() != candidate.amount)
    return kNoMatch;
  const int64_t days = std::llabs(int64_t{record.Date.Difference(candidate.date)});
  return AmountCost(days, c);
}

std::vector<TMatchCandidate> ImportCandidates(const TXManager& transactions, uint32_t account,
                                              TDateValue limit) {
  const TImportFindFilter filter(account, limit);
  const TXStore& store = transactions.Store();
  std::vector<TMatchCandidate> candidates;
  for (uint32_t index = 1; index <= store.Count(); ++index) {
    const TXRecord& record = store.At(index);
    if ((record.Flags & kXHidden) != 0 || record.IsInert() || !filter.Accepts(record))
      continue;
    candidates.push_back(TMatchCandidate::Of(record));
  }
  return candidates;
}

std::vector<size_t> TImportMatcher::Match(const std::vector<TImportRecord>& records,
                                          const std::vector<TMatchCandidate>& candidates,
                                          bool ignoreCheckNumbers) {
  pairsWeighed_ = 0;
  peakBytes_ = 0;
  std::vector<size_t> result(records.size(), kUnpaired);
  if (records.empty() || candidates.empty())
    return result;

  // Candidates by amount and by check number, each list in store order.
  std::unordered_map<int64_t, std::vector<uint32_t>> byAmount;
  std::unordered_map<int64_t, std::vector<uint32_t>> byCheck;
  std::vector<int64_t> candidateDays(candidates.size());
  for (uint32_t j = 0; j < candidates.size(); ++j) {
    byAmount[candidates[j].amount].push_back(j);
    if (!ignoreCheckNumbers && candidates[j].checkNumber > 0)
      byCheck[candidates[j].checkNumber].push_back(j);
    candidateDays[j] = DayCount(candidates[j].date);
  }
  size_t indexBytes = candidates.size() * (2 * sizeof(uint32_t) + sizeof(int64_t));

  // A record can only end up with one of its `records.size()` cheapest candidates (ranked by
  // cost, then store order): every candidate ranked before its partner was taken by another
  // record first. Keeping only those bounds the pairs by records squared whatever the
  // candidates, without changing a single choice.
  const size_t keep = records.size();
  std::vector<TPair> pairs;
  std::vector<TPair> own;
  for (uint32_t i = 0; i < records.size(); ++i) {
    const TImportRecord& record = records[i];
    own.clear();
    const int64_t number = ignoreCheckNumbers ? 0 : LeadingWholeNumber(record.CheckNumber);
    if (number > 0) {
      if (auto found = byCheck.find(number); found != byCheck.end()) {
        for (uint32_t j : found->second)
          own.push_back({0, i, j});
      }
    }
    if (auto found = byAmount.find(record.Amount.Cents()); found != byAmount.end()) {
      const int64_t recordDays = DayCount(record.Date);
      for (uint32_t j : found->second) {
        const TMatchCandidate& candidate = candidates[j];
        const int64_t c = ignoreCheckNumbers ? 0 : candidate.checkNumber;
        if (number > 0 && c == number)
          continue;  // already paired at cost 0
        int64_t days;
        if (recordDays >= 0 && candidateDays[j] >= 0)
          days = std::llabs(recordDays - candidateDays[j]);
        else
          days = std::llabs(int64_t{record.Date.Difference(candidate.date)});
        const uint32_t cost = AmountCost(days, c);
        if (cost < kNoMatch)
          own.push_back({cost, i, j});
      }
    }
    pairsWeighed_ += own.size();
    if (own.size() > keep) {
      std::nth_element(own.begin(), own.begin() + static_cast<ptrdiff_t>(keep - 1), own.end());
      own.resize(keep);
    }
    pairs.insert(pairs.end(), own.begin(), own.end());
    peakBytes_ =
        std::max(peakBytes_, indexBytes + (pairs.capacity() + own.capacity()) * sizeof(TPair));
  }
  std::sort(pairs.begin(), pairs.end());

  std::vector<bool> candidateTaken(candidates.size(), false);
  size_t left = std::min(records.size(), candidates.size());
  for (const TPair& pair : pairs) {
    if (left == 0)
      break;
    if (result[pair.record] != kUnpaired || candidateTaken[pair.candidate])
      continue;
    result[pair.record] = pair.candidate;
    candidateTaken[pair.candidate] = true;
    --left;
  }
  return result;
}

void MatchImportRecords(TImportBatch& batch, const std::vector<TMatchCandidate>& candidates,
                        bool ignoreCheckNumbers) {
  TImportMatcher matcher;
  const std::vector<size_t> pairs = matcher.Match(batch.Records, candidates, ignoreCheckNumbers);
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (pairs[i] != TImportMatcher::kUnpaired)
      batch.Records[i].MatchedId = candidates[pairs[i]].id;
  }
}

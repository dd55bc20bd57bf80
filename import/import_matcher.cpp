#include "import/import_matcher.h"

#include <algorithm>
#include <cstdlib>
#include <queue>
#include <tuple>
#include <utility>

#include "import/import_options.h"
#include "transactions/fixed_filters.h"
#include "transactions/xmanager.h"

namespace {

uint32_t AmountCost(int64_t days, int64_t checkNumber) {
  if (checkNumber > 0 && days > 3)
    return kNoMatch;
  return days + 1 >= kNoMatch ? kNoMatch : static_cast<uint32_t>(days + 1);
}

}  // namespace

TMatchCandidate TMatchCandidate::Of(const TXRecord& record) {
  return {record.Id, record.amount, record.date, StatementCheckNumber(record.GetCode())};
}

uint32_t MatchCost(const TImportBatch& batch, const TImportRecord& record,
                   const TMatchCandidate& candidate, bool ignoreCheckNumbers) {
  const int64_t c = ignoreCheckNumbers ? 0 : candidate.checkNumber;
  if (c > 0 && c == StatementCheckNumber(batch.CheckNumber(record)))
    return 0;
  if (ImportCents(record.Amount) != candidate.amount)
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

namespace {

// One pair a record may take, as the greedy weighs them: the smaller cost first, then the
// earlier record, then the earlier candidate. The record is named by its stream.
struct TOffer {
  uint32_t cost;
  uint32_t record;
  uint32_t candidate;
  bool operator>(const TOffer& other) const {
    if (cost != other.cost)
      return cost > other.cost;
    if (record != other.record)
      return record > other.record;
    return candidate > other.candidate;
  }
};

// The candidates once more, arranged so that every record can walk its matching ones cheapest
// first without looking at any other: by check number, and by amount and day.
class TCandidateIndex {
 public:
  TCandidateIndex(const std::vector<TMatchCandidate>& candidates, bool ignoreCheckNumbers)
      : count_(static_cast<uint32_t>(candidates.size())) {
    amount_.reserve(count_);
    day_.reserve(count_);
    check_.reserve(count_);
    for (const TMatchCandidate& candidate : candidates) {
      amount_.push_back(candidate.amount);
      day_.push_back(candidate.date.DayCount());
      check_.push_back(ignoreCheckNumbers ? 0 : candidate.checkNumber);
    }
    // By amount; within an amount those out of the calendar first (day -1), then by day, and
    // by store order within a day.
    byAmount_.resize(count_);
    for (uint32_t j = 0; j < count_; ++j)
      byAmount_[j] = j;
    std::sort(byAmount_.begin(), byAmount_.end(), [this](uint32_t a, uint32_t b) {
      if (amount_[a] != amount_[b])
        return amount_[a] < amount_[b];
      if (day_[a] != day_[b])
        return day_[a] < day_[b];
      return a < b;
    });
    for (uint32_t j = 0; j < count_; ++j) {
      if (check_[j] > 0)
        byCheck_.push_back(j);
    }
    std::sort(byCheck_.begin(), byCheck_.end(), [this](uint32_t a, uint32_t b) {
      return check_[a] != check_[b] ? check_[a] < check_[b] : a < b;
    });
  }

  size_t Bytes() const {
    return count_ * (sizeof(int32_t) + 2 * sizeof(int64_t) + sizeof(uint32_t)) +
           byCheck_.size() * sizeof(uint32_t);
  }

  int64_t Amount(uint32_t j) const { return amount_[j]; }
  int64_t Day(uint32_t j) const { return day_[j]; }
  int64_t Check(uint32_t j) const { return check_[j]; }
  uint32_t At(size_t position) const { return byAmount_[position]; }

  // Positions in the by-amount order of the candidates with `amount`: [begin, end).
  std::pair<size_t, size_t> AmountRange(int64_t amount) const {
    auto below = [this](uint32_t j, int64_t value) { return amount_[j] < value; };
    auto above = [this](int64_t value, uint32_t j) { return value < amount_[j]; };
    auto first = std::lower_bound(byAmount_.begin(), byAmount_.end(), amount, below);
    auto last = std::upper_bound(first, byAmount_.end(), amount, above);
    return {static_cast<size_t>(first - byAmount_.begin()),
            static_cast<size_t>(last - byAmount_.begin())};
  }
  // The first position at or after `begin` (before `end`) whose day is at least `day`.
  size_t FirstDay(size_t begin, size_t end, int64_t day) const {
    auto below = [this](uint32_t j, int64_t value) { return day_[j] < value; };
    return static_cast<size_t>(std::lower_bound(byAmount_.begin() + static_cast<ptrdiff_t>(begin),
                                                byAmount_.begin() + static_cast<ptrdiff_t>(end),
                                                day, below) -
                               byAmount_.begin());
  }
  // The candidates carrying `number`, in store order.
  std::pair<const uint32_t*, const uint32_t*> WithCheck(int64_t number) const {
    auto below = [this](uint32_t j, int64_t value) { return check_[j] < value; };
    auto above = [this](int64_t value, uint32_t j) { return value < check_[j]; };
    auto first = std::lower_bound(byCheck_.begin(), byCheck_.end(), number, below);
    auto last = std::upper_bound(first, byCheck_.end(), number, above);
    return {byCheck_.data() + (first - byCheck_.begin()),
            byCheck_.data() + (last - byCheck_.begin())};
  }

 private:
  uint32_t count_;
  std::vector<int32_t> amount_;
  std::vector<int64_t> day_;
  std::vector<int64_t> check_;
  std::vector<uint32_t> byAmount_;
  std::vector<uint32_t> byCheck_;
};

// One record's matching candidates, cheapest first (store order among equal costs), produced
// one at a time: first those with its check number (cost 0), then by amount outwards from its
// day, one day distance after the other, merged with the few whose dates lie outside the
// calendar (their distances are counted the long way and kept sorted).
class TOfferStream {
 public:
  // `number` is the record's check number (0: none, or not counted).
  TOfferStream(const TCandidateIndex& index, const std::vector<TMatchCandidate>& candidates,
               const TImportRecord& record, int64_t number, size_t keep)
      : index_(&index) {
    number_ = number;
    if (number_ > 0)
      std::tie(check_, checkEnd_) = index.WithCheck(number_);
    const auto [begin, end] = index.AmountRange(ImportCents(record.Amount));
    day_ = record.Date.DayCount();
    size_t regular = index.FirstDay(begin, end, 0);
    if (day_ < 0)
      regular = end;  // every distance from this record is counted the long way
    for (size_t position = begin; position < regular; ++position) {
      const uint32_t j = index.At(position);
      if (number_ > 0 && index.Check(j) == number_)
        continue;
      const int64_t days = std::llabs(int64_t{record.Date.Difference(candidates[j].date)});
      const uint32_t cost = AmountCost(days, index.Check(j));
      if (cost < kNoMatch)
        odd_.push_back({cost, j});
    }
    // Only a record's `keep` cheapest candidates can ever be its partner: every candidate it
    // would rather have was taken by another record first.
    if (odd_.size() > keep) {
      std::nth_element(odd_.begin(), odd_.begin() + static_cast<ptrdiff_t>(keep - 1), odd_.end());
      odd_.resize(keep);
    }
    std::sort(odd_.begin(), odd_.end());
    regularBegin_ = regular;
    regularEnd_ = end;
    left_ = right_ = day_ >= 0 ? index.FirstDay(regular, end, day_) : end;
    Advance();
  }

  // The next offer whose candidate is not `taken` yet; false when there is none left.
  bool Next(const std::vector<bool>& taken, uint32_t& cost, uint32_t& candidate) {
    do {
      if (!NextAny(cost, candidate))
        return false;
      ++weighed_;
    } while (taken[candidate]);
    return true;
  }
  size_t Weighed() const { return weighed_; }

  size_t Bytes() const { return sizeof(*this) + odd_.capacity() * sizeof(odd_[0]); }

 private:
  bool NextAny(uint32_t& cost, uint32_t& candidate) {
    if (check_ != checkEnd_) {
      cost = 0;
      candidate = *check_++;
      return true;
    }
    const bool haveOdd = oddAt_ < odd_.size();
    if (!haveRegular_ && !haveOdd)
      return false;
    if (haveRegular_ && (!haveOdd || std::pair(regularCost_, regularCandidate_) < odd_[oddAt_])) {
      cost = regularCost_;
      candidate = regularCandidate_;
      Advance();
    } else {
      std::tie(cost, candidate) = odd_[oddAt_++];
    }
    return true;
  }

  // Finds the next regular offer: the next candidate of the two runs of the current distance
  // (one day before, one after), in store order, or the runs of the next distance.
  void Advance() {
    for (;;) {
      while (low_ < lowEnd_ || high_ < highEnd_) {
        uint32_t j;
        if (high_ == highEnd_ || (low_ < lowEnd_ && index_->At(low_) < index_->At(high_)))
          j = index_->At(low_++);
        else
          j = index_->At(high_++);
        const int64_t check = index_->Check(j);
        if (number_ > 0 && check == number_)
          continue;
        const uint32_t cost = AmountCost(distance_, check);
        if (cost >= kNoMatch)
          continue;
        haveRegular_ = true;
        regularCost_ = cost;
        regularCandidate_ = j;
        return;
      }
      // The next distance: the nearer of the next day below and the next day above.
      constexpr int64_t kFar = INT64_MAX;
      const int64_t below =
          left_ > regularBegin_ ? day_ - index_->Day(index_->At(left_ - 1)) : kFar;
      const int64_t above = right_ < regularEnd_ ? index_->Day(index_->At(right_)) - day_ : kFar;
      distance_ = std::min(below, above);
      if (distance_ == kFar || distance_ + 1 >= kNoMatch) {
        haveRegular_ = false;
        return;
      }
      low_ = lowEnd_ = left_;
      if (below == distance_) {
        while (left_ > regularBegin_ && index_->Day(index_->At(left_ - 1)) == day_ - distance_)
          --left_;
        low_ = left_;
      }
      high_ = highEnd_ = right_;
      if (above == distance_) {
        while (right_ < regularEnd_ && index_->Day(index_->At(right_)) == day_ + distance_)
          ++right_;
        highEnd_ = right_;
      }
    }
  }

  const TCandidateIndex* index_;
  int64_t number_ = 0;
  const uint32_t* check_ = nullptr;
  const uint32_t* checkEnd_ = nullptr;
  int64_t day_ = -1;
  std::vector<std::pair<uint32_t, uint32_t>> odd_;
  size_t oddAt_ = 0;
  size_t regularBegin_ = 0, regularEnd_ = 0;
  size_t left_ = 0, right_ = 0;
  size_t low_ = 0, lowEnd_ = 0, high_ = 0, highEnd_ = 0;
  int64_t distance_ = 0;
  bool haveRegular_ = false;
  size_t weighed_ = 0;
  uint32_t regularCost_ = 0;
  uint32_t regularCandidate_ = 0;
};

}  // namespace

std::vector<size_t> TImportMatcher::Match(const TImportBatch& batch, size_t count,
                                          const std::vector<TMatchCandidate>& candidates,
                                          bool ignoreCheckNumbers) {
  pairsWeighed_ = 0;
  peakBytes_ = 0;
  std::vector<size_t> result(count, kUnpaired);
  if (count == 0 || candidates.empty())
    return result;

  const TCandidateIndex index(candidates, ignoreCheckNumbers);
  // Only the records with a matching candidate keep a stream; offers name the stream, and
  // streams are made in record order, so that their order is the records' for ties too.
  std::vector<TOfferStream> streams;
  std::vector<uint32_t> recordOf;
  std::vector<TOffer> heads;
  std::vector<bool> taken(candidates.size(), false);
  size_t streamBytes = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const TImportRecord& record = batch[i];
    const int64_t number = ignoreCheckNumbers ? 0 : StatementCheckNumber(batch.CheckNumber(record));
    TOfferStream stream(index, candidates, record, number, count);
    uint32_t cost, candidate;
    if (!stream.Next(taken, cost, candidate))
      continue;
    heads.push_back({cost, static_cast<uint32_t>(streams.size()), candidate});
    streamBytes += stream.Bytes();
    streams.push_back(std::move(stream));
    recordOf.push_back(i);
  }
  peakBytes_ = index.Bytes() + streamBytes + heads.capacity() * sizeof(TOffer) +
               recordOf.capacity() * sizeof(uint32_t) + candidates.size() / 8 +
               count * sizeof(size_t);

  // Every free record offers its cheapest candidate not known to be taken; the cheapest offer
  // of all is the greedy's next pair, unless its candidate went meanwhile, when that record
  // offers its next free one instead.
  std::priority_queue<TOffer, std::vector<TOffer>, std::greater<TOffer>> offers(
      std::greater<TOffer>(), std::move(heads));
  while (!offers.empty()) {
    const TOffer offer = offers.top();
    offers.pop();
    if (!taken[offer.candidate]) {
      taken[offer.candidate] = true;
      result[recordOf[offer.record]] = offer.candidate;
      continue;
    }
    uint32_t cost, candidate;
    if (streams[offer.record].Next(taken, cost, candidate))
      offers.push({cost, offer.record, candidate});
  }
  for (const TOfferStream& stream : streams)
    pairsWeighed_ += stream.Weighed();
  return result;
}

void MatchImportRecords(TImportBatch& batch, size_t count,
                        const std::vector<TMatchCandidate>& candidates, bool ignoreCheckNumbers) {
  TImportMatcher matcher;
  const std::vector<size_t> pairs = matcher.Match(batch, count, candidates, ignoreCheckNumbers);
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (pairs[i] != TImportMatcher::kUnpaired)
      batch[i].MatchedId = candidates[pairs[i]].id;
  }
}

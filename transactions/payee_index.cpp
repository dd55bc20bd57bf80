#include "transactions/payee_index.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <utility>

#include "core/cp1252.h"
#include "transactions/xrecord.h"
#include "transactions/xstore.h"

namespace {

uint64_t StampOf(const TXRecord& record) {
  return (uint64_t{record.date.Packed()} << 32) | record.Id;
}

uint32_t IdOfStamp(uint64_t stamp) {
  return static_cast<uint32_t>(stamp & 0xFFFFFFFFu);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool TXPayeeIndex::Counts(const TXRecord& record) {
  if (!record.IsLive() || (record.Flags & kXHidden) != 0 || record.IsMultipleKid())
    return false;
  const std::string_view payee = record.GetPayableTo();
  return !payee.empty() && payee.find("~t") == std::string_view::npos;
}

const std::string& TXPayeeIndex::Fold(std::string_view text) {
  folded_.assign(text);
  for (char& c : folded_)
    c = FoldCp1252(c);
  return folded_;
}

void TXPayeeIndex::Invalidate() {
  built_ = false;
  uses_.clear();
  uses_.shrink_to_fit();
  payees_.clear();
  free_.clear();
  live_ = 0;
  table_.clear();
  tableUsed_ = 0;
  sorted_.clear();
  recent_.clear();
}

void TXPayeeIndex::Build(const TXStore& store) {
  Invalidate();
  built_ = true;
  store_ = &store;
  uses_.reserve(store.Count() + 1);
  // The orders are made once at the end: kept step by step, a payee whose latest use moves
  // forward many times while the records pass would be moved as often.
  building_ = true;
  // The payees are far apart in memory and each record finds its own, so the records go in
  // batches through four steps, each batch one step behind the one before it: fold and hash
  // the payee and ask for its place in the table; read the place and ask for the payee; read
  // the payee and ask for its text and its list of records; note the record. Each step finds
  // in the cache what the step before asked for a batch earlier.
  constexpr uint32_t kBatch = 16;
  constexpr int kSteps = 4;
  struct TKeyed {
    uint32_t index = 0;
    size_t hash = 0;
    std::string folded;
  };
  struct TBatch {
    std::vector<TKeyed> records{kBatch};
    uint32_t size = 0;
  };
  TBatch batches[kSteps];
  const auto payeeAt = [this](const TKeyed& keyed) -> const TPayee* {
    if (table_.empty())
      return nullptr;
    const uint32_t entry = table_[keyed.hash & (table_.size() - 1)];
    return entry != 0 && entry != kGone ? &payees_[entry - 1] : nullptr;
  };
  const uint32_t count = store.Count();
  const uint32_t batchCount = (count + kBatch - 1) / kBatch;
  for (uint32_t step = 0; step < batchCount + kSteps - 1; ++step) {
    if (step < batchCount) {
      TBatch& batch = batches[step % kSteps];
      batch.size = 0;
      const uint32_t first = step * kBatch + 1;
      for (uint32_t index = first; index <= std::min(count, first + kBatch - 1); ++index) {
        const TXRecord& record = store.At(index);
        if (record.Flags == 0 || !Counts(record))
          continue;  // a fresh index holds nothing to forget
        TKeyed& keyed = batch.records[batch.size++];
        keyed.index = index;
        keyed.folded = Fold(record.GetPayableTo());
        keyed.hash = std::hash<std::string_view>{}(keyed.folded);
        if (!table_.empty())
          __builtin_prefetch(&table_[keyed.hash & (table_.size() - 1)]);
      }
    }
    if (step >= 1 && step - 1 < batchCount) {
      const TBatch& batch = batches[(step - 1) % kSteps];
      for (uint32_t i = 0; i < batch.size; ++i) {
        if (const TPayee* payee = payeeAt(batch.records[i])) {
          __builtin_prefetch(payee);
          __builtin_prefetch(reinterpret_cast<const char*>(payee) + 64);
        }
      }
    }
    if (step >= 2 && step - 2 < batchCount) {
      const TBatch& batch = batches[(step - 2) % kSteps];
      for (uint32_t i = 0; i < batch.size; ++i) {
        if (const TPayee* payee = payeeAt(batch.records[i])) {
          __builtin_prefetch(payee->folded.data());
          __builtin_prefetch(payee->ids.data() + payee->ids.size());
        }
      }
    }
    if (step >= 3 && step - 3 < batchCount) {
      const TBatch& batch = batches[(step - 3) % kSteps];
      for (uint32_t i = 0; i < batch.size; ++i) {
        const TKeyed& keyed = batch.records[i];
        NoteKeyed(store.At(keyed.index), keyed.folded, keyed.hash);
      }
    }
  }
  building_ = false;
  MakeOrders();
}

void TXPayeeIndex::MakeOrders() {
  sorted_.clear();
  std::vector<TRecency> recency;
  for (uint32_t slot = 0; slot < payees_.size(); ++slot) {
    if (payees_[slot].count == 0)
      continue;
    sorted_.push_back(slot);
    recency.emplace_back(payees_[slot].latest, slot);
  }
  std::sort(sorted_.begin(), sorted_.end(),
            [&](uint32_t a, uint32_t b) { return payees_[a].folded < payees_[b].folded; });
  std::sort(recency.begin(), recency.end());
  recent_ = std::set<TRecency>(recency.begin(), recency.end());
}

size_t TXPayeeIndex::Probe(std::string_view folded, size_t hash) const {
  const size_t mask = table_.size() - 1;
  size_t reusable = SIZE_MAX;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    const uint32_t entry = table_[at];
    if (entry == 0)
      return reusable != SIZE_MAX ? reusable : at;
    if (entry == kGone) {
      reusable = std::min(reusable, at);
      continue;
    }
    const TPayee& payee = payees_[entry - 1];
    if (payee.hash == hash && payee.folded == folded)
      return at;
  }
}

void TXPayeeIndex::Rehash(size_t size) {
  table_.assign(size, 0);
  tableUsed_ = 0;
  for (uint32_t slot = 0; slot < payees_.size(); ++slot) {
    if (payees_[slot].folded.empty())  // a free slot
      continue;
    size_t at = payees_[slot].hash & (size - 1);
    while (table_[at] != 0)
      at = (at + 1) & (size - 1);
    table_[at] = slot + 1;
    ++tableUsed_;
  }
}

uint32_t TXPayeeIndex::SlotOf(std::string_view folded, size_t hash) {
  // At most half full, removed places counted, so that probes stay short.
  if (2 * (tableUsed_ + 1) > table_.size())
    Rehash(std::max<size_t>(64, std::bit_ceil(4 * (live_ + 1))));
  const size_t at = Probe(folded, hash);
  if (table_[at] != 0 && table_[at] != kGone)
    return table_[at] - 1;
  uint32_t slot = 0;
  if (free_.empty()) {
    slot = static_cast<uint32_t>(payees_.size());
    payees_.emplace_back();
  } else {
    slot = free_.back();
    free_.pop_back();
  }
  TPayee& payee = payees_[slot];
  payee.folded = folded;
  payee.hash = hash;
  if (table_[at] == 0)
    ++tableUsed_;
  table_[at] = slot + 1;
  ++live_;
  if (!building_) {
    const size_t place = SortedLowerBound(folded);
    sorted_.insert(sorted_.begin() + static_cast<std::ptrdiff_t>(place), slot);
  }
  return slot;
}

void TXPayeeIndex::RemoveFromTable(uint32_t slot) {
  TPayee& payee = payees_[slot];
  table_[Probe(payee.folded, payee.hash)] = kGone;
  const size_t place = SortedLowerBound(payee.folded);
  if (place < sorted_.size() && sorted_[place] == slot)
    sorted_.erase(sorted_.begin() + static_cast<std::ptrdiff_t>(place));
  recent_.erase({payee.latest, slot});
  payee = TPayee{};
  free_.push_back(slot);
  --live_;
}

size_t TXPayeeIndex::SortedLowerBound(std::string_view key) const {
  return static_cast<size_t>(std::lower_bound(sorted_.begin(), sorted_.end(), key,
                                              [&](uint32_t slot, std::string_view k) {
                                                return payees_[slot].folded < k;
                                              }) -
                             sorted_.begin());
}

void TXPayeeIndex::SetLatest(uint32_t slot, uint64_t stamp) {
  TPayee& payee = payees_[slot];
  if (!building_) {
    recent_.erase({payee.latest, slot});
    recent_.emplace(stamp, slot);
  }
  payee.latest = stamp;
}

void TXPayeeIndex::Note(const TXRecord& record) {
  if (!built_)
    return;
  const uint32_t id = record.Id;
  if (!Counts(record)) {
    Forget(id);
    return;
  }
  const std::string& folded = Fold(record.GetPayableTo());
  NoteKeyed(record, folded, std::hash<std::string_view>{}(folded));
}

void TXPayeeIndex::NoteKeyed(const TXRecord& record, std::string_view folded, size_t hash) {
  const uint32_t id = record.Id;
  if (id >= uses_.size())
    uses_.resize(std::max<size_t>(id + 1, uses_.size() + uses_.size() / 2));
  const uint32_t slot = SlotOf(folded, hash);
  const uint64_t stamp = StampOf(record);
  if (uses_[id].payee != slot + 1) {
    Drop(id);
    TPayee& payee = payees_[slot];
    ++payee.count;
    payee.ids.push_back(id);
  } else if (uses_[id].stamp == payees_[slot].latest && stamp < uses_[id].stamp) {
    // The latest use moved back in time; another may be later now.
    payees_[slot].stale = true;
  }
  TUse& use = uses_[id];
  use.payee = slot + 1;
  use.account = record.AccountId;
  use.stamp = stamp;
  if (stamp >= payees_[slot].latest) {
    SetLatest(slot, stamp);
    payees_[slot].text.assign(record.GetPayableTo());
  }
}

void TXPayeeIndex::Forget(uint32_t id) {
  if (built_ && id < uses_.size())
    Drop(id);
}

void TXPayeeIndex::Drop(uint32_t id) {
  TUse& use = uses_[id];
  if (use.payee == 0)
    return;
  const uint32_t slot = use.payee - 1;
  TPayee& payee = payees_[slot];
  use.payee = 0;
  if (--payee.count == 0) {
    RemoveFromTable(slot);
    return;
  }
  if (use.stamp == payee.latest)
    payee.stale = true;
  // Records that moved on stay in the list until it is twice as long as the payee's use.
  if (payee.ids.size() > 2 * size_t{payee.count} + 8) {
    std::erase_if(payee.ids, [&](uint32_t other) { return uses_[other].payee != slot + 1; });
    std::sort(payee.ids.begin(), payee.ids.end());
    payee.ids.erase(std::unique(payee.ids.begin(), payee.ids.end()), payee.ids.end());
  }
}

void TXPayeeIndex::Refresh(uint32_t slot) {
  TPayee& payee = payees_[slot];
  if (!payee.stale)
    return;
  uint64_t latest = 0;
  for (uint32_t id : payee.ids) {
    if (uses_[id].payee == slot + 1)
      latest = std::max(latest, uses_[id].stamp);
  }
  payee.stale = false;
  SetLatest(slot, latest);
  if (const uint32_t index = store_->Find(IdOfStamp(latest)); index != 0)
    payee.text.assign(store_->At(index).GetPayableTo());
}

std::vector<std::string> TXPayeeIndex::Matches(std::string_view prefix, size_t limit) {
  std::vector<std::string> texts;
  if (prefix.empty() || !built_ || limit == 0)
    return texts;
  const std::string key = Fold(prefix);
  const size_t first = SortedLowerBound(key);
  const size_t last = static_cast<size_t>(
      std::partition_point(sorted_.begin() + static_cast<std::ptrdiff_t>(first), sorted_.end(),
                           [&](uint32_t slot) { return StartsWith(payees_[slot].folded, key); }) -
      sorted_.begin());
  // A short prefix that many payees share: their latest uses are walked from the newest, which
  // meets `limit` matches after about limit * payees / matches steps; a rarer prefix: its few
  // payees are sorted. The two costs meet at sqrt(limit * payees) matches.
  const size_t matching = last - first;
  if (matching * matching > limit * live_) {
    auto at = recent_.end();
    while (at != recent_.begin() && texts.size() < limit) {
      --at;
      const uint32_t slot = at->second;
      if (!StartsWith(payees_[slot].folded, key))
        continue;
      if (payees_[slot].stale) {
        // Its latest use only falls, so it moves below this place, where the walk meets it again.
        const auto above = std::next(at);
        Refresh(slot);
        at = above;
        continue;
      }
      texts.push_back(payees_[slot].text);
    }
    return texts;
  }
  std::vector<uint32_t> found(sorted_.begin() + static_cast<std::ptrdiff_t>(first),
                              sorted_.begin() + static_cast<std::ptrdiff_t>(last));
  for (uint32_t slot : found)
    Refresh(slot);
  const size_t count = std::min(limit, found.size());
  std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(count), found.end(),
                    [&](uint32_t a, uint32_t b) { return payees_[a].latest > payees_[b].latest; });
  for (size_t i = 0; i < count; ++i)
    texts.push_back(payees_[found[i]].text);
  return texts;
}

uint32_t TXPayeeIndex::LatestRecord(std::string_view text, uint32_t accountId) {
  if (!built_ || table_.empty())
    return 0;
  const std::string& folded = Fold(text);
  const uint32_t entry = table_[Probe(folded, std::hash<std::string_view>{}(folded))];
  if (entry == 0 || entry == kGone)
    return 0;
  const uint32_t slot = entry - 1;
  TPayee& payee = payees_[slot];
  if (accountId != 0) {
    uint64_t best = 0;
    for (uint32_t id : payee.ids) {
      const TUse& use = uses_[id];
      if (use.payee == slot + 1 && use.account == accountId)
        best = std::max(best, use.stamp);
    }
    if (best != 0)
      return IdOfStamp(best);
  }
  Refresh(slot);
  return IdOfStamp(payee.latest);
}

size_t TXPayeeIndex::MemoryBytes() const {
  size_t bytes = uses_.capacity() * sizeof(TUse) + payees_.capacity() * sizeof(TPayee) +
                 table_.capacity() * sizeof(uint32_t) + sorted_.capacity() * sizeof(uint32_t);
  for (const TPayee& payee : payees_) {
    bytes += payee.ids.capacity() * sizeof(uint32_t);
    for (const std::string* text : {&payee.text, &payee.folded})
      bytes += text->size() > 15 ? text->capacity() + 1 : 0;
  }
  // A node of the recency set: the entry and about four pointers.
  return bytes + recent_.size() * (sizeof(TRecency) + 4 * sizeof(void*));
}

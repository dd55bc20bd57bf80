#include "transactions/payee_index.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
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

uint32_t TagOf(size_t hash) {
  return static_cast<uint32_t>(uint64_t{hash} >> 32);
}

/// The largest record identifier whose use is kept in the table by identifier: a few times the
/// records the store holds.
size_t DirectUseLimit(const TXStore& store) {
  return 2 * size_t{store.Count()} + 1024;
}

constexpr uint64_t kOnes = 0x0101010101010101u;
constexpr uint64_t kHighBits = 0x8080808080808080u;

/// FoldCp1252 of every byte.
const std::array<char, 256>& FoldTable() {
  static const std::array<char, 256> table = [] {
    std::array<char, 256> made{};
    for (size_t byte = 0; byte < made.size(); ++byte)
      made[byte] = FoldCp1252(static_cast<char>(byte));
    return made;
  }();
  return table;
}

/// Folds the `size` bytes at `from` into `to`, padded with zeros to whole 8-byte words, and
/// returns the hash of the folded text. A word of ASCII text is folded at once: each byte from
/// 'A' to 'Z' gains the 0x20 bit (no byte below 0x80 carries into the next).
size_t FoldWords(const char* from, size_t size, char* to) {
  const std::array<char, 256>& fold = FoldTable();
  uint64_t hash = (size + 1) * 0x9E3779B97F4A7C15u;
  for (size_t at = 0; at < size; at += 8) {
    uint64_t word = 0;
    if (size - at >= sizeof word)
      std::memcpy(&word, from + at, sizeof word);
    else
      std::memcpy(&word, from + at, size - at);
    if ((word & kHighBits) == 0) {
      const uint64_t fromA = word + (0x80 - 'A') * kOnes;
      const uint64_t pastZ = word + (0x80 - 'Z' - 1) * kOnes;
      word |= (fromA & ~pastZ & kHighBits) >> 2;
      std::memcpy(to + at, &word, sizeof word);
    } else {
      std::memcpy(to + at, &word, sizeof word);
      for (size_t i = at; i < at + 8; ++i)
        to[i] = fold[static_cast<unsigned char>(to[i])];
      std::memcpy(&word, to + at, sizeof word);
    }
    hash = (hash ^ word) * 0xBF58476D1CE4E5B9u;
    hash ^= hash >> 31;
  }
  hash *= 0x94D049BB133111EBu;
  return static_cast<size_t>(hash ^ (hash >> 29));
}

size_t WholeWords(size_t size) {
  return (size + 7) & ~size_t{7};
}

}  // namespace

bool TXPayeeIndex::Counts(const TXRecord& record) {
  if (!record.IsLive() || (record.Flags & kXHidden) != 0 || record.IsMultipleKid())
    return false;
  const std::string_view payee = record.GetPayableTo();
  return !payee.empty() && payee.find("~t") == std::string_view::npos;
}

size_t TXPayeeIndex::Fold(std::string_view text) {
  folded_.resize(WholeWords(text.size()));
  const size_t hash = FoldWords(text.data(), text.size(), folded_.data());
  folded_.resize(text.size());
  return hash;
}

void TXPayeeIndex::Invalidate() {
  built_ = false;
  uses_.clear();
  uses_.shrink_to_fit();
  farUses_.clear();
  payees_.clear();
  ids_.clear();
  ids_.shrink_to_fit();
  free_.clear();
  live_ = 0;
  table_.clear();
  tableUsed_ = 0;
  sorted_.clear();
  recent_.clear();
}

TXPayeeIndex::TUse& TXPayeeIndex::UseFor(uint32_t id) {
  if (id < uses_.size())
    return uses_[id];
  const size_t limit = DirectUseLimit(*store_);
  if (id > limit)
    return farUses_[id];
  uses_.resize(std::min(limit, std::max<size_t>(id, uses_.size() + uses_.size() / 2)) + 1);
  std::erase_if(farUses_, [&](const auto& entry) {
    if (entry.first >= uses_.size())
      return false;
    uses_[entry.first] = entry.second;
    return true;
  });
  return uses_[id];
}

const TXPayeeIndex::TUse* TXPayeeIndex::FindFarUse(uint32_t id) const {
  const auto found = farUses_.find(id);
  return found != farUses_.end() ? &found->second : nullptr;
}

template <typename Visit>
void TXPayeeIndex::ForEachListed(const TPayee& payee, Visit visit) const {
  // Read once: a use that is not in the table by identifier is looked for out of line, which
  // would otherwise have every step read the lists' places again.
  const uint32_t* const run = ids_.data() + payee.runStart;
  const uint32_t runSize = payee.runSize;
  const TUse* const uses = uses_.data();
  const size_t usesSize = uses_.size();
  const auto useOf = [&](uint32_t id) { return id < usesSize ? &uses[id] : FindFarUse(id); };
  for (uint32_t at = 0; at < runSize; ++at)
    visit(run[at], useOf(run[at]));
  const uint32_t* const more = payee.more.data();
  const size_t moreSize = payee.more.size();
  for (size_t at = 0; at < moreSize; ++at)
    visit(more[at], useOf(more[at]));
}

void TXPayeeIndex::Build(const TXStore& store) {
  Invalidate();
  built_ = true;
  store_ = &store;
  uses_.resize(std::min<size_t>(store.LastId(), DirectUseLimit(store)) + 1);
  // The records are only counted here; their lists and the orders are made once at the end.
  building_ = true;
  // The payees are far apart in memory and each record finds its own, so the records go in
  // batches through three steps, each batch one step behind the one before it: fold and hash
  // the payee and ask for its place in the table; find the payee there and ask for its count;
  // count the record. Each step finds in the cache what the step before asked for a batch
  // earlier. The counts are kept apart from the payees, a small part of their size, so that
  // they stay in the cache; a payee's spelling is read once, from its latest record.
  struct TCounted {
    uint64_t latest = 0;
    const TXRecord* record = nullptr;  // the latest
    uint32_t count = 0;
  };
  std::vector<TCounted> counted;
  constexpr uint32_t kBatch = 16;
  constexpr uint32_t kSteps = 3;
  struct TKeyed {
    const TXRecord* record = nullptr;
    size_t hash = 0;
    uint32_t size = 0;
    uint32_t ref = 0;  // the payee's slot + 1 when its first place in the table holds it
    alignas(8) char folded[TXRecord::kTextSize + 8];
  };
  struct TBatch {
    std::array<TKeyed, kBatch> records;
    uint32_t size = 0;
  };
  std::array<TBatch, kSteps> batches;
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
          continue;
        const std::string_view text = record.GetPayableTo();
        TKeyed& keyed = batch.records[batch.size++];
        keyed.record = &record;
        keyed.size = static_cast<uint32_t>(text.size());
        keyed.hash = FoldWords(text.data(), text.size(), keyed.folded);
        if (!table_.empty())
          __builtin_prefetch(&table_[keyed.hash & (table_.size() - 1)]);
      }
    }
    if (step >= 1 && step - 1 < batchCount) {
      TBatch& batch = batches[(step - 1) % kSteps];
      for (uint32_t i = 0; i < batch.size; ++i) {
        TKeyed& keyed = batch.records[i];
        keyed.ref = 0;
        if (table_.empty() || keyed.size > kHead)
          continue;
        const TEntry& entry = table_[keyed.hash & (table_.size() - 1)];
        if (Holds(entry, {keyed.folded, keyed.size}, TagOf(keyed.hash))) {
          keyed.ref = entry.ref;
          __builtin_prefetch(&counted[entry.ref - 1]);
        }
      }
    }
    if (step >= 2 && step - 2 < batchCount) {
      const TBatch& batch = batches[(step - 2) % kSteps];
      for (uint32_t i = 0; i < batch.size; ++i) {
        const TKeyed& keyed = batch.records[i];
        const TXRecord& record = *keyed.record;
        TUse& use = UseFor(record.Id);
        if (use.payee != 0)
          continue;  // only a damaged store repeats an identifier: its first record counts
        // No payee leaves during a build, so the slot found a step earlier still holds it; and
        // the slots are made one after the other.
        const uint32_t slot =
            keyed.ref != 0 ? keyed.ref - 1 : SlotOf({keyed.folded, keyed.size}, keyed.hash);
        if (slot == counted.size())
          counted.emplace_back();
        use = TUse{slot + 1, record.AccountId, StampOf(record)};
        TCounted& payee = counted[slot];
        ++payee.count;
        if (use.stamp > payee.latest) {
          payee.latest = use.stamp;
          payee.record = &record;
        }
      }
    }
  }
  constexpr uint32_t kAhead = 8;
  for (uint32_t slot = 0; slot < counted.size(); ++slot) {
    if (slot + kAhead < counted.size())
      __builtin_prefetch(counted[slot + kAhead].record->PayableTo);
    TPayee& payee = payees_[slot];
    payee.count = counted[slot].count;
    payee.latest = counted[slot].latest;
    payee.text.assign(counted[slot].record->GetPayableTo());
  }
  building_ = false;
  Finish();
}

void TXPayeeIndex::Finish() {
  // Each payee's run of records is as long as its count: the records are placed by walking
  // the uses, so no list grows as they come.
  std::vector<uint32_t> next(payees_.size());
  uint32_t total = 0;
  for (uint32_t slot = 0; slot < payees_.size(); ++slot) {
    payees_[slot].runStart = next[slot] = total;
    total += payees_[slot].count;
  }
  ids_.assign(total, 0);
  for (uint32_t id = 0; id < uses_.size(); ++id) {
    if (uses_[id].payee != 0)
      ids_[next[uses_[id].payee - 1]++] = id;
  }
  for (const auto& [id, use] : farUses_) {
    if (use.payee != 0)
      ids_[next[use.payee - 1]++] = id;
  }
  // Sorted by the first eight bytes read as a number, then by the whole text, so that most
  // comparisons read neither the payees nor their texts.
  struct TSortKey {
    uint64_t head = 0;
    std::string_view folded;
    uint32_t slot = 0;
  };
  std::vector<TSortKey> keys;
  keys.reserve(live_);
  std::vector<TRecency> recency;
  recency.reserve(live_);
  for (uint32_t slot = 0; slot < payees_.size(); ++slot) {
    TPayee& payee = payees_[slot];
    if (payee.count == 0)
      continue;
    payee.runSize = payee.count;
    TSortKey key{0, payee.folded, slot};
    for (size_t i = 0; i < std::min<size_t>(8, key.folded.size()); ++i)
      key.head |= uint64_t{static_cast<unsigned char>(key.folded[i])} << (56 - 8 * i);
    keys.push_back(key);
    recency.emplace_back(payee.latest, slot);
  }
  std::sort(keys.begin(), keys.end(), [](const TSortKey& a, const TSortKey& b) {
    return a.head != b.head ? a.head < b.head : a.folded < b.folded;
  });
  sorted_.clear();
  sorted_.reserve(keys.size());
  for (const TSortKey& key : keys)
    sorted_.push_back(key.slot);
  std::sort(recency.begin(), recency.end());
  recent_ = std::set<TRecency>(recency.begin(), recency.end());
}

bool TXPayeeIndex::Holds(const TEntry& entry, std::string_view folded, uint32_t tag) const {
  if (entry.ref == 0 || entry.ref == kGone || entry.tag != tag || entry.size != folded.size() ||
      std::memcmp(entry.head, folded.data(), std::min(folded.size(), kHead)) != 0)
    return false;
  return folded.size() <= kHead ||
         std::string_view(payees_[entry.ref - 1].folded).substr(kHead) == folded.substr(kHead);
}

TXPayeeIndex::TEntry TXPayeeIndex::EntryOf(uint32_t slot) const {
  static_assert(TXRecord::kTextSize <= UINT8_MAX, "a key's size fits its entry");
  const TPayee& payee = payees_[slot];
  TEntry entry{slot + 1, TagOf(payee.hash), static_cast<uint8_t>(payee.folded.size())};
  std::memcpy(entry.head, payee.folded.data(), std::min(payee.folded.size(), kHead));
  return entry;
}

size_t TXPayeeIndex::Probe(std::string_view folded, size_t hash) const {
  const size_t mask = table_.size() - 1;
  const uint32_t tag = TagOf(hash);
  size_t reusable = SIZE_MAX;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    const TEntry& entry = table_[at];
    if (entry.ref == 0)
      return reusable != SIZE_MAX ? reusable : at;
    if (entry.ref == kGone) {
      if (reusable == SIZE_MAX)
        reusable = at;
      continue;
    }
    if (Holds(entry, folded, tag))
      return at;
  }
}

void TXPayeeIndex::Rehash(size_t size) {
  table_.assign(size, TEntry{});
  tableUsed_ = 0;
  for (uint32_t slot = 0; slot < payees_.size(); ++slot) {
    if (payees_[slot].folded.empty())  // a free slot
      continue;
    size_t at = payees_[slot].hash & (size - 1);
    while (table_[at].ref != 0)
      at = (at + 1) & (size - 1);
    table_[at] = EntryOf(slot);
    ++tableUsed_;
  }
}

uint32_t TXPayeeIndex::SlotOf(std::string_view folded, size_t hash) {
  // At most half full, removed places counted, so that probes stay short; made again at most
  // a third full, so that the next growth waits for as many payees as it costs.
  if (2 * (tableUsed_ + 1) > table_.size())
    Rehash(std::max<size_t>(64, std::bit_ceil(3 * (live_ + 1))));
  const size_t at = Probe(folded, hash);
  if (table_[at].ref != 0 && table_[at].ref != kGone)
    return table_[at].ref - 1;
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
  if (table_[at].ref == 0)
    ++tableUsed_;
  table_[at] = EntryOf(slot);
  ++live_;
  if (!building_) {
    const size_t place = SortedLowerBound(folded);
    sorted_.insert(sorted_.begin() + static_cast<std::ptrdiff_t>(place), slot);
  }
  return slot;
}

void TXPayeeIndex::RemoveFromTable(uint32_t slot) {
  TPayee& payee = payees_[slot];
  table_[Probe(payee.folded, payee.hash)] = TEntry{kGone};
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
  if (!Counts(record)) {
    Forget(record.Id);
    return;
  }
  const size_t hash = Fold(record.GetPayableTo());
  NoteKeyed(record, folded_, hash);
}

void TXPayeeIndex::NoteKeyed(const TXRecord& record, std::string_view folded, size_t hash) {
  const uint32_t id = record.Id;
  const uint32_t slot = SlotOf(folded, hash);
  const uint64_t stamp = StampOf(record);
  TUse& use = UseFor(id);  // Drop finds it where it is
  if (use.payee != slot + 1) {
    Drop(id);
    TPayee& payee = payees_[slot];
    ++payee.count;
    payee.more.push_back(id);
  } else if (use.stamp == payees_[slot].latest && stamp < use.stamp) {
    // The latest use moved back in time; another may be later now.
    payees_[slot].stale = true;
  }
  use.payee = slot + 1;
  use.account = record.AccountId;
  use.stamp = stamp;
  if (stamp >= payees_[slot].latest) {
    SetLatest(slot, stamp);
    payees_[slot].text.assign(record.GetPayableTo());
  }
}

void TXPayeeIndex::Forget(uint32_t id) {
  if (built_)
    Drop(id);
}

void TXPayeeIndex::Drop(uint32_t id) {
  TUse* use = FindUse(id);
  if (use == nullptr || use->payee == 0)
    return;
  const uint32_t slot = use->payee - 1;
  TPayee& payee = payees_[slot];
  use->payee = 0;
  if (--payee.count == 0) {
    RemoveFromTable(slot);
    return;
  }
  if (use->stamp == payee.latest)
    payee.stale = true;
  // Records that moved on stay listed until the lists are twice as long as the payee's use;
  // then the payee's records go to its own list.
  if (payee.runSize + payee.more.size() > 2 * size_t{payee.count} + 8) {
    std::vector<uint32_t> kept;
    ForEachListed(payee, [&](uint32_t other, const TUse* listed) {
      if (listed != nullptr && listed->payee == slot + 1)
        kept.push_back(other);
    });
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    payee.more = std::move(kept);
    payee.runSize = 0;
  }
}

void TXPayeeIndex::Refresh(uint32_t slot) {
  TPayee& payee = payees_[slot];
  if (!payee.stale)
    return;
  uint64_t latest = 0;
  ForEachListed(payee, [&](uint32_t, const TUse* use) {
    if (use != nullptr && use->payee == slot + 1)
      latest = std::max(latest, use->stamp);
  });
  payee.stale = false;
  SetLatest(slot, latest);
  if (const uint32_t index = store_->Find(IdOfStamp(latest)); index != 0)
    payee.text.assign(store_->At(index).GetPayableTo());
}

std::vector<std::string> TXPayeeIndex::Matches(std::string_view prefix, size_t limit) {
  std::vector<std::string> texts;
  if (prefix.empty() || !built_ || limit == 0)
    return texts;
  Fold(prefix);
  const std::string key = folded_;
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
  const size_t hash = Fold(text);
  const uint32_t ref = table_[Probe(folded_, hash)].ref;
  if (ref == 0 || ref == kGone)
    return 0;
  const uint32_t slot = ref - 1;
  TPayee& payee = payees_[slot];
  if (accountId != 0) {
    uint64_t best = 0;
    ForEachListed(payee, [&](uint32_t, const TUse* use) {
      if (use != nullptr && use->payee == slot + 1 && use->account == accountId)
        best = std::max(best, use->stamp);
    });
    if (best != 0)
      return IdOfStamp(best);
  }
  Refresh(slot);
  return IdOfStamp(payee.latest);
}

size_t TXPayeeIndex::MemoryBytes() const {
  // A node of a hashed map or of the recency set: the entry and about four pointers.
  constexpr size_t kNode = 4 * sizeof(void*);
  size_t bytes = uses_.capacity() * sizeof(TUse) + farUses_.size() * (sizeof(TUse) + kNode) +
                 payees_.capacity() * sizeof(TPayee) + ids_.capacity() * sizeof(uint32_t) +
                 table_.capacity() * sizeof(TEntry) + sorted_.capacity() * sizeof(uint32_t);
  for (const TPayee& payee : payees_) {
    bytes += payee.more.capacity() * sizeof(uint32_t);
    for (const std::string* text : {&payee.text, &payee.folded})
      bytes += text->size() > 15 ? text->capacity() + 1 : 0;
  }
  return bytes + recent_.size() * (sizeof(TRecency) + kNode);
}

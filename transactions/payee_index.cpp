#include "transactions/payee_index.h"

#include <algorithm>
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
  byText_.clear();
  ordered_.clear();
}

void TXPayeeIndex::Build(const TXStore& store) {
  Invalidate();
  built_ = true;
  store_ = &store;
  uses_.reserve(store.Count() + 1);
  for (uint32_t index = 1; index <= store.Count(); ++index) {
    if (store.At(index).Flags != 0)
      Note(store.At(index));
  }
}

uint32_t TXPayeeIndex::SlotOf(std::string_view text) {
  auto found = byText_.find(Fold(text));
  if (found != byText_.end())
    return found->second;
  uint32_t slot = 0;
  if (free_.empty()) {
    slot = static_cast<uint32_t>(payees_.size());
    payees_.emplace_back();
  } else {
    slot = free_.back();
    free_.pop_back();
    payees_[slot] = TPayee{};
  }
  byText_.emplace(folded_, slot);
  ordered_.emplace(folded_, slot);
  return slot;
}

void TXPayeeIndex::Note(const TXRecord& record) {
  if (!built_)
    return;
  const uint32_t id = record.Id;
  if (!Counts(record)) {
    Forget(id);
    return;
  }
  if (id >= uses_.size())
    uses_.resize(std::max<size_t>(id + 1, uses_.size() + uses_.size() / 2));
  const uint32_t slot = SlotOf(record.GetPayableTo());
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
  TPayee& payee = payees_[slot];
  if (stamp >= payee.latest) {
    payee.latest = stamp;
    payee.text.assign(record.GetPayableTo());
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
    const std::string& key = Fold(payee.text);
    byText_.erase(key);
    ordered_.erase(key);
    payee = TPayee{};
    free_.push_back(slot);
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

void TXPayeeIndex::Refresh(TPayee& payee) {
  if (!payee.stale)
    return;
  const uint32_t slot = static_cast<uint32_t>(&payee - payees_.data());
  payee.latest = 0;
  for (uint32_t id : payee.ids) {
    if (uses_[id].payee == slot + 1)
      payee.latest = std::max(payee.latest, uses_[id].stamp);
  }
  payee.stale = false;
  if (const uint32_t index = store_->Find(IdOfStamp(payee.latest)); index != 0)
    payee.text.assign(store_->At(index).GetPayableTo());
}

std::vector<std::string> TXPayeeIndex::Matches(std::string_view prefix, size_t limit) {
  std::vector<std::string> texts;
  if (prefix.empty() || !built_)
    return texts;
  const std::string key = Fold(prefix);
  std::vector<TPayee*> found;
  for (auto it = ordered_.lower_bound(key);
       it != ordered_.end() && it->first.compare(0, key.size(), key) == 0; ++it) {
    TPayee& payee = payees_[it->second];
    Refresh(payee);
    found.push_back(&payee);
  }
  const size_t count = std::min(limit, found.size());
  std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(count), found.end(),
                    [](const TPayee* a, const TPayee* b) { return a->latest > b->latest; });
  for (size_t i = 0; i < count; ++i)
    texts.push_back(found[i]->text);
  return texts;
}

uint32_t TXPayeeIndex::LatestRecord(std::string_view text, uint32_t accountId) {
  if (!built_)
    return 0;
  auto found = byText_.find(Fold(text));
  if (found == byText_.end())
    return 0;
  const uint32_t slot = found->second;
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
  Refresh(payee);
  return IdOfStamp(payee.latest);
}

size_t TXPayeeIndex::MemoryBytes() const {
  size_t bytes = uses_.capacity() * sizeof(TUse) + payees_.capacity() * sizeof(TPayee);
  for (const TPayee& payee : payees_)
    bytes += payee.ids.capacity() * sizeof(uint32_t) + payee.text.capacity();
  // A node of either map: the key, the slot and about four pointers.
  const size_t node = sizeof(std::string) + sizeof(uint32_t) + 4 * sizeof(void*);
  for (const auto& [key, slot] : ordered_)
    bytes += 2 * (node + (key.size() > 15 ? key.capacity() : 0));
  return bytes + byText_.bucket_count() * sizeof(void*);
}

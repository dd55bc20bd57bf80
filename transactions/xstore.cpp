#include "transactions/xstore.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/model_error.h"
#include "core/pstream.h"
#include "transactions/xordering.h"
#include "transactions/xplacement.h"

static_assert(std::is_trivially_copyable_v<TXRecord>, "slots are moved and stored as raw bytes");

void TXStore::FreeBlock::operator()(TXRecord* block) const {
  std::free(block);
}

// The memory follows the slots in use: a store read from a small file, or a new one, holds only
// what it needs (documents are also made by the thousand when damaged files are tried).
TXStore::TXStore() = default;

void TXStore::ResetEmpty() {
  ordered_ = false;
  killedFrom_ = 0;
  seenAt_.clear();
  seenLargeAt_.clear();
  partCounts_.clear();
  count_ = 0;
  capacity_ = kInitialCapacity;
  lastId_ = 0;
  cursor_ = 0;
  tailStart_ = 1;
}

void TXStore::Reserve(size_t slots) {
  if (slots <= allocated_)
    return;
  constexpr size_t kFirstSlots = 16;
  size_t grown = std::max(kFirstSlots, allocated_ + allocated_ / 2);
  size_t wanted = std::max(slots, grown);
  // The records are plain bytes: the block is moved as it is and needs no constructors.
  void* block = std::realloc(slots_.get(), wanted * sizeof(TXRecord));
  if (block == nullptr) {
    wanted = slots;
    block = std::realloc(slots_.get(), wanted * sizeof(TXRecord));
    if (block == nullptr)
      throw std::bad_alloc();
  }
  (void)slots_.release();
  slots_.reset(static_cast<TXRecord*>(block));
  allocated_ = wanted;
}

TXRecord& TXStore::Slot(uint32_t index) {
  if (index == 0 || index > count_)
    throw TModelError("Transaction slot out of range.");
  return slots_.get()[index - 1];
}

const TXRecord& TXStore::At(uint32_t index) const {
  if (index == 0 || index > count_)
    throw TModelError("Transaction slot out of range.");
  return slots_.get()[index - 1];
}

uint32_t TXStore::DirectIdLimit() const {
  const uint64_t limit = 2 * uint64_t{allocated_} + kInitialCapacity;
  return static_cast<uint32_t>(std::min<uint64_t>(limit, std::numeric_limits<uint32_t>::max()));
}

void TXStore::Remember(uint32_t id, uint32_t index) const {
  if (id == 0)
    return;
  const uint32_t limit = DirectIdLimit();
  if (id > limit) {
    seenLargeAt_[id] = index;
    return;
  }
  if (id >= seenAt_.size()) {
    // Room made for a batch is used before the table doubles.
    const size_t room = seenAt_.capacity() > id ? seenAt_.capacity() : seenAt_.size() * 2;
    const size_t grown = std::max<size_t>(size_t{id} + 1, room);
    seenAt_.resize(std::min<size_t>(grown, size_t{limit} + 1));
  }
  seenAt_[id] = index;
}

void TXStore::MakeRoomFor(size_t records) {
  Reserve(size_t{count_} + records);
  // The table of identifiers would otherwise double while the batch arrives, holding both
  // tables at the moment it moves.
  const size_t ids = std::min<size_t>(size_t{lastId_} + records + 1, size_t{DirectIdLimit()} + 1);
  if (!seenAt_.empty() && ids > seenAt_.capacity())
    seenAt_.reserve(ids);
}

void TXStore::RememberFrom(uint32_t from) const {
  for (uint32_t index = std::max<uint32_t>(from, 1); index <= count_; ++index) {
    Remember(slots_.get()[index - 1].Id, index);
  }
}

uint32_t TXStore::Find(uint32_t id, uint32_t hint) const {
  if (id == 0 || count_ == 0)
    return 0;
  const TXRecord* slots = slots_.get();
  auto matches = [&](uint32_t index) {
    return slots[index - 1].Id == id && slots[index - 1].Flags != 0;
  };
  auto found = [&](uint32_t index) {
    cursor_ = index;
    Remember(id, index);
    return index;
  };
  if (hint >= 1 && hint <= count_ && matches(hint))
    return found(hint);
  uint32_t start = cursor_ >= 1 && cursor_ <= count_ ? cursor_ : 1;
  uint32_t seen = 0;
  if (id < seenAt_.size()) {
    seen = seenAt_[id];
  } else if (auto large = seenLargeAt_.find(id); large != seenLargeAt_.end()) {
    seen = large->second;
  }
  if (seen >= 1 && seen <= count_) {
    if (matches(seen))
      return found(seen);
    start = seen;
  }
  for (uint32_t step = 0;; ++step) {
    bool inside = false;
    if (step < count_ - start + 1) {
      inside = true;
      if (matches(start + step))
        return found(start + step);
    }
    if (step > 0 && step < start) {
      inside = true;
      if (matches(start - step))
        return found(start - step);
    }
    if (!inside)
      return 0;
  }
}

uint32_t TXStore::LastLive() const {
  for (uint32_t index = LastNonDead(); index >= 1; --index) {
    if (slots_.get()[index - 1].IsLive())
      return index;
  }
  return 0;
}

void TXStore::FixTail(uint32_t top) {
  if (tailStart_ > top + 1)
    return;
  uint32_t start = std::min(top, count_) + 1;
  while (start > 1 && slots_.get()[start - 2].Flags == 0)
    --start;
  tailStart_ = start;
}

uint32_t TXStore::ClaimSlot() {
  const uint32_t used = LastNonDead();
  if (used == count_) {
    if (count_ == std::numeric_limits<uint32_t>::max() ||
        lastId_ == std::numeric_limits<uint32_t>::max()) {
      throw TModelError("The transaction store is full.");
    }
    if (journal_ != nullptr)
      journal_->NoteSize(count_, capacity_, lastId_);
    if (count_ >= capacity_) {
      capacity_ = capacity_ > std::numeric_limits<uint32_t>::max() - kGrowth
                      ? std::numeric_limits<uint32_t>::max()
                      : capacity_ + kGrowth;
    }
    Reserve(size_t{count_} + 1);
    TXRecord fresh{};
    fresh.Id = ++lastId_;
    slots_.get()[count_] = fresh;
    ++count_;
  }
  TXRecord& slot = slots_.get()[used];
  // A dead slot of a damaged file may carry no identifier; a record in use always has one.
  if (slot.Id == 0) {
    if (lastId_ == std::numeric_limits<uint32_t>::max()) {
      throw TModelError("The transaction store is full.");
    }
    NoteImage(used + 1);
    if (journal_ != nullptr)
      journal_->NoteSize(count_, capacity_, lastId_);
    slot.Id = ++lastId_;
  }
  return used + 1;
}

void TXStore::CountPart(const TXRecord& record, int change) {
  if (record.Flags == 0 || !record.IsMultipleKid())
    return;
  uint32_t& count = partCounts_[record.ParentId];
  count = static_cast<uint32_t>(static_cast<int64_t>(count) + change);
  if (count == 0)
    partCounts_.erase(record.ParentId);
}

uint32_t TXStore::PartCount(uint32_t multipleId) const {
  auto found = partCounts_.find(multipleId);
  return found == partCounts_.end() ? 0 : found->second;
}

std::vector<uint32_t> TXStore::PartSlots(uint32_t multipleId) const {
  std::vector<uint32_t> slots;
  const uint32_t wanted = PartCount(multipleId);
  if (wanted == 0)
    return slots;
  const uint32_t start = std::max<uint32_t>(Find(multipleId), 1);
  auto isPart = [&](uint32_t index) {
    const TXRecord& record = slots_.get()[index - 1];
    return record.Flags != 0 && record.IsMultipleKid() && record.ParentId == multipleId;
  };
  for (uint32_t step = 0; slots.size() < wanted; ++step) {
    bool inside = false;
    if (step < count_ - start + 1) {
      inside = true;
      if (isPart(start + step))
        slots.push_back(start + step);
    }
    if (step > 0 && step < start) {
      inside = true;
      if (isPart(start - step))
        slots.push_back(start - step);
    }
    if (!inside)
      break;
  }
  std::sort(slots.begin(), slots.end());
  return slots;
}

void TXStore::Put(uint32_t index, const TXRecord& record) {
  ordered_ = false;
  NoteImage(index);
  CountPart(At(index), -1);
  CountPart(record, 1);
  Slot(index) = record;
  Remember(record.Id, index);
  if (record.Flags != 0) {
    tailStart_ = std::max(tailStart_, index + 1);
  } else {
    FixTail(index);
  }
}

void TXStore::Move(uint32_t from, uint32_t to) {
  ordered_ = false;
  if (from == to)
    return;
  if (journal_ != nullptr)
    journal_->NoteMove(from, to);
  TXRecord* slots = slots_.get();
  TXRecord moving = slots[from - 1];
  if (from < to) {
    std::memmove(&slots[from - 1], &slots[from], size_t{to - from} * sizeof(TXRecord));
  } else {
    std::memmove(&slots[to], &slots[to - 1], size_t{from - to} * sizeof(TXRecord));
  }
  slots[to - 1] = moving;
  Remember(moving.Id, to);
  FixTail(std::max(from, to));
  // A move shifts the slots between its ends by one, so a killed slot may now lie one lower.
  if (killedFrom_ != 0)
    killedFrom_ = std::min(killedFrom_, std::min(from, to));
}

uint32_t TXStore::Remove(uint32_t index) {
  ordered_ = false;
  NoteImage(index);
  CountPart(At(index), -1);
  Slot(index).Flags = 0;
  FixTail(index);
  const uint32_t lastLive = LastLive();
  const uint32_t to = index < lastLive ? lastLive : lastLive + 1;
  Move(index, to);
  if (cursor_ > count_)
    cursor_ = 0;
  return to;
}

void TXStore::KillInPlace(uint32_t index) {
  ordered_ = false;
  NoteImage(index);
  CountPart(At(index), -1);
  Slot(index).Flags = 0;
  FixTail(index);
  killedFrom_ = killedFrom_ == 0 ? index : std::min(killedFrom_, index);
}

void TXStore::SettleKilled(const std::vector<uint32_t>& killedIds) {
  if (killedIds.empty())
    return;
  const std::unordered_set<uint32_t> killed(killedIds.begin(), killedIds.end());
  TXRecord* slots = slots_.get();
  auto isKilled = [&](const TXRecord& record) {
    return record.Flags == 0 && killed.count(record.Id) != 0;
  };
  uint32_t first = 0;
  const uint32_t from = killedFrom_ == 0 ? 1 : killedFrom_;
  killedFrom_ = 0;
  for (uint32_t index = from; index <= count_; ++index) {
    if (isKilled(slots[index - 1])) {
      first = index;
      break;
    }
  }
  if (first == 0)
    return;

  // Keep the killed records aside in the order they were killed; close the gaps they leave.
  std::vector<TXRecord> aside;
  aside.reserve(killedIds.size());
  std::vector<uint32_t> asideFrom;
  asideFrom.reserve(killedIds.size());
  uint32_t write = first;
  for (uint32_t read = first; read <= count_; ++read) {
    const TXRecord& record = slots[read - 1];
    if (isKilled(record)) {
      aside.push_back(record);
      asideFrom.push_back(read);
    } else {
      if (write != read)
        slots[write - 1] = record;
      ++write;
    }
  }
  // The one killed last goes first, as one removal after another would leave them.
  std::unordered_map<uint32_t, size_t> where;
  where.reserve(aside.size());
  for (size_t i = 0; i < aside.size(); ++i)
    where.emplace(aside[i].Id, i);
  std::vector<bool> taken(aside.size(), false);
  std::vector<TXRecord> ordered;
  ordered.reserve(aside.size());
  std::vector<TXStoreJournal::TMoved> moved;
  auto take = [&](size_t i) {
    ordered.push_back(aside[i]);
    if (journal_ != nullptr)
      moved.emplace_back(asideFrom[i], 0);
  };
  for (auto id = killedIds.rbegin(); id != killedIds.rend(); ++id) {
    auto found = where.find(*id);
    if (found == where.end() || taken[found->second])
      continue;
    taken[found->second] = true;
    take(found->second);
  }
  // Killed slots whose identifier appears twice in a damaged file follow in store order.
  for (size_t i = 0; i < aside.size(); ++i) {
    if (!taken[i])
      take(i);
  }

  const uint32_t kept = write - 1;
  uint32_t lastLive = 0;
  for (uint32_t index = kept; index >= 1; --index) {
    if (slots[index - 1].IsLive()) {
      lastLive = index;
      break;
    }
  }
  const size_t behind = kept - lastLive;
  std::memmove(&slots[lastLive + ordered.size()], &slots[lastLive], behind * sizeof(TXRecord));
  std::copy(ordered.begin(), ordered.end(), &slots[lastLive]);
  if (journal_ != nullptr) {
    for (uint32_t j = 0; j < moved.size(); ++j)
      moved[j].second = lastLive + 1 + j;
    // The killed records settle behind the last live one, which may lie before the first of
    // them when only records nobody keeps (empty rows of open ledgers) follow it.
    journal_->NoteScatter(std::min(first, lastLive + 1), count_, moved);
  }
  tailStart_ = count_ + 1;
  FixTail(count_);
  cursor_ = 0;
  RememberFrom(first);
}

bool TXStore::Eligible(uint32_t index) const {
  const TXRecord& record = slots_.get()[index - 1];
  return record.Flags != 0 && (record.Flags & kXUnsorted) == 0;
}

uint32_t TXStore::PreviousEligible(uint32_t index) const {
  for (uint32_t slot = index - 1; slot >= 1; --slot) {
    if (Eligible(slot))
      return slot;
  }
  return 0;
}

uint32_t TXStore::NextEligible(uint32_t index) const {
  const uint32_t end = LastNonDead();
  for (uint32_t slot = index + 1; slot <= end; ++slot) {
    if (Eligible(slot))
      return slot;
  }
  return 0;
}

uint32_t TXStore::Replace(uint32_t index, const TXOrdering& ordering) {
  ordered_ = false;
  NoteImage(index);
  TXRecord& record = Slot(index);
  record.Flags &= ~uint32_t{kXUnsorted};
  const TXOrdering::Key key(record);
  auto before = [&](uint32_t slot) {
    return ordering.Before(key, index, slots_.get()[slot - 1], slot);
  };

  // In a store in ledger order the place lies next to where the record is now, or as far away
  // as its keys moved it, so no edit walks the whole store.
  const uint32_t to = PlaceOneRecord(
      index, [this](uint32_t slot) { return PreviousEligible(slot); },
      [this](uint32_t slot) { return NextEligible(slot); }, before);
  if (to != index)
    Move(index, to);
  return to;
}

uint32_t TXStore::PlaceOneByOne(const std::vector<uint32_t>& ids, const TXOrdering& ordering) {
  uint32_t lowest = 0;
  for (uint32_t id : ids) {
    if (const uint32_t index = Find(id); index != 0 && (At(index).Flags & kXUnsorted) != 0) {
      const uint32_t to = Replace(index, ordering);
      lowest = lowest == 0 ? std::min(index, to) : std::min({lowest, index, to});
    }
  }
  return lowest;
}

uint32_t TXStore::PlaceAdded(const std::vector<uint32_t>& ids, const TXOrdering& ordering) {
  if (journal_ == nullptr || ids.empty())
    return PlaceAddedUnnoted(ids, ordering);
  // Only the added records change, and every other slot keeps its order, so the placement is
  // noted as a whole: the added records as they were, then where each went.
  std::vector<TXStoreJournal::TMoved> moved;
  std::vector<uint32_t> movedIds;
  moved.reserve(ids.size());
  movedIds.reserve(ids.size());
  for (uint32_t id : ids) {
    if (const uint32_t index = Find(id); index != 0) {
      NoteImage(index);
      moved.emplace_back(index, 0);
      movedIds.push_back(id);
    }
  }
  TXStoreJournal* journal = std::exchange(journal_, nullptr);
  uint32_t lowest = 0;
  try {
    lowest = PlaceAddedUnnoted(ids, ordering);
  } catch (...) {
    journal_ = journal;
    throw;
  }
  journal_ = journal;
  uint32_t low = count_;
  uint32_t high = 1;
  for (size_t k = 0; k < moved.size(); ++k) {
    auto& [from, to] = moved[k];
    to = Find(movedIds[k]);
    low = std::min({low, from, to});
    high = std::max({high, from, to});
  }
  journal_->NoteScatter(low, high, moved);
  return lowest;
}

uint32_t TXStore::PlaceAddedUnnoted(const std::vector<uint32_t>& ids, const TXOrdering& ordering) {
  if (ids.empty())
    return 0;
  TXRecord* slots = slots_.get();
  const uint32_t end = LastNonDead();
  const uint32_t first = end + 1 >= ids.size() ? end + 1 - static_cast<uint32_t>(ids.size()) : 0;
  bool inPlace = first >= 1;
  for (size_t k = 0; inPlace && k < ids.size(); ++k) {
    const TXRecord& record = slots[first - 1 + k];
    inPlace = record.Id == ids[k] && record.IsLive() && (record.Flags & kXUnsorted) != 0;
  }
  const uint32_t base = first - 1;  // the slots 1..base are the ordered ones
  const std::optional<std::vector<TXPlacement::Place>> plan =
      inPlace ? TXPlacement::Plan(slots, base, end - base, ordering) : std::nullopt;
  if (!plan)
    return PlaceOneByOne(ids, ordering);

  ordered_ = false;
  for (uint32_t index = first; index <= end; ++index)
    slots[index - 1].Flags &= ~uint32_t{kXUnsorted};
  // Every slot from the first that changes goes straight to its place, along the cycles of one
  // permutation: an ordered slot moves up by the added records that go in front of it, the
  // added record of place p goes behind the slot it follows and the p records placed before it.
  const std::vector<TXPlacement::Place>& places = *plan;
  std::vector<uint32_t> placeOf(places.size());
  for (uint32_t p = 0; p < places.size(); ++p)
    placeOf[places[p].added] = p;
  auto destination = [&](uint32_t index) {
    if (index > base) {
      const uint32_t p = placeOf[index - first];
      return places[p].after + p + 1;
    }
    const auto inFront = std::partition_point(
        places.begin(), places.end(),
        [index](const TXPlacement::Place& place) { return place.after < index; });
    return index + static_cast<uint32_t>(inFront - places.begin());
  };
  const uint32_t from = places.front().after + 1;
  std::vector<bool> done(end - from + 1);
  for (uint32_t start = from; start <= end; ++start) {
    if (done[start - from])
      continue;
    done[start - from] = true;
    TXRecord carried = slots[start - 1];
    for (uint32_t target = destination(start); target != start; target = destination(target)) {
      std::swap(carried, slots[target - 1]);
      done[target - from] = true;
    }
    slots[start - 1] = carried;
  }
  tailStart_ = count_ + 1;
  FixTail(count_);
  cursor_ = 0;
  RememberFrom(from);
  return from;
}

void TXStore::Compact(const TXOrdering& ordering) {
  // A store read in order with nothing waiting has nothing to do.
  if (ordered_)
    return;
  std::vector<uint32_t> killed;
  uint32_t index = count_;
  while (index >= 1) {
    TXRecord& record = slots_.get()[index - 1];
    if (record.Flags == 0) {
      --index;
    } else if (!record.IsLive()) {
      killed.push_back(record.Id);
      KillInPlace(index);
      --index;
    } else if ((record.Flags & kXUnsorted) != 0) {
      // The same index is looked at again: it now holds a neighbour that may be unsorted too.
      Replace(index, ordering);
    } else {
      --index;
    }
  }
  SettleKilled(killed);
}

void TXStore::Write(opstream& os) const {
  os.WriteWord32(kFormat);
  os.WriteWord32(capacity_);
  os.WriteWord32(count_);
  os.WriteWord32(lastId_);
  const auto* bytes = reinterpret_cast<const uint8_t*>(slots_.get());
  size_t left = size_t{count_} * sizeof(TXRecord);
  while (left > 0) {
    const size_t piece = std::min(left, kPieceBytes);
    os.WriteBytes(bytes, piece);
    bytes += piece;
    left -= piece;
  }
}

void TXStore::Read(ipstream& is) {
  ResetEmpty();
  const uint32_t format = is.ReadWord();
  const uint32_t capacity = is.ReadRaw32();
  const uint32_t count = is.ReadRaw32();
  const uint32_t lastId = format == kFormatWithoutLastId ? count : is.ReadRaw32();
  if (!is.Good())
    return;
  if (count > capacity) {
    is.SetState(pstream::kFailed);
    return;
  }
  if (!is.CanHold(count, sizeof(TXRecord)))
    return;
  Reserve(count);

  // The slots are looked at chunk by chunk as they arrive, while they are still in the cache:
  // where each identifier lies, which identifiers repeat, the parts of each multiple, and
  // whether anything waits for Compact.
  TIdentifierCheck check(DirectIdLimit());
  bool settled = true;
  uint32_t highest = lastId;
  for (uint32_t first = 1; first <= count && is.Good(); first += kReadChunk) {
    const uint32_t slots = std::min(kReadChunk, count - first + 1);
    is.ReadBytes(&slots_.get()[first - 1], size_t{slots} * sizeof(TXRecord));
    if (!is.Good())
      break;
    for (uint32_t index = first; index < first + slots; ++index) {
      const TXRecord& record = slots_.get()[index - 1];
      highest = std::max(highest, record.Id);
      if (record.Flags == 0) {
        check.dead.push_back(index);
        continue;
      }
      if (!record.IsLive() || (record.Flags & kXUnsorted) != 0)
        settled = false;
      if (!check.Claim(record.Id)) {
        check.repeated.push_back(index);
        continue;
      }
      Remember(record.Id, index);
      CountPart(record, 1);
    }
  }
  if (!is.Good()) {
    ResetEmpty();
    return;
  }

  count_ = count;
  capacity_ = capacity;
  loadedFormat_ = format;
  lastId_ = highest;
  if (!RepairIdentifiers(check)) {
    is.SetState(pstream::kFailed);
    ResetEmpty();
    return;
  }
  tailStart_ = count_ + 1;
  FixTail(count_);
  ordered_ = settled;
}

bool TXStore::TIdentifierCheck::Claim(uint32_t id) {
  if (id == 0)
    return false;
  if (id <= directLimit) {
    if (id >= seen.size()) {
      const size_t grown = std::max<size_t>(size_t{id} + 1, seen.size() * 2);
      seen.resize(std::min<size_t>(grown, size_t{directLimit} + 1), false);
    }
    if (seen[id])
      return false;
    seen[id] = true;
    return true;
  }
  return seenLarge.insert(id).second;
}

bool TXStore::RepairIdentifiers(TIdentifierCheck& check) {
  // Identifiers must be unique over all slots, dead ones included, since a dead slot hands its
  // identifier to the next new record. A damaged file may repeat one or carry 0: the records in
  // use keep the first of each, and every other slot gets a fresh identifier.
  TXRecord* slots = slots_.get();
  for (uint32_t index : check.dead) {
    if (check.Claim(slots[index - 1].Id)) {
      Remember(slots[index - 1].Id, index);
    } else {
      check.repeated.push_back(index);
    }
  }
  for (uint32_t index : check.repeated) {
    if (lastId_ == std::numeric_limits<uint32_t>::max())
      return false;
    TXRecord& record = slots[index - 1];
    record.Id = ++lastId_;
    Remember(record.Id, index);
    CountPart(record, 1);
  }
  return true;
}

bool TXStore::CheckConsistency() const {
  uint32_t start = count_ + 1;
  while (start > 1 && slots_.get()[start - 2].Flags == 0)
    --start;
  std::unordered_map<uint32_t, uint32_t> parts;
  for (uint32_t index = 1; index <= count_; ++index) {
    const TXRecord& record = slots_.get()[index - 1];
    if (record.Flags != 0 && record.IsMultipleKid())
      ++parts[record.ParentId];
  }
  return start == tailStart_ && count_ <= capacity_ && count_ <= allocated_ && parts == partCounts_;
}

namespace {

[[noreturn]] void JournalMismatch() {
  throw TModelError("The history of changes does not fit the transaction store.");
}

}  // namespace

void TXStore::Resize(uint32_t count, uint32_t capacity, uint32_t lastId) {
  // Only dead slots come and go: slots that were claimed, and claimed again on redo.
  for (uint32_t index = count + 1; index <= count_; ++index) {
    if (slots_.get()[index - 1].Flags != 0)
      JournalMismatch();
  }
  if (count > count_ && lastId < lastId_ + (count - count_))
    JournalMismatch();
  if (journal_ != nullptr)
    journal_->NoteSize(count_, capacity_, lastId_);
  ordered_ = false;
  if (count > count_) {
    Reserve(count);
    for (uint32_t index = count_ + 1; index <= count; ++index) {
      TXRecord fresh{};
      fresh.Id = lastId_ + (index - count_);
      slots_.get()[index - 1] = fresh;
    }
  }
  count_ = count;
  capacity_ = capacity;
  lastId_ = lastId;
  if (cursor_ > count_)
    cursor_ = 0;
}

void TXStore::Scatter(uint32_t low, uint32_t high, const TXStoreJournal::TMoved* moved,
                      uint32_t count) {
  if (low < 1 || high > count_ || low > high)
    JournalMismatch();
  const uint32_t span = high - low + 1;
  std::vector<bool> isFrom(span, false);
  std::vector<bool> isTo(span, false);
  for (uint32_t k = 0; k < count; ++k) {
    const auto [from, to] = moved[k];
    if (from < low || from > high || to < low || to > high || isFrom[from - low] || isTo[to - low])
      JournalMismatch();
    isFrom[from - low] = true;
    isTo[to - low] = true;
  }
  if (journal_ != nullptr)
    journal_->NoteScatter(low, high, std::vector<TXStoreJournal::TMoved>(moved, moved + count));
  ordered_ = false;
  TXRecord* slots = slots_.get();
  std::vector<TXStoreJournal::TMoved> byTarget(moved, moved + count);
  std::sort(byTarget.begin(), byTarget.end(),
            [](const auto& a, const auto& b) { return a.second < b.second; });
  std::vector<TXRecord> moving;
  moving.reserve(count);
  for (const auto& [from, to] : byTarget)
    moving.push_back(slots[from - 1]);
  // The others close up towards the low end in their order, then spread out from the high
  // end into the slots the moving records leave free, which never overtakes them.
  uint32_t write = low;
  for (uint32_t read = low; read <= high; ++read) {
    if (!isFrom[read - low])
      slots[write++ - 1] = slots[read - 1];
  }
  size_t next = moving.size();
  for (uint32_t index = high + 1; index-- > low;) {
    if (isTo[index - low]) {
      slots[index - 1] = moving[--next];
    } else {
      slots[index - 1] = slots[--write - 1];
    }
  }
  tailStart_ = count_ + 1;
  FixTail(count_);
  cursor_ = 0;
  RememberFrom(low);
}

void TXStore::Revert(const TXStoreJournal& journal, TRevertWatch& watch) {
  const std::vector<TXStoreJournal::TChange>& changes = journal.Changes();
  for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
    switch (change->kind) {
      case TXStoreJournal::TKind::Image: {
        if (change->a == 0 || change->a > count_)
          JournalMismatch();
        const uint32_t oldId = At(change->a).Id;
        Put(change->a, journal.Image(*change));
        watch.Written(change->a, oldId);
        break;
      }
      case TXStoreJournal::TKind::Move:
        if (change->a == 0 || change->a > count_ || change->b == 0 || change->b > count_)
          JournalMismatch();
        Move(change->b, change->a);
        watch.Shifted(std::min(change->a, change->b), std::max(change->a, change->b));
        break;
      case TXStoreJournal::TKind::Size:
        Resize(change->a, change->b, change->c);
        break;
      case TXStoreJournal::TKind::Scatter: {
        std::vector<TXStoreJournal::TMoved> back;
        back.reserve(change->count);
        const TXStoreJournal::TMoved* moved = journal.Moved(*change);
        for (uint32_t k = 0; k < change->count; ++k)
          back.emplace_back(moved[k].second, moved[k].first);
        Scatter(change->a, change->b, back.data(), change->count);
        watch.Scattered(change->a, change->b);
        break;
      }
    }
  }
}

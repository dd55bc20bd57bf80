#include "transactions/xslot_index.h"

#include <algorithm>

#include "transactions/xstore.h"

void TXSlotIndex::Note(const TXStore& store, uint32_t index) {
  if (!valid_ || index < 1 || index > store.Count())
    return;
  const TXRecord& record = store.At(index);
  if (record.Flags == 0)
    return;
  const uint32_t block = BlockOf(index);
  if (block >= accounts_.size()) {
    accounts_.resize(block + 1, 0);
    envelopes_.resize(block + 1, 0);
  }
  accounts_[block] |= Bit(record.AccountId);
  envelopes_[block] |= Bit(record.EnvelopeId);
}

void TXSlotIndex::NoteShift(const TXStore& store, uint32_t low, uint32_t high) {
  if (low > high)
    std::swap(low, high);
  Note(store, low);
  Note(store, high);
  for (uint32_t block = BlockOf(low); block <= BlockOf(high); ++block) {
    const uint32_t first = block * kBlock + 1;
    const uint32_t last = first + kBlock - 1;
    if (first >= low && first <= high)
      Note(store, first);
    if (last >= low && last <= high)
      Note(store, last);
  }
}

void TXSlotIndex::NoteSettled(const TXStore& store, uint32_t low, uint32_t reach) {
  const uint32_t high = store.Count();
  if (reach == 0 || low < 1 || low > high)
    return;
  // A record that changed blocks lies within `reach` of an edge of its new block; past a
  // quarter of a block it is cheaper to look at every slot.
  if (!valid_)
    return;
  if (reach >= kBlock / 4) {
    RebuildFrom(store, low);
    return;
  }
  for (uint32_t block = BlockOf(low); block <= BlockOf(high); ++block) {
    const uint32_t first = std::max(block * kBlock + 1, low);
    const uint32_t last = std::min(block * kBlock + kBlock, high);
    for (uint32_t index = first; index <= last && index < first + reach; ++index)
      Note(store, index);
    for (uint32_t index = last; index >= first && index + reach > last; --index)
      Note(store, index);
  }
}

void TXSlotIndex::RebuildFrom(const TXStore& store, uint32_t low) {
  const uint32_t blocks = store.Count() == 0 ? 0 : BlockOf(store.Count()) + 1;
  const uint32_t from = low < 1 ? 0 : BlockOf(low);
  accounts_.resize(std::max<size_t>(blocks, from), 0);
  envelopes_.resize(accounts_.size(), 0);
  for (uint32_t block = from; block < blocks; ++block) {
    accounts_[block] = 0;
    envelopes_[block] = 0;
  }
  for (uint32_t index = from * kBlock + 1; index <= store.Count(); ++index)
    Note(store, index);
}

bool TXSlotIndex::MayHold(uint32_t block, TXWalkKey key, uint32_t id) const {
  if (!valid_ || key == TXWalkKey::None)
    return true;
  const std::vector<uint64_t>& masks = key == TXWalkKey::Account ? accounts_ : envelopes_;
  return block < masks.size() && (masks[block] & Bit(id)) != 0;
}

uint32_t TXSlotIndex::Forward(uint32_t index, uint32_t last, TXWalkKey key, uint32_t id) const {
  while (index <= last) {
    const uint32_t block = BlockOf(index);
    if (MayHold(block, key, id))
      return index;
    index = (block + 1) * kBlock + 1;
  }
  return last + 1;
}

uint32_t TXSlotIndex::Backward(uint32_t index, TXWalkKey key, uint32_t id) const {
  while (index >= 1) {
    const uint32_t block = BlockOf(index);
    if (MayHold(block, key, id))
      return index;
    index = block * kBlock;
  }
  return 0;
}

bool TXSlotIndex::Covers(const TXStore& store) const {
  if (!valid_)
    return true;
  for (uint32_t index = 1; index <= store.Count(); ++index) {
    const TXRecord& record = store.At(index);
    if (record.Flags == 0)
      continue;
    if (!MayHold(BlockOf(index), TXWalkKey::Account, record.AccountId) ||
        !MayHold(BlockOf(index), TXWalkKey::Envelope, record.EnvelopeId)) {
      return false;
    }
  }
  return true;
}

#pragma once

#include <cstdint>
#include <vector>

#include "transactions/xfilter.h"

class TXStore;

/// Which identifier of a record a walk is keyed on.
enum class TXWalkKey { None, Account, Envelope };

/// Another filter (not owned) narrowed to the records of one account or one envelope. The
/// manager's walks see the key and pass over the stretches of the store that hold no record of
/// it, so a ledger whose records lie far apart opens as fast as a busy one.
class TXKeyedFilter final : public TXFilter {
 public:
  TXKeyedFilter(const TXFilter& other, TXWalkKey key, uint32_t id)
      : other_(other), key_(key), id_(id) {}
  TXWalkKey Key() const { return key_; }
  uint32_t Id() const { return id_; }
  bool Accepts(const TXRecord& record) const override {
    return KeyOf(record, key_) == id_ && other_.Accepts(record);
  }
  static uint32_t KeyOf(const TXRecord& record, TXWalkKey key) {
    return key == TXWalkKey::Account ? record.AccountId : record.EnvelopeId;
  }

 private:
  const TXFilter& other_;
  TXWalkKey key_;
  uint32_t id_;
};

/// What each block of store slots may hold: for every block of kBlock slots, a mask of the
/// account identifiers and one of the envelope identifiers of its records (bit id % 64). A mask
/// may say more than the block holds (bits are cleared only when blocks are rebuilt), never less:
/// a block whose mask lacks an identifier's bit holds no record of it. The manager tells the
/// index of every change to the store.
class TXSlotIndex {
 public:
  static constexpr uint32_t kBlock = 256;

  /// The record at `index` was written.
  void Note(const TXStore& store, uint32_t index);
  /// The slots from `low` to `high` moved by one (a record taken out at one end and put in at
  /// the other): only the records at the edges of blocks changed blocks.
  void NoteShift(const TXStore& store, uint32_t low, uint32_t high);
  /// The slots from `low` to the end moved by up to `reach` places either way.
  void NoteSettled(const TXStore& store, uint32_t low, uint32_t reach);
  /// Everything anew, after compacting.
  void Rebuild(const TXStore& store) {
    valid_ = true;
    RebuildFrom(store, 1);
  }
  /// Forgets everything (after reading): until the next rebuild no block is passed over.
  void Invalidate() {
    valid_ = false;
    accounts_.clear();
    envelopes_.clear();
  }
  bool Valid() const { return valid_; }

  /// The first slot at or after `index` (up to `last`) in a block that may hold a record with
  /// the key `id`; `last` + 1 when there is none.
  uint32_t Forward(uint32_t index, uint32_t last, TXWalkKey key, uint32_t id) const;
  /// The last slot at or before `index` in a block that may hold one; 0 when there is none.
  uint32_t Backward(uint32_t index, TXWalkKey key, uint32_t id) const;

  /// True when every record in use has its bits in its block's masks (for tests).
  bool Covers(const TXStore& store) const;

 private:
  static uint32_t BlockOf(uint32_t index) { return (index - 1) / kBlock; }
  static uint64_t Bit(uint32_t id) { return uint64_t{1} << (id % 64); }
  bool MayHold(uint32_t block, TXWalkKey key, uint32_t id) const;
  void RebuildFrom(const TXStore& store, uint32_t low);

  std::vector<uint64_t> accounts_;
  std::vector<uint64_t> envelopes_;
  // An empty store is known completely; a store read from a file is not until rebuilt.
  bool valid_ = true;
};

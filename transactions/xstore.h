#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "transactions/xrecord.h"
#include "transactions/xstore_journal.h"

class ipstream;
class opstream;
class TXOrdering;

/// Every transaction record of a document in one block of 256-byte slots, addressed from 1:
/// the live and erased records in ledger order (but for those marked Unsorted), then dead
/// slots, whose records were removed but which keep their identifiers for the next new record.
/// The block is the stored form: written and read as the raw image of its first `count` slots.
///
/// The capacity is a stored number that grows by 500 when the count reaches it; the memory
/// actually held follows the count, so that a file naming an absurd capacity costs nothing.
/// Every slot access is checked against the count.
class TXStore {
 public:
  static constexpr uint32_t kInitialCapacity = 1000;
  static constexpr uint32_t kGrowth = 500;
  /// The store format written: with a last-id field.
  static constexpr uint32_t kFormat = 2;
  /// The oldest store format, without a last-id field.
  static constexpr uint32_t kFormatWithoutLastId = 1;
  /// The largest piece the slots are written in.
  static constexpr size_t kPieceBytes = 16384;
  /// The slots read at a time: big enough to go past the stream's buffer, small enough to be
  /// looked at while they are still in the cache. The pieces do not show in the bytes.
  static constexpr uint32_t kReadChunk = 4096;

  /// An empty store of 1000 slots whose last identifier is 0.
  TXStore();
  TXStore(const TXStore&) = delete;
  TXStore& operator=(const TXStore&) = delete;

  uint32_t Count() const { return count_; }
  uint32_t Capacity() const { return capacity_; }
  uint32_t LastId() const { return lastId_; }
  /// The store format this store was read with (the written one for a new store).
  uint32_t LoadedFormat() const { return loadedFormat_; }

  /// The slot at a 1-based index; an index outside 1..count is an internal error. Slots are
  /// changed only through the operations below, so that a journal sees every change.
  const TXRecord& At(uint32_t index) const;

  /// Every change from now on is noted in `journal` (null: in none). The journal must outlive
  /// its use.
  void SetJournal(TXStoreJournal* journal) { journal_ = journal; }
  TXStoreJournal* Journal() const { return journal_; }
  /// Hears which slots a revert changed, for the indexes kept beside the store.
  class TRevertWatch {
   public:
    virtual ~TRevertWatch() = default;
    /// Slot `index` was written; it held a record with `oldId` before.
    virtual void Written(uint32_t index, uint32_t oldId) = 0;
    /// One record moved from one end of the slots `low` to `high` to the other.
    virtual void Shifted(uint32_t low, uint32_t high) = 0;
    /// Records moved anywhere among the slots `low` to `high`.
    virtual void Scattered(uint32_t low, uint32_t high) = 0;
  };
  /// Takes back the changes of `journal`, newest first, noting each in the store's journal as
  /// the change that would make it again. A change that does not fit the store (the journal
  /// is not this store's) throws TModelError before it touches anything, the changes before it
  /// having been taken back (and noted).
  void Revert(const TXStoreJournal& journal, TRevertWatch& watch);

  /// The slot of the record with `id` that is not dead: the slot `hint` or the slot the
  /// identifier was last seen in when it still holds it, else searched alternately up and down
  /// from there (or from the cursor); 0 when there is none. The cursor is left on the slot
  /// found. Identifiers are unique over all slots, so where the search starts decides only how
  /// long it takes.
  uint32_t Find(uint32_t id, uint32_t hint = 0) const;
  uint32_t Cursor() const { return cursor_; }
  void SetCursor(uint32_t index) const { cursor_ = index; }

  /// The last slot that is not dead (0 when all are).
  uint32_t LastNonDead() const { return tailStart_ - 1; }
  /// The last slot whose record is live (0 when none is).
  uint32_t LastLive() const;

  /// Finds the slot of a new record: the first dead slot behind the last slot in use, or a new
  /// slot with a fresh identifier (growing the capacity by 500 when the count reaches it).
  /// The slot keeps its identifier and stays dead until the record is written with Put.
  uint32_t ClaimSlot();
  /// Makes room for `records` more records at once. Slots grown step by step as a large batch
  /// arrives copy the whole store at each step and leave the old blocks to the allocator, which
  /// keeps them; one step for the batch holds the memory at what the records need.
  void MakeRoomFor(size_t records);
  /// Writes `record` into the slot at `index`.
  void Put(uint32_t index, const TXRecord& record);
  /// Kills the record at `index` and moves its slot just behind the last live record; returns
  /// where the dead slot went.
  uint32_t Remove(uint32_t index);
  /// Kills the record at `index` where it lies, for removals in bulk; SettleKilled puts the
  /// dead slots where Remove would have.
  void KillInPlace(uint32_t index);
  /// Moves the slots killed in place (their identifiers in the order they were killed) just
  /// behind the last live record, the one killed last first, as removing them one after another
  /// leaves them when no erased record lies among the last live ones. Takes time in proportion
  /// to the slots from the first killed one to the end.
  void SettleKilled(const std::vector<uint32_t>& killedIds);
  /// Clears Unsorted at `index` and moves the record just after the last slot (dead and
  /// unsorted slots aside) before which it does not sort; returns its new index. The search goes
  /// out from where the record lies, so it costs as much as the record moves.
  uint32_t Replace(uint32_t index, const TXOrdering& ordering);
  /// Places records that were added behind every other record and left unsorted (their
  /// identifiers in the order they were added, and they must be the last slots in use): each
  /// goes exactly where Replace would put it, one after the other, but the places are found by
  /// sorting and merging (TXPlacement) and every slot moves once, so adding n records costs
  /// about n log n plus one pass over the slots behind the first one placed. Returns the lowest
  /// slot that changed (0: none). When the records are not where the precondition says, or
  /// the slots they would meet are out of order (a damaged file), each is simply re-placed.
  uint32_t PlaceAdded(const std::vector<uint32_t>& ids, const TXOrdering& ordering);
  /// Re-places every unsorted live record and removes every record that is not live.
  void Compact(const TXOrdering& ordering);

  /// The stored form: word32 format, raw capacity, count and last id, the slots.
  void Write(opstream& os) const;
  /// Reads the stored form; a count above the capacity or beyond the data fails the stream
  /// and leaves the store empty. Identifiers that a damaged file repeats are made unique.
  void Read(ipstream& is);

  /// How many slots in use hold parts of the multiple with `multipleId`.
  uint32_t PartCount(uint32_t multipleId) const;
  /// The slots of the parts of a multiple in store order, found by looking outwards from the
  /// multiple's slot (where parts lie, since they share its date) until every part is found.
  std::vector<uint32_t> PartSlots(uint32_t multipleId) const;

  /// True when the cached end of the slots in use agrees with the slots (for tests).
  bool CheckConsistency() const;

 private:
  struct FreeBlock {
    void operator()(TXRecord* block) const;
  };

  void Reserve(size_t slots);
  /// The slot at a 1-based index for changing; the caller notes the change.
  TXRecord& Slot(uint32_t index);
  /// Notes the record at `index` before it changes.
  void NoteImage(uint32_t index) {
    if (journal_ != nullptr)
      journal_->NoteImage(index, At(index));
  }
  /// The placement behind PlaceAdded, noted as a whole by its caller.
  uint32_t PlaceAddedUnnoted(const std::vector<uint32_t>& ids, const TXOrdering& ordering);
  /// Counts, capacity and last identifier as a revert finds them.
  void Resize(uint32_t count, uint32_t capacity, uint32_t lastId);
  /// Moves the records of `moved` from their first slot to their second within `low`..`high`,
  /// the others keeping their order.
  void Scatter(uint32_t low, uint32_t high, const TXStoreJournal::TMoved* moved, uint32_t count);
  /// Takes the record at `from` out and puts it at `to`, shifting the slots between by one.
  void Move(uint32_t from, uint32_t to);
  /// Brings the cached start of the dead tail up to date after slots up to `top` changed.
  void FixTail(uint32_t top);
  void ResetEmpty();
  /// What reading learns about the identifiers of a file: those seen in use, and the slots
  /// that need a fresh one. Identifiers up to `directLimit` are marked in a bit table, larger
  /// ones in a set, so the memory follows the slots read and not the numbers they hold.
  struct TIdentifierCheck {
    explicit TIdentifierCheck(uint32_t limit) : directLimit(limit) {}
    /// True the first time a (non-zero) identifier is claimed.
    bool Claim(uint32_t id);
    uint32_t directLimit;
    std::vector<bool> seen;
    std::unordered_set<uint32_t> seenLarge;
    std::vector<uint32_t> dead;
    std::vector<uint32_t> repeated;
  };
  /// Gives the dead slots whose identifier is taken, and the repeated ones, fresh identifiers;
  /// false when no identifier is left to give.
  bool RepairIdentifiers(TIdentifierCheck& check);
  /// Re-places each of the records with `ids` that is still unsorted; the lowest slot changed.
  uint32_t PlaceOneByOne(const std::vector<uint32_t>& ids, const TXOrdering& ordering);
  /// Whether a record takes part in placing another: in use and not itself waiting to be placed.
  bool Eligible(uint32_t index) const;
  /// The nearest eligible slot below or above `index` (0 when there is none).
  uint32_t PreviousEligible(uint32_t index) const;
  uint32_t NextEligible(uint32_t index) const;
  void Remember(uint32_t id, uint32_t index) const;
  /// The largest identifier kept in the direct table: a few times the slots held, so that the
  /// table never outgrows the store whatever identifiers a file carries.
  uint32_t DirectIdLimit() const;
  /// Counts a record in or out of its multiple's parts.
  void CountPart(const TXRecord& record, int change);
  /// Remembers where every identifier from slot `from` on lies now.
  void RememberFrom(uint32_t from) const;

  std::unique_ptr<TXRecord, FreeBlock> slots_;
  size_t allocated_ = 0;
  uint32_t count_ = 0;
  uint32_t capacity_ = kInitialCapacity;
  uint32_t lastId_ = 0;
  uint32_t loadedFormat_ = kFormat;
  mutable uint32_t cursor_ = 0;
  // Slots from here to the count are all dead (count + 1 when the last slot is in use).
  uint32_t tailStart_ = 1;
  // No slot below this one was killed in place since the last settling (0: none was killed).
  uint32_t killedFrom_ = 0;
  // Where each identifier was last seen. Entries may be stale (moves shift the slots between
  // their ends by one), so an entry is checked before it is trusted and only tells a search
  // where to begin. Identifiers up to DirectIdLimit() are kept in a table indexed by identifier;
  // the few larger ones a damaged file may hold go to a map, one entry per identifier in use.
  mutable std::vector<uint32_t> seenAt_;
  mutable std::unordered_map<uint32_t, uint32_t> seenLargeAt_;
  // The number of slots in use that are parts of each multiple, kept with every write.
  std::unordered_map<uint32_t, uint32_t> partCounts_;
  TXStoreJournal* journal_ = nullptr;
  // Read in ledger order with nothing unsorted and nothing erased, and not changed since.
  bool ordered_ = false;
};

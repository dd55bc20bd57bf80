#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

#include "transactions/xrecord.h"

/// What a transaction store changed while it kept this journal, as the store's own primitive
/// changes in the order they happened, each with what is needed to take it back: the record a
/// slot held before it was written, the two ends of a move, the count, capacity and last
/// identifier before slots were claimed, and for the bulk placements the slots that moved
/// (every other slot of the range keeps its order). Taking the changes back newest first gives
/// the store exactly as it was (TXStore::Revert).
class TXStoreJournal {
 public:
  enum class TKind : uint8_t { Image, Move, Size, Scatter };
  /// One primitive change. Image: slot `a` held images[first]. Move: the record at `a` went to
  /// `b`. Size: count, capacity and last identifier were `a`, `b`, `c`. Scatter: in the slots
  /// `a` to `b` the records of moves[first .. first + count) went from their first slot to
  /// their second, the others keeping their order.
  struct TChange {
    TKind kind;
    uint32_t a = 0;
    uint32_t b = 0;
    uint32_t c = 0;
    uint32_t first = 0;
    uint32_t count = 0;
  };
  using TMoved = std::pair<uint32_t, uint32_t>;

  /// The record `old` that slot `index` held before a write. A slot written twice without a
  /// shift of slots in between keeps its first image only.
  void NoteImage(uint32_t index, const TXRecord& old);
  void NoteMove(uint32_t from, uint32_t to);
  void NoteSize(uint32_t count, uint32_t capacity, uint32_t lastId);
  void NoteScatter(uint32_t low, uint32_t high, const std::vector<TMoved>& moved);

  /// Adds the changes of `later`, which the store made after these.
  void Append(const TXStoreJournal& later);
  /// Where the changes noted from now on begin (for TakeFrom); each slot is imaged afresh.
  size_t Mark();
  /// Moves the changes from `mark` on into a journal of their own.
  TXStoreJournal TakeFrom(size_t mark);

  bool Empty() const { return changes_.empty(); }
  const std::vector<TChange>& Changes() const { return changes_; }
  const TXRecord& Image(const TChange& change) const { return images_[change.first]; }
  const TMoved* Moved(const TChange& change) const { return moves_.data() + change.first; }
  /// The memory the journal holds.
  size_t Bytes() const;
  /// Gives back what recording needed beyond the changes (once nothing more is noted).
  void Seal();
  void Clear();

 private:
  void ForgetImaged();

  std::vector<TChange> changes_;
  std::vector<TXRecord> images_;
  std::vector<TMoved> moves_;
  // Slots imaged since the last change that shifted slots: a later image of one is redundant.
  // Kept apart, and only while noting: a sealed journal in the history does not carry it.
  std::unique_ptr<std::unordered_set<uint32_t>> imaged_;
};

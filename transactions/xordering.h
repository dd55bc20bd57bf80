#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "transactions/xrecord.h"

class TEnvelopeList;

/// The ledger order of transaction records: "Start" records first and "hold" records last
/// whatever their dates, then by date, deposits before payments on the same day, by code
/// without regard to case, and by the envelope's place in the envelope list; records equal in
/// all of that keep their order in the store. The order is not total (a record of amount 0 is
/// not placed against deposits or payments by the sign step), so callers place one record at a
/// time, as the store does, and never hand it to a general sorting routine.
class TXOrdering {
 public:
  /// `envelopes` gives the envelope positions; without it every envelope counts position 0.
  /// The envelope tree must not change while the ordering is in use: positions are read once,
  /// when the first comparison needs them.
  explicit TXOrdering(const TEnvelopeList* envelopes) : envelopes_(envelopes) {}

  /// The parts of a record that the comparison reads, prepared once for a record being placed.
  struct Key {
    explicit Key(const TXRecord& record);
    bool start;
    bool hold;
    uint32_t date;
    int32_t amount;
    uint32_t envelopeId;
    /// The code, copied so that the key stays valid while records move.
    std::string_view Code() const { return std::string_view(code, codeLength); }

   private:
    char code[TXRecord::kCodeSize];
    size_t codeLength;
  };

  /// The first steps of the order as one number: rank ("Start" first, "hold" last) and date.
  /// Records whose levels differ are in the order of their levels, whatever else they hold.
  static uint64_t Level(const Key& key) {
    const uint64_t rank = key.start ? 0 : key.hold ? 2 : 1;
    return rank << 32 | key.date;
  }

  /// True when the record with key `a`, now at store position `aPosition`, sorts before
  /// `b` at `bPosition`.
  bool Before(const Key& a, uint32_t aPosition, const TXRecord& b, uint32_t bPosition) const;
  bool Before(const TXRecord& a, uint32_t aPosition, const TXRecord& b, uint32_t bPosition) const {
    return Before(Key(a), aPosition, b, bPosition);
  }

  /// Compares codes as the ledger does: letters without regard to case (Windows-1252 letters
  /// included), everything else by its byte value. Negative, 0 or positive.
  static int CompareCodes(std::string_view a, std::string_view b);
  /// The 1-based position of an envelope in the list's order; 0 for an identifier that names
  /// no envelope.
  uint32_t EnvelopePosition(uint32_t envelopeId) const;

 private:
  const TEnvelopeList* envelopes_;
  mutable bool positionsRead_ = false;
  mutable std::unordered_map<uint32_t, uint32_t> positions_;
};

/// Where one record waiting at slot `index` goes when it is placed by itself, as the store places
/// every record it lets go of: just after the last slot before which it does not sort, searched
/// from where it stands (so a record whose keys did not change costs two comparisons). Slots
/// count from 1; `previous(slot)` and `next(slot)` give the neighbouring slots that take part
/// (0 for none), `before(slot)` whether the record sorts before that slot. The answer is the slot
/// the record ends in once it is moved there, `index` when it stays.
template <class Previous, class Next, class Before>
uint32_t PlaceOneRecord(uint32_t index, Previous previous, Next next, Before before) {
  if (const uint32_t earlier = previous(index); earlier != 0 && before(earlier)) {
    uint32_t slot = previous(earlier);
    while (slot != 0 && before(slot))
      slot = previous(slot);
    return slot + 1;
  }
  uint32_t last = next(index);
  if (last == 0 || before(last))
    return index;
  for (uint32_t slot = next(last); slot != 0 && !before(slot); slot = next(slot))
    last = slot;
  return last;
}

#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "transactions/xrecord.h"

class TXOrdering;

/// Where records added behind the ordered part of a store go when they are put in ledger order
/// together: exactly where re-placing them one after another, in the order they were added,
/// puts them (each walking down from the end to just after the first record it does not sort
/// before), worked out by sorting and merging instead of walking.
///
/// The records of different ranks and dates never meet in that walk, so the added records are
/// sorted by rank and date and each day's run is merged with the store's records of that day.
/// Within a day the ledger order is a total order unless deposits, payments and records of 0.00
/// all meet there; such a day is worked out by placing its records one by one over blocks of it.
class TXPlacement {
 public:
  /// One added record at its final place: which one (0-based, in the order they were added)
  /// and the slot it goes just after (0: in front of slot 1; `base`: behind every ordered slot).
  /// The places come in their final order.
  struct Place {
    uint32_t added;
    uint32_t after;
  };

  /// The places of the records in slots base + 1 .. base + count of `slots` (slot i is
  /// slots[i - 1]), placed into slots 1 .. base, whose records waiting to be placed or dead take
  /// no part. Nothing when the slots that could meet the added records are not in order of rank
  /// and date, as only a damaged file leaves them: the caller then places one record at a time.
  static std::optional<std::vector<Place>> Plan(const TXRecord* slots, uint32_t base,
                                                uint32_t count, const TXOrdering& ordering);
};

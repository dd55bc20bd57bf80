#include "transactions/xplacement.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "transactions/xordering.h"

namespace {

uint64_t Level(const TXRecord& record) {
  return TXOrdering::Level(TXOrdering::Key(record));
}

bool TakesPart(const TXRecord& record) {
  return record.Flags != 0 && (record.Flags & kXUnsorted) == 0;
}

enum TSign { kPositive, kZero, kNegative };

TSign SignOf(const TXRecord& record) {
  return record.amount > 0 ? kPositive : record.amount < 0 ? kNegative : kZero;
}

// A record of the day being merged: a slot of the ordered part or one of the added records.
struct TMember {
  const TXRecord* record;
  uint32_t id;  // the slot, or the added record's number
  bool added;
};

// One day's records in the order that placing the added ones one by one, in the order they
// were added, leaves them in.
class TDayMerge {
 public:
  TDayMerge(const std::vector<TMember>& existing, const std::vector<TMember>& added,
            const TXOrdering& ordering)
      : existing_(existing), added_(added), ordering_(ordering) {
    keys_.reserve(added.size());
    for (const TMember& member : added)
      keys_.emplace_back(*member.record);
  }

  std::vector<TMember> Merged() {
    bool signs[3] = {};
    for (const std::vector<TMember>* list : {&existing_, &added_}) {
      for (const TMember& member : *list)
        signs[SignOf(*member.record)] = true;
    }
    // Without all three signs the day's order is total; then placing one by one into the
    // ordered day is a stable merge, as long as the day really is in that order (an envelope
    // moved in the tree since may have changed what the order is).
    if (!(signs[kPositive] && signs[kZero] && signs[kNegative]) && ExistingInOrder())
      return StableMerge();
    return OneByOne();
  }

 private:
  static constexpr size_t kBlock = 64;
  static constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

  bool Before(size_t addedIndex, const TXRecord& other) const {
    return ordering_.Before(keys_[addedIndex], 1, other, 0);
  }

  bool ExistingInOrder() const {
    for (size_t i = 1; i < existing_.size(); ++i) {
      if (ordering_.Before(*existing_[i].record, 1, *existing_[i - 1].record, 0))
        return false;
    }
    return true;
  }

  std::vector<TMember> StableMerge() const {
    std::vector<uint32_t> order(added_.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return Before(a, *added_[b].record); });
    std::vector<TMember> merged;
    merged.reserve(existing_.size() + added_.size());
    size_t e = 0;
    for (uint32_t a : order) {
      // A record goes behind the ones it does not sort before: its equals stay in front.
      while (e < existing_.size() && !Before(a, *existing_[e].record))
        merged.push_back(existing_[e++]);
      merged.push_back(added_[a]);
    }
    merged.insert(merged.end(), existing_.begin() + static_cast<ptrdiff_t>(e), existing_.end());
    return merged;
  }

  // The walk itself over blocks of the day. A block knows the lowest rank of code and
  // envelope among its records of each sign, which tells whether any of them could stop the
  // walk; the records of a block that could are asked one by one.
  struct TBlock {
    std::vector<uint32_t> members;
    uint32_t lowest[3] = {kNone, kNone, kNone};
  };

  std::vector<TMember> OneByOne() {
    std::vector<TMember> all = existing_;
    all.insert(all.end(), added_.begin(), added_.end());
    const std::vector<uint32_t> ranks = CodeRanks(all);
    std::vector<TBlock> blocks;
    auto note = [&](TBlock& block, uint32_t member) {
      uint32_t& lowest = block.lowest[SignOf(*all[member].record)];
      lowest = std::min(lowest, ranks[member]);
    };
    for (uint32_t member = 0; member < existing_.size(); ++member) {
      if (blocks.empty() || blocks.back().members.size() == kBlock)
        blocks.emplace_back();
      blocks.back().members.push_back(member);
      note(blocks.back(), member);
    }
    for (uint32_t a = 0; a < added_.size(); ++a) {
      const uint32_t member = static_cast<uint32_t>(existing_.size()) + a;
      const TSign sign = SignOf(*added_[a].record);
      const uint32_t rank = ranks[member];
      // Whether a block holds a record the added one does not sort before.
      auto mayStop = [&](const TBlock& block) {
        const uint32_t* low = block.lowest;
        switch (sign) {
          case kPositive:
            return std::min(low[kPositive], low[kZero]) <= rank;
          case kNegative:
            return low[kPositive] != kNone || std::min(low[kZero], low[kNegative]) <= rank;
          case kZero:
            break;
        }
        return std::min({low[kPositive], low[kZero], low[kNegative]}) <= rank;
      };
      size_t block = 0, at = 0;  // in front of the day when nothing stops the walk
      bool stopped = false;
      for (size_t b = blocks.size(); b > 0 && !stopped; --b) {
        if (!mayStop(blocks[b - 1]))
          continue;
        const std::vector<uint32_t>& members = blocks[b - 1].members;
        for (size_t i = members.size(); i > 0 && !stopped; --i) {
          stopped = !Before(a, *all[members[i - 1]].record);
          if (stopped) {
            block = b - 1;
            at = i;
          }
        }
      }
      if (blocks.empty())
        blocks.emplace_back();
      TBlock& into = blocks[block];
      into.members.insert(into.members.begin() + static_cast<ptrdiff_t>(at), member);
      note(into, member);
      if (into.members.size() > 2 * kBlock)
        Split(blocks, block, all, ranks);
    }
    std::vector<TMember> merged;
    merged.reserve(all.size());
    for (const TBlock& block : blocks) {
      for (uint32_t member : block.members)
        merged.push_back(all[member]);
    }
    return merged;
  }

  static void Split(std::vector<TBlock>& blocks, size_t b, const std::vector<TMember>& all,
                    const std::vector<uint32_t>& ranks) {
    TBlock upper;
    std::vector<uint32_t>& members = blocks[b].members;
    upper.members.assign(members.begin() + kBlock, members.end());
    members.resize(kBlock);
    for (TBlock* block : {&blocks[b], &upper}) {
      std::fill(std::begin(block->lowest), std::end(block->lowest), kNone);
      for (uint32_t member : block->members) {
        uint32_t& lowest = block->lowest[SignOf(*all[member].record)];
        lowest = std::min(lowest, ranks[member]);
      }
    }
    blocks.insert(blocks.begin() + static_cast<ptrdiff_t>(b) + 1, std::move(upper));
  }

  // Each member's place among the day's codes and envelopes, the last steps of the ordering:
  // equal ones share a rank.
  std::vector<uint32_t> CodeRanks(const std::vector<TMember>& all) const {
    std::vector<uint32_t> positions(all.size());
    for (size_t i = 0; i < all.size(); ++i)
      positions[i] = ordering_.EnvelopePosition(all[i].record->EnvelopeId);
    auto less = [&](uint32_t a, uint32_t b) {
      const int codes =
          TXOrdering::CompareCodes(all[a].record->GetCode(), all[b].record->GetCode());
      return codes != 0 ? codes < 0 : positions[a] < positions[b];
    };
    std::vector<uint32_t> order(all.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), less);
    std::vector<uint32_t> ranks(all.size());
    uint32_t rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
      if (i > 0 && less(order[i - 1], order[i]))
        ++rank;
      ranks[order[i]] = rank;
    }
    return ranks;
  }

  const std::vector<TMember>& existing_;
  const std::vector<TMember>& added_;
  const TXOrdering& ordering_;
  std::vector<TXOrdering::Key> keys_;
};

}  // namespace

std::optional<std::vector<TXPlacement::Place>> TXPlacement::Plan(const TXRecord* slots,
                                                                 uint32_t base, uint32_t count,
                                                                 const TXOrdering& ordering) {
  std::vector<Place> places;
  if (count == 0)
    return places;
  const TXRecord* added = slots + base;
  auto at = [slots](uint32_t index) -> const TXRecord& { return slots[index - 1]; };
  uint32_t lastTaking = base;
  while (lastTaking >= 1 && !TakesPart(at(lastTaking)))
    --lastTaking;

  // A record that sorted before none when its turn came stayed where it was added, behind the
  // held records at the end of the ordered part; one that walked down went in front of them.
  // Those that stayed behind, and everything placed after them later, are the last ones.
  std::vector<bool> stayed(count);
  const TXRecord* last = lastTaking != 0 ? &at(lastTaking) : nullptr;
  for (uint32_t k = 0; k < count; ++k) {
    if (last == nullptr || !ordering.Before(added[k], 1, *last, 0)) {
      stayed[k] = true;
      last = &added[k];
    }
  }

  std::vector<uint64_t> levels(count);
  for (uint32_t k = 0; k < count; ++k)
    levels[k] = Level(added[k]);
  std::vector<uint32_t> order(count);
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return levels[a] < levels[b]; });

  // The walks stop at the last record below the lowest level added, at the latest; above it
  // the ordered part must be in order of level for the days to be merged one at a time.
  uint32_t floor = base;
  while (floor >= 1 && (!TakesPart(at(floor)) || Level(at(floor)) >= levels[order.front()]))
    --floor;
  uint64_t previous = 0;
  for (uint32_t index = floor + 1; index <= base; ++index) {
    if (!TakesPart(at(index)))
      continue;
    const uint64_t level = Level(at(index));
    if (level < previous)
      return std::nullopt;
    previous = level;
  }

  places.reserve(count);
  uint32_t next = floor + 1;  // the next ordered slot to pass
  uint32_t owner = floor;     // the last ordered slot taking part that the merge has passed
  std::vector<TMember> existing, day;
  for (size_t k = 0; k < count;) {
    const uint64_t level = levels[order[k]];
    existing.clear();
    for (; next <= base; ++next) {
      if (!TakesPart(at(next)))
        continue;
      const uint64_t slotLevel = Level(at(next));
      if (slotLevel > level)
        break;
      if (slotLevel < level)
        owner = next;
      else
        existing.push_back({&at(next), next, false});
    }
    day.clear();
    for (; k < count && levels[order[k]] == level; ++k)
      day.push_back({&added[order[k]], order[k], true});
    for (const TMember& member : TDayMerge(existing, day, ordering).Merged()) {
      if (member.added)
        places.push_back({member.id, owner});
      else
        owner = member.id;
    }
  }

  auto behind = std::find_if(places.begin(), places.end(),
                             [&](const Place& place) { return stayed[place.added]; });
  for (; behind != places.end(); ++behind)
    behind->after = base;
  return places;
}

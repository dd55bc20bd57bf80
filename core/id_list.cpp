#include "core/id_list.h"

#include <algorithm>
#include <limits>

#include "core/model_error.h"
#include "core/pstream.h"

namespace {

// A stored growth can be anything a damaged file says; the array grows by at least one entry
// and never by more than this in one step, so a wild value cannot exhaust memory.
constexpr uint64_t kMaxGrowthStep = 1u << 16;

}  // namespace

uint32_t TIdList::Allocate() {
  const uint64_t size = states_.size();
  uint64_t highest = size;
  for (uint64_t id = size; id-- > 0;) {
    if (states_[id] != kFree) {
      highest = id;
      break;
    }
  }
  if (highest != size && highest + 1 < size) {
    states_[highest + 1] = kInUse;
    return static_cast<uint32_t>(highest + 1);
  }
  const uint64_t id = size == 0 ? 1 : size;
  if (id > std::numeric_limits<uint32_t>::max())
    throw TModelError("No identifiers left.");
  const uint64_t step = std::clamp<uint64_t>(growth_, 1, kMaxGrowthStep);
  // A small growth from an empty array must still leave room for the identifier returned.
  uint64_t newSize = std::max(size + step, id + 1);
  newSize = std::min<uint64_t>(newSize, uint64_t{std::numeric_limits<uint32_t>::max()} + 1);
  states_.resize(static_cast<size_t>(newSize), kFree);
  states_[static_cast<size_t>(id)] = kInUse;
  return static_cast<uint32_t>(id);
}

void TIdList::Retire(uint32_t id) {
  if (IsTaken(id))
    states_[id] = kRetired;
}

bool TIdList::IsTaken(uint32_t id) const {
  return id < states_.size() && states_[id] != kFree;
}

void TIdList::Write(opstream& os) const {
  os.WriteWord32(kRecordVersion);
  os.WriteWord32(growth_);
  os.WriteWord32(Size());
  os.WriteBytes(states_.data(), states_.size());
}

void TIdList::Read(ipstream& is) {
  is.ReadWord();
  uint32_t growth = is.ReadWord();
  uint32_t size = is.ReadWord();
  if (!is.Good())
    return;
  growth_ = growth;
  states_.clear();
  if (size == 0 || !is.CanHold(size, 1))
    return;
  std::vector<uint8_t> states(size);
  is.ReadBytes(states.data(), states.size());
  if (is.Good())
    states_ = std::move(states);
}

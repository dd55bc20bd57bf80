#include "core/idler.h"

#include <algorithm>
#include <vector>

namespace {

struct TIdlerSlots {
  std::vector<TIdler*> slots;
  bool running = false;
};

TIdlerSlots& Slots() {
  static TIdlerSlots slots;
  return slots;
}

}  // namespace

TIdler::TIdler() {
  Slots().slots.push_back(this);
}

TIdler::~TIdler() {
  TIdlerSlots& state = Slots();
  auto it = std::find(state.slots.begin(), state.slots.end(), this);
  if (it == state.slots.end())
    return;
  // While the idlers run, the slot is only emptied so that the run's positions stay valid; at
  // any other time it goes at once, so that a process that never runs the idlers (the tool, a
  // fuzzer) does not collect the slots of every envelope it ever read and search them all.
  if (state.running) {
    *it = nullptr;
  } else {
    state.slots.erase(it);
  }
}

void TIdler::RunIdlers() {
  TIdlerSlots& state = Slots();
  if (state.running)
    return;
  // Empty slots are dropped between runs so that the list does not grow with every envelope
  // ever made; the order of the living idlers stays as it was.
  std::erase(state.slots, nullptr);
  state.running = true;
  try {
    for (size_t i = 0; i < state.slots.size(); ++i) {
      if (TIdler* idler = state.slots[i]; idler != nullptr && idler->Idle())
        break;
    }
  } catch (...) {
    state.running = false;
    throw;
  }
  state.running = false;
}

size_t TIdler::SlotCount() {
  return Slots().slots.size();
}

size_t TIdler::IdlerCount() {
  const auto& slots = Slots().slots;
  return static_cast<size_t>(std::count_if(slots.begin(), slots.end(),
                                           [](const TIdler* idler) { return idler != nullptr; }));
}

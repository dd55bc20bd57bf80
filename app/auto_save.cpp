#include "app/auto_save.h"

void TAutoSave::Tick(uint32_t intervalMinutes) {
  if (intervalMinutes == 0 || state_ != State::Idle)
    return;
  ++minutes_;
  if (minutes_ > intervalMinutes)
    state_ = State::Due;
}

bool TAutoSave::BeginSaveIfDue() {
  if (state_ != State::Due)
    return false;
  state_ = State::Saving;
  return true;
}

void TAutoSave::EndSave() {
  minutes_ = 0;
  state_ = State::Idle;
}

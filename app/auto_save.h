#pragma once

#include <cstdint>

/// Counts the minutes since the last open or save and says when an automatic save is due.
class TAutoSave {
 public:
  enum class State { Idle, Due, Saving };

  /// One timer tick (a minute). With an interval of 0 auto-save is off.
  void Tick(uint32_t intervalMinutes);
  /// At an idle moment: true when a save is due now (the state becomes saving).
  bool BeginSaveIfDue();
  /// After the automatic save: the counter restarts and the state is idle again.
  void EndSave();
  /// After an open or any successful save.
  void Reset() { minutes_ = 0; }

  State GetState() const { return state_; }
  uint32_t Minutes() const { return minutes_; }

 private:
  uint32_t minutes_ = 0;
  State state_ = State::Idle;
};

#pragma once

#include <cstdint>

#include "core/date_value.h"

/// Where the model learns the date and time, so that tests can set them.
class TClock {
 public:
  virtual ~TClock() = default;
  /// Today's date from the local clock.
  virtual TDateValue Today() const = 0;
  /// Seconds since 1970.
  virtual int64_t NowSeconds() const = 0;
};

/// The machine's local clock.
class TSystemClock final : public TClock {
 public:
  TDateValue Today() const override;
  int64_t NowSeconds() const override;
};

/// A clock that stands still until it is set; used by tests and by reproducible tools.
class TFixedClock final : public TClock {
 public:
  explicit TFixedClock(TDateValue today, int64_t seconds = 0) : today_(today), seconds_(seconds) {}
  TDateValue Today() const override { return today_; }
  int64_t NowSeconds() const override { return seconds_; }
  void SetToday(TDateValue today) { today_ = today; }
  void SetSeconds(int64_t seconds) { seconds_ = seconds; }

 private:
  TDateValue today_;
  int64_t seconds_;
};

#include "core/clock.h"

#include <ctime>

TDateValue TSystemClock::Today() const {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr)
    return TDateValue();
  return TDateValue(static_cast<unsigned>(local.tm_mday), static_cast<unsigned>(local.tm_mon + 1),
                    static_cast<unsigned>(local.tm_year + 1900));
}

int64_t TSystemClock::NowSeconds() const {
  return static_cast<int64_t>(std::time(nullptr));
}

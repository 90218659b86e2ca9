#include "platform/local_clock.h"

#include <ctime>

namespace zarvex {

LocalTime local_now() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  const time_t seconds = now.tv_sec;
  ::localtime_r(&seconds, &local);
  LocalTime result;
  // One reading serves both parts, so the milliseconds always belong to the seconds shown.
  result.wall_seconds = static_cast<std::int64_t>(now.tv_sec) + local.tm_gmtoff;
  result.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  return result;
}

}  // namespace zarvex

#include "service/text_timestamp.h"

#include <cstdio>

namespace zarvex {

std::string timestamp_text(const LocalTime& now, bool seconds_only) {
  // The count starts at 08:00 local time of 1970-01-01: on a clock set to UTC+8 it is Unix time.
  constexpr std::int64_t kEpochOffset = 8 * 3600;
  char buffer[48];
  int millisecond = now.millisecond < 0 ? 0 : now.millisecond > 999 ? 999 : now.millisecond;
  std::snprintf(buffer, sizeof buffer, "%lld%03d",
                static_cast<long long>(now.wall_seconds - kEpochOffset), millisecond);
  std::string text(buffer);
  if (seconds_only && text.size() > 10) text.resize(10);
  return text;
}

}  // namespace zarvex

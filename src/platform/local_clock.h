#pragma once
// The local wall clock with milliseconds.

#include <cstdint>

namespace zarvex {

struct LocalTime {
  // The local date and time counted in seconds from 1970-01-01 00:00:00 of the same wall
  // clock (Unix time plus the local offset from UTC).
  std::int64_t wall_seconds = 0;
  int millisecond = 0;  // 0..999
};

// One reading of the local clock.
LocalTime local_now();

}  // namespace zarvex

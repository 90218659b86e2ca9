#pragma once
// The time-stamp text of make_timestamp, from a given clock reading.

#include <string>

#include "platform/local_clock.h"

namespace zarvex {

// Seconds from 1970-01-01 08:00:00 local time to `now`, then the millisecond part padded to three
// digits; with seconds_only the first 10 characters of that text.
std::string timestamp_text(const LocalTime& now, bool seconds_only);

}  // namespace zarvex

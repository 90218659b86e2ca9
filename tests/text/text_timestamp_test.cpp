#include "service/text_timestamp.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "service/text_codecs.h"

namespace zarvex {
namespace {

constexpr std::int64_t kEightHours = 8 * 3600;

TEST(Timestamp, SecondsFromEightOClockThenThreeMillisecondDigits) {
  struct Case {
    std::int64_t wall_seconds;
    int millisecond;
    std::string full, seconds;
  } cases[] = {
      {1700000000 + kEightHours, 7, "1700000000007", "1700000000"},
      {1700000000 + kEightHours, 0, "1700000000000", "1700000000"},
      {1700000000 + kEightHours, 999, "1700000000999", "1700000000"},
      {1234567890, 42, "1234539090042", "1234539090"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(timestamp_text({c.wall_seconds, c.millisecond}, false), c.full);
    EXPECT_EQ(timestamp_text({c.wall_seconds, c.millisecond}, true), c.seconds);
  }
}

TEST(Timestamp, ReadsTheLocalClock) {
  auto expected_seconds = [] {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return static_cast<std::int64_t>(now) + local.tm_gmtoff - kEightHours;
  };
  const std::int64_t before = expected_seconds();
  const std::string seconds = make_timestamp(true);
  const std::string full = make_timestamp(false);
  const std::int64_t after = expected_seconds();

  ASSERT_EQ(full.size(), 13u);
  EXPECT_EQ(full.find_first_not_of("0123456789"), std::string::npos) << full;
  ASSERT_EQ(seconds.size(), 10u);
  for (const std::string& s : {seconds, full.substr(0, 10)}) {
    EXPECT_GE(std::stoll(s), before) << s;
    EXPECT_LE(std::stoll(s), after) << s;
  }
}

}  // namespace
}  // namespace zarvex

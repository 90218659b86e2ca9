// A file past 2 GiB: offsets, counts and reports must not wrap at 32 bits.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "download/engine.h"
#include "engine_test_support.h"
#include "support/scratch_folder.h"

namespace zarvex::test {
namespace {

TEST(EngineLargeFile, PastTwoGibibytesEveryByteLandsWhereItBelongs) {
  constexpr std::int64_t kSize = (std::int64_t{1} << 31) + kBlockSize + 4321;
  const std::string name = test_file(kSize);
  TestMediaHost host;
  ASSERT_TRUE(host.ok());
  ScratchFolder folder;
  ReportLog log;
  DownloadEngine engine;
  std::string path = folder.file("large.flac");
  const int task = engine.create_task(host.url("/" + name), path, 8, log.routine(), 1);
  ASSERT_EQ(task, 1);
  Report final = log.wait_final(std::chrono::minutes(5));
  EXPECT_EQ(final.code, 0);
  EXPECT_EQ(final.total, kSize);
  EXPECT_EQ(final.done, kSize);
  ASSERT_TRUE(engine.wait_task(task, kLongWait));

  std::int64_t last_done = 0;
  bool growing = true;
  for (const Report& r : log.all()) {
    if (r.code != 1) continue;
    growing = growing && r.total == kSize && r.done > last_done;
    last_done = r.done;
  }
  EXPECT_TRUE(growing);
  EXPECT_EQ(last_done, kSize);
  const std::int64_t blocks = block_count_for(kSize);
  const std::vector<std::string> ranges = host.ranges();
  EXPECT_EQ(static_cast<std::int64_t>(ranges.size()), blocks);
  const std::string last_range = "bytes=" + std::to_string((blocks - 1) * kBlockSize) + "-" +
                                 std::to_string(blocks * kBlockSize - 1);
  EXPECT_NE(std::find(ranges.begin(), ranges.end(), last_range), ranges.end()) << last_range;
  EXPECT_EQ(first_difference(path, name, kSize), -1);
}

}  // namespace
}  // namespace zarvex::test

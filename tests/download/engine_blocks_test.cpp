// Blocks, ranges, reports and task numbers of the download engine against the media host.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <thread>

#include "download/engine.h"
#include "engine_test_support.h"
#include "support/scratch_folder.h"

namespace zarvex::test {
namespace {

std::vector<std::string> expected_ranges(std::int64_t size) {
  std::vector<std::string> out;
  for (std::int64_t n = 1; n <= block_count_for(size); ++n) {
    out.push_back("bytes=" + std::to_string((n - 1) * kBlockSize) + "-" +
                  std::to_string(n * kBlockSize - 1));
  }
  return out;
}

// Code-1 reports carry the size and a growing count that ends at the size; then one final
// code-0 report with the size twice, and nothing after it.
void expect_complete_reports(const std::vector<Report>& reports, int task, std::int64_t size) {
  ASSERT_GE(reports.size(), 2u);
  std::int64_t last_done = 0;
  for (std::size_t i = 0; i + 1 < reports.size(); ++i) {
    const Report& r = reports[i];
    EXPECT_EQ(r.task, task);
    ASSERT_EQ(r.code, 1) << "report " << i;
    EXPECT_EQ(r.total, size);
    EXPECT_GT(r.done, last_done) << "report " << i;
    last_done = r.done;
  }
  EXPECT_EQ(last_done, size);
  const Report& final = reports.back();
  EXPECT_EQ(final.task, task);
  EXPECT_EQ(final.code, 0);
  EXPECT_EQ(final.total, size);
  EXPECT_EQ(final.done, size);
}

struct BlockCase {
  std::int64_t size;
  int threads;
};

class EngineBlocks : public ::testing::TestWithParam<BlockCase> {};

TEST_P(EngineBlocks, EveryBlockIsAskedOnceAndTheFileIsExact) {
  const BlockCase c = GetParam();
  TestMediaHost host;
  ASSERT_TRUE(host.ok());
  ScratchFolder folder;
  ReportLog log;
  DownloadEngine engine;
  std::string path = folder.file("song.bin");
  const int task =
      engine.create_task(host.url("/" + test_file(c.size)), path, c.threads, log.routine(), 1);
  ASSERT_EQ(task, 1);
  EXPECT_EQ(path, folder.file("song.bin"));

  Report final = log.wait_final(kLongWait);
  ASSERT_EQ(final.code, 0);
  ASSERT_TRUE(engine.wait_task(task, kLongWait));
  EXPECT_EQ(engine.task_state(task), kTaskRunning);

  expect_complete_reports(log.all(), task, c.size);
  std::vector<std::string> ranges = host.ranges();
  if (c.threads == 1) {
    EXPECT_EQ(ranges, expected_ranges(c.size)) << "one worker takes the blocks in order";
  } else {
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::string> want = expected_ranges(c.size);
    std::sort(want.begin(), want.end());
    EXPECT_EQ(ranges, want);
  }
  EXPECT_EQ(first_difference(path, test_file(c.size), c.size), -1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, EngineBlocks,
                         ::testing::Values(BlockCase{1, 3}, BlockCase{1048576, 3},
                                           BlockCase{1048577, 3}, BlockCase{2621440, 3},
                                           BlockCase{5000000, 3}, BlockCase{3 * 1048576 + 5, 1},
                                           BlockCase{2621440, 8}));

struct LimitCase {
  std::int64_t blocks;
  int threads;
  int expected_at_once;
};

class EngineThreadLimit : public ::testing::TestWithParam<LimitCase> {};

// The gate holds every block request on arrival and lets one through at a time: no more than
// thread_count requests may ever wait together, and that many do.
TEST_P(EngineThreadLimit, AtMostThreadCountWorkersAtOnce) {
  const LimitCase c = GetParam();
  TestMediaHost host;
  ASSERT_TRUE(host.ok());
  host.close_gate();
  ScratchFolder folder;
  ReportLog log;
  DownloadEngine engine;
  const std::int64_t size = c.blocks * kBlockSize - 1000;
  std::string path = folder.file("limit.bin");
  const int task =
      engine.create_task(host.url("/" + test_file(size)), path, c.threads, log.routine(), 1);
  ASSERT_EQ(task, 1);
  for (std::int64_t passed = 0; passed < c.blocks; ++passed) {
    const int expect_waiting =
        static_cast<int>(std::min<std::int64_t>(c.expected_at_once, c.blocks - passed));
    ASSERT_TRUE(host.wait_waiting(expect_waiting, kLongWait)) << "after " << passed;
    ASSERT_TRUE(host.pass_one(kLongWait));
  }
  ASSERT_EQ(log.wait_final(kLongWait).code, 0);
  EXPECT_EQ(host.most_waiting(), c.expected_at_once);
  EXPECT_EQ(first_difference(path, test_file(size), size), -1);
}

INSTANTIATE_TEST_SUITE_P(Counts, EngineThreadLimit,
                         ::testing::Values(LimitCase{10, 3, 3}, LimitCase{2, 3, 2},
                                           LimitCase{4, 1, 1}, LimitCase{3, 0, 1},
                                           LimitCase{3, -5, 1}));

TEST(EngineTasks, NumbersCountOnlyCreatedTasksAndStrayNumbersDoNothing) {
  TestMediaHost host;
  ASSERT_TRUE(host.ok());
  ScratchFolder folder;
  ReportLog first_log, second_log;
  DownloadEngine engine;
  EXPECT_EQ(engine.task_counter(), 0);

  std::string first = folder.file("a.bin");
  ASSERT_EQ(engine.create_task(host.url("/test/3000.bin"), first, 2, first_log.routine(), 0), 1);
  std::string missing = folder.file("missing.bin");
  EXPECT_EQ(engine.create_task(host.url("/nothing-here.bin"), missing, 2, {}, 1), -1);
  std::string second = folder.file("b.bin");
  ASSERT_EQ(engine.create_task(host.url("/test/5000.bin"), second, 2, second_log.routine(), 0), 2);
  EXPECT_EQ(engine.task_counter(), 2);

  for (int stray : {0, -1, 3, 1000}) {
    engine.resume_task(stray);
    engine.stop_task(stray);
    engine.stop_and_resume_task(stray);
    EXPECT_EQ(engine.task_state(stray), -1) << stray;
    EXPECT_FALSE(engine.task_ended(stray)) << stray;
  }
  EXPECT_EQ(engine.task_state(1), kTaskPaused);
  EXPECT_EQ(engine.task_state(2), kTaskPaused);

  engine.resume_task(2);
  Report done = second_log.wait_final(kLongWait);
  EXPECT_EQ(done.task, 2);
  EXPECT_EQ(done.code, 0);
  EXPECT_EQ(engine.task_state(1), kTaskPaused);
  EXPECT_EQ(first_log.count(), 0u);
  engine.resume_all();
  EXPECT_EQ(first_log.wait_final(kLongWait).task, 1);
  EXPECT_EQ(first_difference(first, "test/3000.bin", 3000), -1);
  EXPECT_EQ(first_difference(second, "test/5000.bin", 5000), -1);
}

// Creations on several threads at once get distinct numbers 1..n, and each job reports under
// the number its creation returned.
TEST(EngineTasks, ConcurrentCreationsGetDistinctNumbers) {
  TestMediaHost host;
  ASSERT_TRUE(host.ok());
  ScratchFolder folder;
  constexpr int kTasks = 4;
  ReportLog logs[kTasks];
  DownloadEngine engine;
  int numbers[kTasks] = {};
  std::vector<std::thread> creators;
  for (int i = 0; i < kTasks; ++i) {
    creators.emplace_back([&, i] {
      std::string path = folder.file("c" + std::to_string(i) + ".bin");
      numbers[i] =
          engine.create_task(host.url("/" + test_file(100000 + i)), path, 2, logs[i].routine(), 1);
    });
  }
  for (auto& t : creators)
    t.join();
  std::vector<int> sorted(numbers, numbers + kTasks);
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(engine.task_counter(), kTasks);
  for (int i = 0; i < kTasks; ++i) {
    ASSERT_EQ(logs[i].wait_final(kLongWait).code, 0);
    for (const Report& r : logs[i].all())
      EXPECT_EQ(r.task, numbers[i]);
    EXPECT_EQ(first_difference(folder.file("c" + std::to_string(i) + ".bin"), test_file(100000 + i),
                               100000 + i),
              -1);
  }
}

TEST(EngineTasks, FolderPathGetsTheAddressFileName) {
  TestMediaHost host;
  ASSERT_TRUE(host.ok());
  ScratchFolder folder;
  for (std::string given : {folder.path(), folder.path() + "/"}) {
    ReportLog log;
    DownloadEngine engine;
    std::string path = given;
    const int task = engine.create_task(host.url("/M500abc.mp3?vkey=K&guid=1&uin=2&fromtag=64"),
                                        path, 2, log.routine(), 1);
    ASSERT_GT(task, 0) << given;
    EXPECT_EQ(path, folder.file("M500abc.mp3")) << given;
    ASSERT_EQ(log.wait_final(kLongWait).code, 0);
    ASSERT_TRUE(engine.wait_task(task, kLongWait));
    EXPECT_EQ(first_difference(path, "M500abc.mp3", standin::media_file_size("M500abc.mp3")), -1);
  }
}

TEST(EngineTasks, FileNameFromAddress) {
  struct Case {
    const char* address;
    const char* name;
  };
  for (const Case& c :
       {Case{"http://h/dir/M800x.mp3?vkey=ab&uin=1", "M800x.mp3"},
        Case{"http://h\\dir\\F000y.flac", "F000y.flac"}, Case{"plain.ape", "plain.ape"},
        Case{"http://h/dir/", ""}, Case{"http://h/a?b", "a"}}) {
    EXPECT_EQ(file_name_from_address(c.address), c.name) << c.address;
  }
}

}  // namespace
}  // namespace zarvex::test

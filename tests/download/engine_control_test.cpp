// Pause, resume and stop while a job's workers read, a job created paused, and control
// operations on a job that has ended.

#include <gtest/gtest.h>

#include <thread>

#include "download/engine.h"
#include "engine_test_support.h"
#include "platform/file_system.h"
#include "support/scratch_folder.h"

namespace zarvex::test {
namespace {

// Long enough for a worker that ignores the state word to show it; never needed to pass.
constexpr auto kWindow = std::chrono::milliseconds(400);

standin::MediaOptions slow_host() {
  standin::MediaOptions options;
  options.rate_limit = 1 << 20;  // 1 MiB/s per connection: a block takes about a second
  return options;
}

TEST(EngineControl, PauseHoldsEveryWorkerAfterItsPieceAndResumeFinishes) {
  constexpr int kThreads = 3;
  constexpr std::int64_t kSize = 4 * kBlockSize + 12345;
  TestMediaHost host(slow_host());
  ASSERT_TRUE(host.ok());
  ScratchFolder folder;
  ReportLog log;
  DownloadEngine engine;
  std::string path = folder.file("paused.bin");
  const int task =
      engine.create_task(host.url("/" + test_file(kSize)), path, kThreads, log.routine(), 1);
  ASSERT_EQ(task, 1);
  ASSERT_TRUE(host.wait_for_ranges(kThreads, kLongWait));
  ASSERT_TRUE(log.wait_count(kThreads, kLongWait));

  engine.pause_task(task);
  EXPECT_EQ(engine.task_state(task), kTaskPaused);
  const std::size_t reports_at_pause = log.count();
  const std::size_t ranges_at_pause = host.ranges().size();
  std::this_thread::sleep_for(kWindow);
  // Each worker may finish the piece it was writing, and nothing more.
  EXPECT_LE(log.count(), reports_at_pause + kThreads);
  EXPECT_LE(host.ranges().size(), ranges_at_pause + kThreads);
  EXPECT_FALSE(engine.task_ended(task));
  for (const Report& r : log.all())
    EXPECT_EQ(r.code, 1);

  engine.resume_task(task);
  EXPECT_EQ(engine.task_state(task), kTaskRunning);
  Report final = log.wait_final(kLongWait);
  EXPECT_EQ(final.code, 0);
  EXPECT_EQ(final.done, kSize);
  ASSERT_TRUE(engine.wait_task(task, kLongWait));
  EXPECT_EQ(first_difference(path, test_file(kSize), kSize), -1);
}

TEST(EngineControl, StopEndsTheJobWithoutFinalReportAndLaterControlsDoNothing) {
  constexpr std::int64_t kSize = 8 * kBlockSize;
  TestMediaHost host(slow_host());
  ASSERT_TRUE(host.ok());
  ScratchFolder folder;
  ReportLog log;
  DownloadEngine engine;
  std::string path = folder.file("stopped.bin");
  const int task = engine.create_task(host.url("/" + test_file(kSize)), path, 3, log.routine(), 1);
  ASSERT_EQ(task, 1);
  ASSERT_TRUE(log.wait_count(1, kLongWait));

  engine.stop_task(task);
  ASSERT_TRUE(engine.wait_task(task, kLongWait));
  EXPECT_EQ(engine.task_state(task), kTaskStopped);
  EXPECT_EQ(file_size(path), kSize);
  std::vector<Report> reports = log.all();
  for (const Report& r : reports)
    EXPECT_EQ(r.code, 1) << "a stopped job sends no final report";
  ASSERT_FALSE(reports.empty());
  EXPECT_LT(reports.back().done, kSize);
  const std::size_t ranges_at_end = host.ranges().size();

  // The job's threads are gone: resuming, pausing or stopping it again changes nothing.
  engine.resume_task(task);
  engine.pause_task(task);
  engine.stop_and_resume_task(task);
  engine.resume_all();
  EXPECT_EQ(engine.task_state(task), kTaskStopped);
  EXPECT_TRUE(engine.task_ended(task));
  std::this_thread::sleep_for(kWindow);
  EXPECT_EQ(log.count(), reports.size());
  EXPECT_EQ(host.ranges().size(), ranges_at_end);
}

TEST(EngineControl, TaskCreatedPausedHasItsFileAndWaitsForResume) {
  constexpr std::int64_t kSize = 3 * kBlockSize + 7;
  TestMediaHost host;
  ASSERT_TRUE(host.ok());
  ScratchFolder folder;
  ReportLog log;
  DownloadEngine engine;
  std::string path = folder.file("waiting.flac");
  const int task = engine.create_task(host.url("/" + test_file(kSize)), path, 2, log.routine(), 0);
  ASSERT_EQ(task, 1);
  EXPECT_EQ(file_size(path), kSize);
  EXPECT_EQ(engine.task_state(task), kTaskPaused);
  std::this_thread::sleep_for(kWindow);
  EXPECT_TRUE(host.ranges().empty());
  EXPECT_EQ(log.count(), 0u);

  engine.resume_task(task);
  EXPECT_EQ(log.wait_final(kLongWait).code, 0);
  EXPECT_EQ(first_difference(path, test_file(kSize), kSize), -1);
}

TEST(EngineControl, StateOfAnEndedJobStaysAsItEnded) {
  TestMediaHost host;
  ASSERT_TRUE(host.ok());
  ScratchFolder folder;
  ReportLog log;
  DownloadEngine engine;
  std::string path = folder.file("done.mp3");
  const int task = engine.create_task(host.url("/test/1500000.bin"), path, 2, log.routine(), 1);
  ASSERT_EQ(task, 1);
  ASSERT_EQ(log.wait_final(kLongWait).code, 0);
  ASSERT_TRUE(engine.wait_task(task, kLongWait));
  const std::size_t reports = log.count();
  engine.pause_all();
  engine.stop_all();
  engine.stop_and_resume_all();
  EXPECT_EQ(engine.task_state(task), kTaskRunning);
  EXPECT_EQ(log.count(), reports);
  EXPECT_EQ(first_difference(path, "test/1500000.bin", 1500000), -1);
}

// An engine going away stops what still runs or waits, and waits for its threads.
TEST(EngineControl, EngineEndStopsRunningAndPausedJobs) {
  TestMediaHost host(slow_host());
  ASSERT_TRUE(host.ok());
  ScratchFolder folder;
  ReportLog running, waiting;
  {
    DownloadEngine engine;
    std::string a = folder.file("a.bin"), b = folder.file("b.bin");
    ASSERT_EQ(engine.create_task(host.url("/test/9000000.bin"), a, 2, running.routine(), 1), 1);
    ASSERT_EQ(engine.create_task(host.url("/test/9000000.bin"), b, 2, waiting.routine(), 0), 2);
    ASSERT_TRUE(running.wait_count(1, kLongWait));
  }
  const std::size_t after = running.count();
  for (const Report& r : running.all())
    EXPECT_EQ(r.code, 1);
  EXPECT_EQ(waiting.count(), 0u);
  std::this_thread::sleep_for(kWindow);
  EXPECT_EQ(running.count(), after);
}

}  // namespace
}  // namespace zarvex::test

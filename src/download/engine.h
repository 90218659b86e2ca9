#pragma once
// The download engine: one job per task fetches one file over HTTP with several connections.
// The file is created at its full size when the task is admitted, cut into 1 MiB blocks, and
// the blocks are fetched in order by short-lived block workers (at most `thread_count` at once),
// each with its own ranged GET, under one manager thread per job (download_job.cpp).
//
// Callers know a task only by its number: 1, 2, 3, ... in creation order. Progress is pushed to
// the report routine given at creation:
//   code  1  after every piece a worker has written    (task, 1, total_size, bytes_done)
//   code  0  the job ended running with every byte     (task, 0, total_size, bytes_done)
//   code -1  the job failed                            (task, -1, 0, 0)
// A job that ends stopped or paused sends no final report. Code-1 reports are made while the
// job's lock is held, so the routine must be quick; a report may arrive before create_task has
// returned the task's number.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace zarvex {

using ReportRoutine =
    std::function<void(int task, int code, std::int64_t total, std::int64_t done)>;

// The job's state word.
enum : int {
  kTaskRunning = 0,
  kTaskStopped = 1,
  kTaskPaused = 2,
  kTaskFailed = -1,
};

constexpr std::int64_t kBlockSize = 1048576;

// Number of 1 MiB blocks of a file of `size` bytes (the last one may be short).
constexpr std::int64_t block_count_for(std::int64_t size) {
  return size <= 0 ? 0 : (size + kBlockSize - 1) / kBlockSize;
}

// The file name an address names: the text after its last "/" (a "\" counts as "/"), up to the
// first "?".
std::string file_name_from_address(std::string_view address);

struct TaskCell;  // the small per-task state that outlives its job (download_job.h)

class DownloadEngine {
 public:
  DownloadEngine();
  // Stops every job that still runs or waits and waits for its threads to end.
  ~DownloadEngine();
  DownloadEngine(const DownloadEngine&) = delete;
  DownloadEngine& operator=(const DownloadEngine&) = delete;

  // Creates a task for the media address `url` written to `path` (GBK; "/" separated). A path
  // without a file extension is a folder: the file name of the address is appended and the
  // completed path written back. A thread count below 1 counts as 1. start_now 1 starts the job
  // running, anything else creates it paused. Returns the task number, or -1 when no job could
  // be made (no size, an error answer, the file cannot be created); a failure uses up no number.
  int create_task(const std::string& url, std::string& path, int thread_count,
                  ReportRoutine report_routine, int start_now);

  // Control operations: they only write the state word; the job's threads act on it when they
  // next look. A task number outside 1 .. task_counter, or a job that has ended, is left alone.
  void pause_task(int task);
  void pause_all();
  void stop_task(int task);
  void stop_all();
  void resume_task(int task);
  void resume_all();
  void stop_and_resume_task(int task);
  void stop_and_resume_all();

  // The task's state word (kTaskRunning, ...); after the job has ended, the state it ended in.
  // -1 for a task number that does not exist.
  int task_state(int task) const;

  // Tasks created so far.
  int task_counter() const;

  // True once the task's job has ended (its threads are gone and its file is closed).
  bool task_ended(int task) const;
  // Waits until the task's job has ended; false when the time ran out (or no such task).
  bool wait_task(int task, std::chrono::milliseconds timeout) const;

 private:
  struct Entry;
  std::shared_ptr<TaskCell> cell(int task) const;
  void set_state(int task, int state);
  void set_state_all(int state);

  // Guards job_list_ and task_counter_: creations on several threads and lookups from the
  // control operations meet here. A job carries its own number, so reports need no lookup.
  mutable std::mutex list_lock_;
  std::vector<std::unique_ptr<Entry>> job_list_;
  int task_counter_ = 0;
};

}  // namespace zarvex

#pragma once
// One task of the download engine: its file, its connections and its threads. The manager
// thread (run_job) hands the 1 MiB blocks out in order to block workers, at most thread_count
// at a time, waits for the last worker, sends the final report and releases the job. The small
// TaskCell with the state word outlives the job, so control operations on an ended task are
// harmless.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "download/engine.h"

typedef void CURL;
typedef void CURLSH;

namespace zarvex {

struct TaskCell {
  explicit TaskCell(int initial_state) : state(initial_state), state_seen(initial_state) {}

  std::mutex lock;                  // the job's lock
  std::condition_variable changed;  // any guarded field below or in the job changed
  int state;                        // guarded; kTaskRunning, kTaskStopped, kTaskPaused, kTaskFailed
  std::atomic<int> state_seen;      // copy of state for looks that take no lock
  bool final = false;               // guarded; the manager has read the final state
  bool ended = false;               // guarded; the job's threads, file and connections are gone
};

// Sets the state word under the cell's lock unless the job has already settled its end.
void set_task_state(TaskCell& cell, int state);

// An open file descriptor, closed with its owner.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd();
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

struct JobSetup {
  int task = 0;
  std::string url;
  ReportRoutine report_routine;
  UniqueFd file;
  std::int64_t total_size = 0;
  int thread_count = 1;
  std::shared_ptr<TaskCell> cell;
};

class DownloadJob {
 public:
  // Null when the job's connection cache cannot be made.
  static std::unique_ptr<DownloadJob> make(JobSetup setup);
  ~DownloadJob();
  DownloadJob(const DownloadJob&) = delete;
  DownloadJob& operator=(const DownloadJob&) = delete;

  // The manager thread: runs the job to its end and releases it.
  static void run_job(std::unique_ptr<DownloadJob> job);

 private:
  struct Transfer;
  explicit DownloadJob(JobSetup setup);

  void manage();
  void block_worker(std::int64_t block, std::size_t slot);
  void fetch_whole_file();
  // One request for t's range; fills in t's verdict.
  void perform(Transfer& t);
  // Writes t's gathered piece at its offset, adds it to bytes_done and reports it, then waits
  // while the job is paused; false when the transfer is to end (stop, failure, write error).
  bool write_piece(Transfer& t);
  bool check_answer(Transfer& t);
  void fail();
  void join_finished(std::unique_lock<std::mutex>& lock);
  CURL* take_handle();
  void give_back(CURL* handle);

  static std::size_t on_header(char* data, std::size_t size, std::size_t count, void* user);
  static std::size_t on_body(char* data, std::size_t size, std::size_t count, void* user);
  static int on_progress(void* user, std::int64_t, std::int64_t, std::int64_t, std::int64_t);

  // Read-only after construction.
  const int task_;
  const std::string url_;
  const ReportRoutine report_routine_;
  const UniqueFd file_;
  const std::int64_t total_size_;
  const std::int64_t block_count_;
  const int thread_count_;
  const std::shared_ptr<TaskCell> cell_;

  // Guarded by cell_->lock.
  int active_workers_ = 0;
  bool worker_started_ = false;
  std::int64_t blocks_started_ = 0;
  std::int64_t bytes_done_ = 0;
  bool whole_file_needed_ = false;  // the server answered a range with the whole file
  std::vector<std::thread> workers_;
  std::vector<std::size_t> finished_slots_;
  std::vector<std::size_t> free_slots_;

  // Connections: one cache shared by the job's requests, and easy handles kept for reuse.
  CURLSH* share_ = nullptr;
  std::mutex share_locks_[8];
  std::mutex handles_lock_;
  std::vector<CURL*> handles_;
};

}  // namespace zarvex

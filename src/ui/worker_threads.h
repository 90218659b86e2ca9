#pragma once
// The program's short-lived worker threads (searches, playlist fetches, download starts, the
// update notice). Each runs one job; finished threads are joined when the next one starts, and
// join_all() waits for the rest. The owner outlives every job it started.

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace zarvex {

class WorkerThreads {
 public:
  WorkerThreads() = default;
  ~WorkerThreads();
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  void start(std::function<void()> job);
  // Jobs that have not finished yet.
  int running() const;
  void join_all();

 private:
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  void join_finished();

  mutable std::mutex mutex_;
  std::list<Worker> workers_;
};

}  // namespace zarvex

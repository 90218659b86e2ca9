#include "ui/worker_threads.h"

namespace zarvex {

WorkerThreads::~WorkerThreads() {
  join_all();
}

void WorkerThreads::start(std::function<void()> job) {
  join_finished();
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::thread thread([job = std::move(job), done] {
    job();
    *done = true;
  });
  std::lock_guard lock(mutex_);
  workers_.push_back(Worker{std::move(thread), std::move(done)});
}

int WorkerThreads::running() const {
  std::lock_guard lock(mutex_);
  int count = 0;
  for (const auto& worker : workers_)
    count += *worker.done ? 0 : 1;
  return count;
}

void WorkerThreads::join_finished() {
  std::list<Worker> finished;
  {
    std::lock_guard lock(mutex_);
    for (auto it = workers_.begin(); it != workers_.end();) {
      auto next = std::next(it);
      if (*it->done) finished.splice(finished.end(), workers_, it);
      it = next;
    }
  }
  for (auto& worker : finished)
    worker.thread.join();
}

void WorkerThreads::join_all() {
  std::list<Worker> all;
  {
    std::lock_guard lock(mutex_);
    all.swap(workers_);
  }
  for (auto& worker : all)
    worker.thread.join();
}

}  // namespace zarvex

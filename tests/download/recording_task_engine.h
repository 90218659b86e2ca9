#pragma once
// A TaskEngine that numbers tasks like the engine, creates each target file (as the engine
// does at admission) and records every operation, so scheduling can be checked step by step.
// Progress is driven by calling the recorded report routines.

#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "download/task_engine.h"
#include "platform/file_system.h"

namespace zarvex::test {

class RecordingTaskEngine : public TaskEngine {
 public:
  struct Created {
    std::string url, path;
    int threads;
    bool start_now;
    TaskReport report;
  };

  int create_task(const std::string& url, const std::string& path, int thread_count,
                  TaskReport report, bool start_now) override {
    std::lock_guard lock(mutex_);
    if (refuse_next_) {
      refuse_next_ = false;
      return -1;
    }
    std::ofstream(native_path(path), std::ios::binary | std::ios::trunc);
    created_.push_back({url, path, thread_count, start_now, std::move(report)});
    int task = static_cast<int>(created_.size());
    log_.push_back((start_now ? "create+" : "create-") + std::to_string(task));
    return task;
  }
  void pause_task(int task) override { add("pause" + std::to_string(task)); }
  void resume_task(int task) override { add("resume" + std::to_string(task)); }

  void refuse_next() {
    std::lock_guard lock(mutex_);
    refuse_next_ = true;
  }
  // Calls task's report routine as the engine's threads would.
  void report(int task, int code, std::int64_t total, std::int64_t done) {
    TaskReport routine;
    {
      std::lock_guard lock(mutex_);
      routine = created_.at(static_cast<std::size_t>(task) - 1).report;
    }
    routine(task, code, total, done);
  }
  std::vector<Created> created() const {
    std::lock_guard lock(mutex_);
    return created_;
  }
  // "create+N" / "create-N" (running / paused), "pauseN", "resumeN", in order; take() empties.
  std::vector<std::string> take() {
    std::lock_guard lock(mutex_);
    return std::exchange(log_, {});
  }

 private:
  void add(std::string entry) {
    std::lock_guard lock(mutex_);
    log_.push_back(std::move(entry));
  }
  mutable std::mutex mutex_;
  std::vector<Created> created_;
  std::vector<std::string> log_;
  bool refuse_next_ = false;
};

}  // namespace zarvex::test

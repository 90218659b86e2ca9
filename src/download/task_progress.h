#pragma once
// What the engine has reported for each task, indexed by task number (from 1). The engine's
// threads write reports while the timer reads them, so every access takes the list's lock;
// readers get copies.

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

namespace zarvex {

struct TaskProgress {
  std::int64_t total_size = 0;  // 0 until the first report
  std::int64_t bytes_done = 0;
  // The job ended without its file complete (an error report, or an end short of the size).
  bool failed = false;
  // What the task was created with, so a failed task can be created anew for the same file.
  std::string url;
  std::string path;  // GBK
};

class TaskProgressList {
 public:
  // The engine's report routine target: stores total and done of task k; code -1, or a final
  // code 0 short of the total, marks the task failed. A report may come before the task's
  // admission has recorded it; its record is made then.
  void on_task_progress(int task, int code, std::int64_t total, std::int64_t done);
  // Records an admitted task (keeping what reports already stored).
  void admit(int task, std::string url, std::string path);

  std::optional<TaskProgress> get(int task) const;
  std::size_t size() const;
  bool empty() const { return size() == 0; }

 private:
  TaskProgress* slot(int task);  // grows the list to `task`; null when out of reach

  mutable std::mutex mutex_;
  std::deque<TaskProgress> records_;  // records_[k - 1] belongs to task k
};

}  // namespace zarvex

#pragma once
// The engine operations the download list uses: create a task, pause it, resume it. The
// program's engine stands behind it (program_engine.h); scheduling tests use a recording one.

#include <cstdint>
#include <functional>
#include <string>

namespace zarvex {

// (task number, code, total, done): code 1 progress, 0 ended, -1 failed.
using TaskReport = std::function<void(int, int, std::int64_t, std::int64_t)>;

class TaskEngine {
 public:
  virtual ~TaskEngine() = default;
  // The new task's number (1, 2, …), or -1 when no job could be made. `path` is GBK.
  virtual int create_task(const std::string& url, const std::string& path, int thread_count,
                          TaskReport report, bool start_now) = 0;
  virtual void pause_task(int task) = 0;
  virtual void resume_task(int task) = 0;
};

}  // namespace zarvex

#pragma once
// The program's download engine behind the TaskEngine operations the download list uses.

#include <memory>

#include "download/engine.h"
#include "download/task_engine.h"

namespace zarvex {

class ProgramEngine : public TaskEngine {
 public:
  ProgramEngine() : engine_(std::make_unique<DownloadEngine>()) {}

  int create_task(const std::string& url, const std::string& path, int thread_count,
                  TaskReport report, bool start_now) override {
    std::string target = path;  // the engine completes a folder path in place; ours are files
    return engine_->create_task(url, target, thread_count, std::move(report), start_now ? 1 : 0);
  }
  void pause_task(int task) override { engine_->pause_task(task); }
  void resume_task(int task) override { engine_->resume_task(task); }

 private:
  std::unique_ptr<DownloadEngine> engine_;
};

}  // namespace zarvex

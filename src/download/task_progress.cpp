#include "download/task_progress.h"

namespace zarvex {
namespace {
// Task numbers count up from 1 one by one; a number far beyond the list is no task of ours.
constexpr std::size_t kMaxGrowth = 4096;
}  // namespace

TaskProgress* TaskProgressList::slot(int task) {
  if (task < 1) return nullptr;
  const auto index = static_cast<std::size_t>(task) - 1;
  if (index >= records_.size() + kMaxGrowth) return nullptr;
  if (index >= records_.size()) records_.resize(index + 1);
  return &records_[index];
}

void TaskProgressList::on_task_progress(int task, int code, std::int64_t total, std::int64_t done) {
  std::lock_guard lock(mutex_);
  TaskProgress* record = slot(task);
  if (record == nullptr) return;
  record->total_size = total;
  record->bytes_done = done;
  if (code == -1 || (code == 0 && done != total)) record->failed = true;
}

void TaskProgressList::admit(int task, std::string url, std::string path) {
  std::lock_guard lock(mutex_);
  TaskProgress* record = slot(task);
  if (record == nullptr) return;
  record->url = std::move(url);
  record->path = std::move(path);
}

std::optional<TaskProgress> TaskProgressList::get(int task) const {
  std::lock_guard lock(mutex_);
  if (task < 1 || static_cast<std::size_t>(task) > records_.size()) return std::nullopt;
  return records_[static_cast<std::size_t>(task) - 1];
}

std::size_t TaskProgressList::size() const {
  std::lock_guard lock(mutex_);
  return records_.size();
}

}  // namespace zarvex

#include "download/download_manager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "download/download_list.h"
#include "download/finished_list.h"
#include "platform/codepage.h"
#include "platform/file_system.h"

namespace zarvex {
namespace {

const std::string& create_failed_text() {
  static const std::string text = gbk_from_utf8("哎呀呀，创建下载任务失败了");
  return text;
}

std::string percent_text(const TaskProgress& p) {
  long long percent = 0;
  if (p.total_size != 0) {
    percent = static_cast<long long>(
        std::floor(static_cast<double>(p.bytes_done) * 100.0 / static_cast<double>(p.total_size)));
  }
  return std::to_string(percent) + "%";
}

std::string megabytes_text(const TaskProgress& p) {
  return std::to_string(p.total_size / 1048576) + "M";
}

}  // namespace

DownloadManager::DownloadManager(std::string program_folder, std::unique_ptr<TaskEngine> engine,
                                 Ui& ui)
    : settings_(std::move(program_folder)),
      ui_(ui),
      download_list_(download_list_titles()),
      finished_list_(finished_list_titles()),
      engine_(std::move(engine)) {}

TaskReport DownloadManager::report_routine() {
  return [this](int task, int code, std::int64_t total, std::int64_t done) {
    progress_.on_task_progress(task, code, total, done);
  };
}

bool DownloadManager::task_exists(std::string_view folder, std::string_view file_name) const {
  std::vector<std::string> names;
  list_folder_files(folder, "*.*", names, false);
  return std::find(names.begin(), names.end(), file_name) != names.end();
}

int DownloadManager::count_running_tasks() const {
  return zarvex::count_running_tasks(download_list_);
}

int DownloadManager::create_engine_task(const std::string& url, const std::string& path,
                                        bool start_now) {
  // A count below 1 would start no worker at all and leave the task at 0% for good.
  const int threads = std::max(1, settings_.snapshot().downth);
  const int task = engine_->create_task(url, path, threads, report_routine(), start_now);
  if (task == -1) {
    ui_.message(create_failed_text());
    return -1;
  }
  progress_.admit(task, url, path);
  return task;
}

int DownloadManager::admit_task(const std::string& url, const std::string& path,
                                const std::string& base_name, bool start_now) {
  const int task = create_engine_task(url, path, start_now);
  if (task == -1) return -1;
  const std::size_t columns = download_list_.column_count();
  download_list_.edit([&](std::vector<ListRow>& rows) {
    ListRow row;
    row.cells = {std::to_string(rows.size() + 1),
                 base_name,
                 start_now ? status_running() : status_waiting(),
                 "",
                 "",
                 std::to_string(task)};
    row.cells.resize(columns);
    rows.push_back(std::move(row));
  });
  return task;
}

bool DownloadManager::run_row(std::size_t row, int task) {
  const std::optional<TaskProgress> record = progress_.get(task);
  if (record && record->failed && !record->url.empty()) {
    std::lock_guard lock(admission_mutex_);
    const int fresh = create_engine_task(record->url, record->path, true);
    if (fresh == -1) return false;
    download_list_.set_cell(row, download_task, std::to_string(fresh));
    download_list_.set_cell(row, download_size, "");
    download_list_.set_cell(row, download_progress, "");
  } else {
    engine_->resume_task(task);
  }
  download_list_.set_cell(row, download_status, status_running());
  return true;
}

void DownloadManager::tick() {
  static const std::string status_prefix = gbk_from_utf8("下载状态：当前下载任务");
  ui_.set_status_text(status_download, status_prefix + std::to_string(download_list_.row_count()));
  if (progress_.empty() || download_list_.row_count() == 0) return;

  const std::size_t n = download_list_.row_count();
  int running = 0;
  std::vector<std::pair<int, std::size_t>> waiting;
  for (std::size_t i = 0; i < n; ++i) {
    const ListRow row = download_list_.row(i);
    if (row.cells.size() <= download_task) continue;  // no row at i any more
    const std::string& status = row.cells[download_status];
    const int task = task_number_of(row);
    std::string progress_cell = row.cells[download_progress];
    if (status == status_running()) {
      const TaskProgress record = progress_.get(task).value_or(TaskProgress{});
      if (record.failed) {
        // A failed job transfers nothing more; it must not hold a slot.
        download_list_.set_cell(i, download_status, status_failed());
        continue;
      }
      progress_cell = percent_text(record);
      download_list_.set_cell(i, download_progress, progress_cell);
      download_list_.set_cell(i, download_size, megabytes_text(record));
      ++running;
    }
    if (progress_cell == "100%") {
      download_list_.remove_row(i);
      renumber_rows(download_list_);
      refresh_finished_list();
      continue;
    }
    if (status == status_waiting()) waiting.emplace_back(task, i);
  }

  if (running < settings_.snapshot().downnum && !waiting.empty())
    run_row(waiting.front().second, waiting.front().first);
}

void DownloadManager::pause_all() {
  const std::size_t n = download_list_.row_count();
  for (std::size_t i = 0; i < n; ++i) {
    engine_->pause_task(task_number_of(download_list_.row(i)));
    download_list_.set_cell(i, download_status, status_paused());
  }
}

void DownloadManager::start_all() {
  const int limit = settings_.snapshot().downnum;
  int started = 0;
  const std::size_t n = download_list_.row_count();
  for (std::size_t i = 0; i < n; ++i) {
    const ListRow row = download_list_.row(i);
    if (row.cells.size() <= download_task || row.cells[download_status] != status_paused())
      continue;
    if (started < limit) {
      if (run_row(i, task_number_of(row))) ++started;
    } else {
      download_list_.set_cell(i, download_status, status_waiting());
    }
  }
}

void DownloadManager::start_task(std::size_t row) {
  const ListRow chosen = download_list_.row(row);
  if (chosen.cells.size() <= download_task) return;
  run_row(row, task_number_of(chosen));
}

void DownloadManager::pause_task(std::size_t row) {
  const ListRow chosen = download_list_.row(row);
  if (chosen.cells.size() <= download_task) return;
  engine_->pause_task(task_number_of(chosen));
  download_list_.set_cell(row, download_status, status_paused());
}

bool DownloadManager::delete_task(std::size_t row) {
  static const std::string question = gbk_from_utf8("确定删除本下载任务吗？");
  const ListRow chosen = download_list_.row(row);
  if (chosen.cells.size() <= download_task) return false;
  const std::string task_cell = chosen.cells[download_task];
  if (!ui_.ask_yes_no(question)) return false;
  // The timer may have moved rows while the question was open: find the task's row again.
  const std::ptrdiff_t at = download_list_.read([&](const std::vector<ListRow>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].cells.size() > download_task && rows[i].cells[download_task] == task_cell)
        return static_cast<std::ptrdiff_t>(i);
    }
    return std::ptrdiff_t{-1};
  });
  if (at < 0) return false;
  engine_->pause_task(task_number_of(chosen));
  download_list_.remove_row(static_cast<std::size_t>(at));
  renumber_rows(download_list_);
  return true;
}

void DownloadManager::refresh_finished_list() {
  zarvex::refresh_finished_list(finished_list_, settings_.snapshot().setdir);
}

bool DownloadManager::delete_finished_file(std::size_t row) {
  return zarvex::delete_finished_file(finished_list_, row, settings_.snapshot().setdir, ui_);
}

}  // namespace zarvex

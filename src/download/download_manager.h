#pragma once
// The program's download state in one object, owned by the desktop program's App and by the
// terminal client: the settings, the download list, the finished-files list, the task
// progress list and the engine. The timer tick and the list actions run on one thread (the
// GUI thread, or the terminal client's loop); admissions run on start threads.

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "download/task_engine.h"
#include "download/task_progress.h"
#include "platform/list_table.h"
#include "platform/ui_port.h"
#include "settings/settings.h"

namespace zarvex {

class DownloadManager {
 public:
  // `program_folder` is UTF-8; `ui` must outlive the manager. Settings are not loaded here.
  DownloadManager(std::string program_folder, std::unique_ptr<TaskEngine> engine, Ui& ui);
  DownloadManager(const DownloadManager&) = delete;
  DownloadManager& operator=(const DownloadManager&) = delete;

  SettingsStore& settings() { return settings_; }
  ListTable& download_list() { return download_list_; }
  ListTable& finished_list() { return finished_list_; }
  TaskProgressList& progress() { return progress_; }
  Ui& ui() { return ui_; }

  // The report routine handed to the engine: fills the task progress list.
  TaskReport report_routine();

  // True when `folder` holds a file named exactly `file_name` (GBK).
  bool task_exists(std::string_view folder, std::string_view file_name) const;
  int count_running_tasks() const;
  // Creates the engine task and appends its row; the task number, or -1 (after the message
  // "哎呀呀，创建下载任务失败了") when the engine refused it.
  int admit_task(const std::string& url, const std::string& path, const std::string& base_name,
                 bool start_now);
  // Held by a start thread from its duplicate check to its admission, so two choices of the
  // same song cannot both pass the check.
  std::mutex& admission_mutex() { return admission_mutex_; }

  // The one-second tick: status part 3, size and percent columns, removal of finished rows
  // (with a rebuild of the finished list), failed tasks marked, one waiting task started.
  void tick();
  // "全部开始", "全部暂停".
  void start_all();
  void pause_all();
  // "开始下载", "暂停下载", "删除任务" on the row the user chose. A failed task is created
  // anew for the same file when started. delete_task asks first; true when the row went.
  void start_task(std::size_t row);
  void pause_task(std::size_t row);
  bool delete_task(std::size_t row);

  // Rebuilds the finished list from the download folder; "删除文件" on one of its rows.
  void refresh_finished_list();
  bool delete_finished_file(std::size_t row);

 private:
  // Runs the row's task: resumes it, or creates it anew when its job failed. Returns false
  // when a new task could not be created (the row keeps its status).
  bool run_row(std::size_t row, int task);
  // Creates the engine task with the settings' thread count and enters it in the progress
  // list; the task number, or -1 after the message when the engine refused it.
  int create_engine_task(const std::string& url, const std::string& path, bool start_now);

  SettingsStore settings_;
  Ui& ui_;
  ListTable download_list_;
  ListTable finished_list_;
  TaskProgressList progress_;
  std::mutex admission_mutex_;
  // Last, so it goes first: its jobs report into progress_ until the engine has ended them.
  std::unique_ptr<TaskEngine> engine_;
};

}  // namespace zarvex
